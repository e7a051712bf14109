#include "engine/split_prompts.h"

#include "common/text.h"
#include "engine/split_engine.h"

namespace kvx {

namespace {

const char* const kOkOrCancel = "Select <b>OK</b> to continue, or <b>Cancel</b> to abort.<br><br>";
const char* const kSizeHeading =
    "<b>Not enough free disk space or invalid piece size</b><hr><br>An error occurred while "
    "determining the size of piece number %llu.<br>";

unsigned long long U(int64_t value) { return static_cast<unsigned long long>(value); }

TPromptText NextDisk(const TPromptInputs& in) {
  TPromptText t;
  t.Dialog.Caption = Format("Insert next disk %llu", U(in.Piece));
  t.Dialog.HtmlLines = {
      Format("<b>Disk %llu is required.</b><hr><br>The next disk is required: please label it <b>disk %llu</b> "
             "and insert it in the drive whose path is shown below.<br>",
             U(in.Piece), U(in.Piece)),
      kOkOrCancel,
      Format("%llu bytes (%s) remaining to be copied.", U(in.Remaining), SizeToText(3, in.Remaining).c_str())};
  t.LogLine = Format("0|Next disk required: %llu", U(in.Piece));
  return t;
}

TPromptText FirstDisk(const TPromptInputs& in) {
  TPromptText t;
  t.Dialog.Caption = "Insert first disk";
  t.Dialog.HtmlLines = {Format("<b>Disk %llu is required.</b><hr><br>First disk is required so the first piece "
                               "file of the set can now be copied to it. Insert it in the drive whose path is "
                               "shown below.<br>",
                               U(in.Piece)),
                        kOkOrCancel};
  t.LogLine = "0|First disk required.";
  return t;
}

TPromptText VolumeTooSmall(const TPromptInputs& in) {
  const int64_t missing = in.Value - in.FreeBytes;
  TPromptText t;
  t.Dialog.Caption = "Problem with piece size or destination folder";
  t.Dialog.HtmlLines = {
      Format(kSizeHeading, U(in.Piece)),
      Format("There is not enough free disk space on the destination disk: %llu byte(s) are free while the "
             "piece file requires %llu byte(s), so %llu byte(s) are missing.",
             U(in.FreeBytes), U(in.Value), U(missing)),
      "Please insert another disk or enter a new destination path in the following field.",
      "Select <b>OK</b> if you want to continue, or <b>Cancel</b> to abort."};
  t.LogLine = Format("2|Not enough free disk space on the destination disk. %llu byte(s) are free while the piece "
                     "file requires %llu byte(s), so %llu byte(s) are missing.",
                     U(in.FreeBytes), U(in.Value), U(missing));
  return t;
}

TPromptText SizeTooSmall(const TPromptInputs& in) {
  const std::string text = Format(
      "The size of the piece file is too small (%llu byte(s)): please check your settings (how many free bytes "
      "should be left, blocked piece size...). If you enabled SFU functionality, be sure to also enable the "
      "\"Do not take account of the SFU program size\" option. Cannot continue.",
      U(in.PieceSize));
  TPromptText t;
  t.Dialog.Caption = "Problem with piece size or destination folder";
  t.Dialog.HtmlLines = {Format(kSizeHeading, U(in.Piece)), text};
  t.Dialog.OkAllowed = false;
  t.LogLine = "2|" + text;
  return t;
}

TPromptText PieceNotCopied(const TPromptInputs& in) {
  TPromptText t;
  t.Dialog.Caption = "Piece Output Error";
  t.Dialog.HtmlLines = {Format(
      "<b>Piece number %llu was not completely copied</b><hr><br>An error occurred while creating the piece "
      "file: %s.<br>Last error returned by Windows: %s<br><br>Select <b>OK</b> if you want to ignore this "
      "error and try to continue, or <b>Cancel</b> if you want to exit.",
      U(in.Value), in.PieceFileName.c_str(), in.LastErrorText.c_str())};
  t.LogLine = Format(
      "2|Piece number %llu was not completely copied: an error occurred while creating piece \"%s\"; Windows "
      "error message: %s",
      U(in.Value), in.PieceFileName.c_str(), in.LastErrorText.c_str());
  return t;
}

}  // namespace

std::optional<TPromptText> DescribePrompt(const TPromptInputs& in) {
  TPromptText t;
  switch (in.Kind) {
    case pkNextDisk: t = NextDisk(in); break;
    case pkFirstDisk: t = FirstDisk(in); break;
    case pkNoSpace: t = in.FreeBytes >= in.Value && in.Blocked ? SizeTooSmall(in) : VolumeTooSmall(in); break;
    case pkPieceNotCopied: return PieceNotCopied(in);
    default: return std::nullopt;
  }
  t.Dialog.ShowPath = t.Dialog.OkAllowed;
  t.Dialog.Path = in.Path;
  return t;
}

}  // namespace kvx
