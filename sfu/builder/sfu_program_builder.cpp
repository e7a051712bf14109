#include "sfu/builder/sfu_program_builder.h"

#include "common/codepage.h"
#include "common/errors.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/paths.h"
#include "common/text.h"
#include "sfu/builder/core_packer.h"
#include "sfu/builder/resource_editor.h"
#include "sfu/builder/version_info.h"
#include "sfu/shared/sfu_language.h"

namespace kvx {

namespace {

uint32_t PieceCount(const TSfuBuildRequest& request) {
  // A merged program is built while piece 1, the last piece written, is not yet counted.
  return static_cast<uint32_t>(request.PiecesWritten) + (request.Merged ? 1 : 0);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  TFile file(path, cmOpenExisting, amRead, smShareRead);
  const int64_t size = file.Size();
  if (size > INT32_MAX) throw EKarvexError("The file " + path + " is too large");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!bytes.empty()) file.ReadExact(bytes.data(), static_cast<uint32_t>(bytes.size()));
  return bytes;
}

std::vector<uint8_t> ToBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

// Steps 3 to 5: the core with its four resources, packed.
std::vector<uint8_t> PackedCore(const TSfuBuildRequest& request, const TSfuPayloads& payloads) {
  if (payloads.Core.empty()) throw EKarvexError("This build of Karvex carries no SFU core");
  TResourceEditor core(payloads.Core);
  core.AddRcData("SFX", [&] {
    const TSfuSettings::Bytes record = request.Settings->Serialize();
    return std::vector<uint8_t>(record.begin(), record.end());
  }());
  core.AddRcData("WEL", ToBytes(WelcomeResource(request)));
  const bool ownPicture = !request.HeaderBitmapFile.empty() && os::FileExists(request.HeaderBitmapFile);
  core.AddRcData("BMP", ownPicture ? ReadWholeFile(request.HeaderBitmapFile) : payloads.DefaultHeaderBitmap);
  core.AddRcData("LNG", ToBytes(LanguageResource(request.LanguageText)));
  return PackCore(core.Save());
}

void StampVersion(TResourceEditor& stub, const TSfuBuildRequest& request) {
  const TResource* found = stub.FindFirstOfType(rtVersion);
  if (found == nullptr) throw EKarvexError("Unable to load the version information resource");
  const TResource version = *found;
  TVersionInfo info(version.Data);
  info.SetString("FileDescription", "Karvex Self-Uniting for " + ExtractFileName(request.SourceFile));
  info.SetString("LegalCopyright", request.Author);
  info.SetString("ProductName", request.SetTitle);
  info.SetString("Comments", request.Description);
  stub.ReplaceData(version, info.Serialize());
}

void ReplaceIcon(TResourceEditor& stub, const std::string& iconFile) {
  const std::vector<uint8_t> ico = ReadWholeFile(iconFile);
  TResId name = TResId::Text("MAINICON");
  if (const TResource* group = stub.FindFirstOfType(rtGroupIcon)) {
    name = group->Name;
    stub.Delete(*group);
  }
  stub.AddGroupIcon(name, 0, ico);
}

}  // namespace

std::string WelcomeResource(const TSfuBuildRequest& request) {
  const std::pair<const char*, std::string> placeholders[] = {
      {"{filename}", ExtractFileName(request.SourceFile)},
      {"{fullsize}", Format("%lld", static_cast<long long>(request.TotalSize))},
      {"{size}", SizeToText(3, request.TotalSize)},
      {"{piececount}", Format("%u", PieceCount(request))},
      {"{author}", request.Author},
      {"{desc}", request.Description},
  };
  std::string text;
  for (std::string line : request.WelcomeText) {
    for (const auto& [token, value] : placeholders) ReplaceAll(line, token, value);
    text += Utf8ToAnsi(line) + "\r\n";
  }
  return text;
}

std::vector<uint8_t> BuildSfuProgram(const TSfuBuildRequest& request, const TSfuPayloads& payloads,
                                     std::vector<std::string>& summaryLines) {
  summaryLines.push_back("0|Working on SFU data...");
  TSfuSettings& settings = *request.Settings;
  settings.FirstPieceName = ExtractFileName(request.FirstPieceName);
  settings.PieceCount = PieceCount(request);
  settings.UniqueId = request.UniqueId;
  const std::vector<uint8_t> packed = PackedCore(request, payloads);

  summaryLines.push_back("0|Working on SFU resources...");
  if (payloads.Stub.empty()) throw EKarvexError("This build of Karvex carries no loader stub");
  TResourceEditor stub(payloads.Stub);
  const TResource* eng = stub.FindFirst(rtRcData, "ENG");
  if (eng == nullptr) throw EKarvexError("Unable to load the required RCData resource");
  stub.ReplaceData(*eng, packed);
  StampVersion(stub, request);
  if (!request.IconFile.empty() && os::FileExists(request.IconFile)) ReplaceIcon(stub, request.IconFile);
  return stub.Save();
}

}  // namespace kvx
