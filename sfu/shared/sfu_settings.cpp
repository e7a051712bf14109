#include "sfu/shared/sfu_settings.h"

#include <algorithm>
#include <cstring>

#include "common/byte_io.h"

namespace kvx {

namespace {
const uint8_t kMagic[7] = {6, 'K', 'V', 'X', 'S', 'F', 'U'};
}  // namespace

TSfuSettings::Bytes TSfuSettings::Serialize() const {
  Bytes b{};
  uint8_t* p = b.data();
  std::memcpy(p, kMagic, sizeof kMagic);
  PutU16(p + 7, Version);
  PutShortString(p + 9, 50, WindowCaption);
  PutShortString(p + 60, 255, StartMessage);
  PutShortString(p + 316, 255, EndMessage);
  PutU16(p + 572, DestinationKind);
  p[574] = OpenAfterUnite;
  PutShortString(p + 575, 255, AboutMessage);
  PutU32(p + 831, static_cast<uint32_t>(ShowCommand));
  PutShortString(p + 835, 255, RunParameters);
  p[1091] = WaitForEnd;
  p[1092] = DeleteAfterRun;
  p[1093] = AutoClose;
  PutShortString(p + 1094, 255, FirstPieceName);
  PutShortString(p + 1350, 100, ArchiveTitle);
  PutU32(p + 1451, PieceCount);
  p[1455] = NoOverwritePrompt;
  p[1456] = AutoStart;
  p[1457] = Silent;
  p[1458] = LockDestination;
  PutShortString(p + 1459, 255, UniqueId);
  PutShortString(p + 1715, 255, CustomFolder);
  p[1971] = MergedFirstPiece;
  return b;
}

TSfuSettings TSfuSettings::Parse(const Bytes& b) {
  const uint8_t* p = b.data();
  TSfuSettings s;
  s.Version = GetU16(p + 7);
  s.WindowCaption = GetShortString(p + 9, 50);
  s.StartMessage = GetShortString(p + 60, 255);
  s.EndMessage = GetShortString(p + 316, 255);
  s.DestinationKind = GetU16(p + 572);
  s.OpenAfterUnite = p[574] != 0;
  s.AboutMessage = GetShortString(p + 575, 255);
  s.ShowCommand = static_cast<int32_t>(GetU32(p + 831));
  s.RunParameters = GetShortString(p + 835, 255);
  s.WaitForEnd = p[1091] != 0;
  s.DeleteAfterRun = p[1092] != 0;
  s.AutoClose = p[1093] != 0;
  s.FirstPieceName = GetShortString(p + 1094, 255);
  s.ArchiveTitle = GetShortString(p + 1350, 100);
  s.PieceCount = GetU32(p + 1451);
  s.NoOverwritePrompt = p[1455] != 0;
  s.AutoStart = p[1456] != 0;
  s.Silent = p[1457] != 0;
  s.LockDestination = p[1458] != 0;
  s.UniqueId = GetShortString(p + 1459, 255);
  s.CustomFolder = GetShortString(p + 1715, 255);
  s.MergedFirstPiece = p[1971] != 0;
  return s;
}

bool HasSfuMagic(const TSfuSettings::Bytes& record) {
  return std::memcmp(record.data(), kMagic, sizeof kMagic) == 0;
}

TSfuSettings::Bytes SfuRecordFromResource(const void* data, size_t size) {
  TSfuSettings::Bytes b{};
  if (data != nullptr) std::memcpy(b.data(), data, std::min(size, b.size()));
  return b;
}

}  // namespace kvx
