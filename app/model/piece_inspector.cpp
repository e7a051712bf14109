#include "app/model/piece_inspector.h"

#include <array>
#include <cstdint>

#include "common/dos_date.h"
#include "common/errors.h"
#include "common/file.h"
#include "common/os/os.h"
#include "common/text.h"
#include "common/trailers.h"

namespace kvx {

namespace {

unsigned long long U(uint64_t value) { return value; }

// The last N bytes of the file, when it is at least N bytes long.
template <size_t N>
bool ReadTail(const std::string& path, std::array<uint8_t, N>& record) {
  record.fill(0);
  TFile file(path, cmOpenExisting, amRead, smExclusive);
  const int64_t size = file.Size();
  if (size < static_cast<int64_t>(N)) return false;
  file.Seek(0, size - static_cast<int64_t>(N));
  uint32_t got = 0;
  while (got < N) {
    const uint32_t n = file.Read(record.data() + got, static_cast<uint32_t>(N) - got);
    if (n == 0) break;
    got += n;
  }
  return HasTrailerMagic(record.data());
}

void AddFirstPieceLines(const TFirstPieceTrailer& t, std::vector<std::string>& lines) {
  lines.push_back(Format("Version=%u", static_cast<unsigned>(t.Version)));
  lines.push_back("Filename=" + t.FileName);
  lines.push_back(Format("Size=%llu", U(t.FileSize)));
  lines.push_back("Date/Time=" + DosDateTimeText(t.FileDate));
  lines.push_back(Format("File CRC=%u", static_cast<unsigned>(t.FileCrc)));
  lines.push_back(Format("Piece Count=%u", static_cast<unsigned>(t.PieceCount)));
  lines.push_back("Set Title=" + t.SetTitle);
  lines.push_back("Author=" + t.Author);
  lines.push_back("Description=" + t.Description);
  lines.push_back("Unique ID=" + t.UniqueId);
  lines.push_back("Name Mask=" + t.NameMask);
  lines.push_back(Format("Spanned=%u", static_cast<unsigned>(t.Spanned)));
  lines.push_back(Format("Piece Size=%llu", U(t.PieceSize)));
  lines.push_back(Format("Last CRC=%u", static_cast<unsigned>(t.LastCrc)));
}

void AddPieceLines(const TPieceTrailer& t, std::vector<std::string>& lines) {
  lines.push_back(Format("Version=%u", static_cast<unsigned>(t.Version)));
  lines.push_back("Filename=" + t.FileName);
  lines.push_back("Set Title=" + t.SetTitle);
  lines.push_back("Unique ID=" + t.UniqueId);
  lines.push_back(Format("Piece Size=%llu", U(t.PieceSize)));
  lines.push_back(Format("Piece Number=%u", static_cast<unsigned>(t.PieceNumber)));
  lines.push_back(Format("Offset=%llu", U(t.Offset)));
  lines.push_back(Format("Last CRC=%u", static_cast<unsigned>(t.LastCrc)));
  lines.push_back(Format("Final Piece=%u", static_cast<unsigned>(t.FinalPiece)));
}

}  // namespace

std::string DosDateTimeText(int32_t packed) {
  DateTimeParts p;
  if (!DecodeDosDateTime(packed, p)) throw EKarvexError("Invalid argument to date encode");
  std::string text = Format("%04d-%02d-%02d", p.year, p.month, p.day);
  if (p.hour != 0 || p.minute != 0 || p.second != 0) text += Format(" %02d:%02d:%02d", p.hour, p.minute, p.second);
  return text;
}

TRecordKind InspectPiece(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  if (!os::FileExists(path)) return rkNone;
  TFirstPieceTrailer::Bytes first;
  if (ReadTail(path, first)) {
    AddFirstPieceLines(TFirstPieceTrailer::Parse(first), lines);
    return rkFirstPiece;
  }
  TPieceTrailer::Bytes piece;
  if (ReadTail(path, piece)) {
    AddPieceLines(TPieceTrailer::Parse(piece), lines);
    return rkPiece;
  }
  lines.push_back("Result=Not a valid Karvex 2.0 piece file");
  return rkNone;
}

}  // namespace kvx
