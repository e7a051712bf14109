#include "common/trailers.h"

#include <cstring>

#include "common/byte_io.h"

namespace kvx {

namespace {
const uint8_t kMagic[7] = {6, 'K', 'A', 'R', 'V', 'E', 'X'};

void PutHead(uint8_t* b, uint16_t version, const std::string& fileName) {
  std::memcpy(b, kMagic, sizeof kMagic);
  PutU16(b + 7, version);
  PutShortString(b + 9, 255, fileName);
}
}  // namespace

bool HasTrailerMagic(const uint8_t* record) { return std::memcmp(record, kMagic, sizeof kMagic) == 0; }

TFirstPieceTrailer::Bytes TFirstPieceTrailer::Serialize() const {
  Bytes b{};
  PutHead(b.data(), Version, FileName);
  PutU32(b.data() + 265, static_cast<uint32_t>(FileDate));
  PutU64(b.data() + 269, FileSize);
  PutU32(b.data() + 277, FileAttributes);
  PutU32(b.data() + 281, FileCrc);
  PutU32(b.data() + 285, PieceCount);
  b[289] = Spanned;
  PutShortString(b.data() + 290, 100, SetTitle);
  PutShortString(b.data() + 391, 75, Author);
  PutShortString(b.data() + 467, 255, Description);
  PutF64(b.data() + 723, SplitDateTime);
  PutShortString(b.data() + 731, 255, UniqueId);
  PutShortString(b.data() + 987, 255, NameMask);
  PutU64(b.data() + 1243, PieceSize);
  PutU32(b.data() + 1251, LastCrc);
  PutU32(b.data() + 1255, static_cast<uint32_t>(CreationDate));
  return b;
}

TFirstPieceTrailer TFirstPieceTrailer::Parse(const Bytes& b) {
  TFirstPieceTrailer t;
  t.Version = GetU16(b.data() + 7);
  t.FileName = GetShortString(b.data() + 9, 255);
  t.FileDate = static_cast<int32_t>(GetU32(b.data() + 265));
  t.FileSize = GetU64(b.data() + 269);
  t.FileAttributes = GetU32(b.data() + 277);
  t.FileCrc = GetU32(b.data() + 281);
  t.PieceCount = GetU32(b.data() + 285);
  t.Spanned = b[289];
  t.SetTitle = GetShortString(b.data() + 290, 100);
  t.Author = GetShortString(b.data() + 391, 75);
  t.Description = GetShortString(b.data() + 467, 255);
  t.SplitDateTime = GetF64(b.data() + 723);
  t.UniqueId = GetShortString(b.data() + 731, 255);
  t.NameMask = GetShortString(b.data() + 987, 255);
  t.PieceSize = GetU64(b.data() + 1243);
  t.LastCrc = GetU32(b.data() + 1251);
  t.CreationDate = static_cast<int32_t>(GetU32(b.data() + 1255));
  return t;
}

TPieceTrailer::Bytes TPieceTrailer::Serialize() const {
  Bytes b{};
  PutHead(b.data(), Version, FileName);
  PutShortString(b.data() + 265, 100, SetTitle);
  PutShortString(b.data() + 366, 255, UniqueId);
  PutU64(b.data() + 622, PieceSize);
  PutU64(b.data() + 630, Offset);
  PutU32(b.data() + 638, LastCrc);
  PutU32(b.data() + 642, PieceNumber);
  b[646] = FinalPiece;
  return b;
}

TPieceTrailer TPieceTrailer::Parse(const Bytes& b) {
  TPieceTrailer t;
  t.Version = GetU16(b.data() + 7);
  t.FileName = GetShortString(b.data() + 9, 255);
  t.SetTitle = GetShortString(b.data() + 265, 100);
  t.UniqueId = GetShortString(b.data() + 366, 255);
  t.PieceSize = GetU64(b.data() + 622);
  t.Offset = GetU64(b.data() + 630);
  t.LastCrc = GetU32(b.data() + 638);
  t.PieceNumber = GetU32(b.data() + 642);
  t.FinalPiece = b[646];
  return t;
}

}  // namespace kvx
