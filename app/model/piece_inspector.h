#pragma once
// The piece inspector: what the record at the end of a file says about its split set, as
// "name=value" property lines. It only reads.
#include <string>
#include <vector>

namespace kvx {

enum TRecordKind { rkNone = 0, rkFirstPiece = 2, rkPiece = 3 };

// Clears lines, then fills them from the file at path: fourteen lines for a first piece, nine
// for a later piece, the single line "Result=Not a valid Karvex 2.0 piece file" for any other
// file, nothing when no file is there. A record is looked for only where the file is long
// enough to hold it. Raises the OS error when the file cannot be opened or sized, and
// "Invalid argument to date encode" for a date that is not one; lines then keep what was
// added before the failure.
TRecordKind InspectPiece(const std::string& path, std::vector<std::string>& lines);

// A packed MS-DOS date and time as "YYYY-MM-DD HH:MM:SS", the time left out at midnight.
// Raises "Invalid argument to date encode" when the value is not a valid date.
std::string DosDateTimeText(int32_t packed);

}  // namespace kvx
