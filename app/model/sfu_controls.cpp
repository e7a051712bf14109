#include "app/model/sfu_controls.h"

#include "common/errors.h"
#include "common/os/os.h"
#include "sfu/shared/sfu_language.h"

namespace kvx {

void CheckSfuCustomFolder(const TJobControls& c) {
  if (c.rep == dkCustomFolder && c.tcustfold.empty())
    throw EKarvexError(
        "You have to specify a custom destination folder for the SFU program if you wish to use the Custom "
        "Destination Folder option.");
}

void FillSfuInputs(const TJobControls& c, TKarvexThread& thread, std::string& languageWarning) {
  thread.SfuEnabled = c.csfufonc;
  thread.SfuSizeIgnored = c.cnoaccount && c.blocked;
  thread.SfuMerge = c.cmerge;
  if (c.cchangenom) thread.SfuFileName = c.tnomsfu;
  thread.WelcomeText = c.memwelc;
  if (os::FileExists(c.ico)) thread.IconFile = c.ico;
  if (os::FileExists(c.header)) thread.HeaderBitmapFile = c.header;
  thread.LanguageText = LoadLanguageLines(c.tlang, languageWarning);

  TSfuSettings& s = thread.SfuSettings;
  s.WindowCaption = c.GTit;
  s.StartMessage = c.sprompt;
  s.EndMessage = c.eprompt;
  s.DestinationKind = static_cast<uint16_t>(c.rep);
  s.OpenAfterUnite = c.copen;
  s.AboutMessage = c.tabout;
  s.ShowCommand = 1;
  s.RunParameters = c.param;
  s.WaitForEnd = c.cwaitforend;
  s.DeleteAfterRun = c.cdelete;
  s.AutoClose = c.cautof;
  s.ArchiveTitle = c.GTit;
  s.NoOverwritePrompt = !c.cover;
  s.AutoStart = c.cautoexec;
  s.Silent = c.csilent;
  s.LockDestination = c.cecd;
  s.CustomFolder = c.tcustfold;
  s.MergedFirstPiece = c.cmerge;
}

}  // namespace kvx
