#pragma once
// The records at the end of every piece file. Byte layout (packed, little-endian; short
// strings are a length byte, Windows-1252 characters and zeros up to the capacity):
//
// TFirstPieceTrailer, the last 1259 bytes of piece 1:
//   0 Magic s[6] "KARVEX" | 7 Version u16 20001 | 9 FileName s[255] | 265 FileDate i32 (DOS,
//   local) | 269 FileSize u64 | 277 FileAttributes u32 | 281 FileCrc u32 | 285 PieceCount u32 |
//   289 Spanned u8 | 290 SetTitle s[100] | 391 Author s[75] | 467 Description s[255] |
//   723 SplitDateTime f64 (days since 1899-12-30) | 731 UniqueId s[255] | 987 NameMask s[255] |
//   1243 PieceSize u64 | 1251 LastCrc u32 | 1255 CreationDate i32 (DOS, local)
//
// TPieceTrailer, the last 647 bytes of pieces 2 to N:
//   0 Magic s[6] | 7 Version u16 | 9 FileName s[255] | 265 SetTitle s[100] | 366 UniqueId s[255] |
//   622 PieceSize u64 | 630 Offset u64 | 638 LastCrc u32 | 642 PieceNumber u32 | 646 FinalPiece u8
//
// Each LastCrc and FileCrc is the bare CRC-32 register (common/crc32.h) over the original's
// bytes from offset 0 to the end of that piece: one register for the whole file.
#include <array>
#include <cstdint>
#include <string>

namespace kvx {

constexpr uint16_t kTrailerVersion = 20001;

struct TFirstPieceTrailer {
  static constexpr size_t kSize = 1259;
  using Bytes = std::array<uint8_t, kSize>;

  uint16_t Version = kTrailerVersion;
  std::string FileName;
  int32_t FileDate = -1;
  uint64_t FileSize = 0;
  uint32_t FileAttributes = 0;
  uint32_t FileCrc = 0;
  uint32_t PieceCount = 0;
  uint8_t Spanned = 0;
  std::string SetTitle;
  std::string Author;
  std::string Description;
  double SplitDateTime = 0;
  std::string UniqueId;
  std::string NameMask;
  uint64_t PieceSize = 0;
  uint32_t LastCrc = 0;
  int32_t CreationDate = -1;

  // The record bytes, magic included; texts longer than their field are cut.
  Bytes Serialize() const;
  // Reads every field but the magic, which the caller checks with HasTrailerMagic.
  static TFirstPieceTrailer Parse(const Bytes& bytes);
};

struct TPieceTrailer {
  static constexpr size_t kSize = 647;
  using Bytes = std::array<uint8_t, kSize>;

  uint16_t Version = kTrailerVersion;
  std::string FileName;
  std::string SetTitle;
  std::string UniqueId;
  uint64_t PieceSize = 0;
  uint64_t Offset = 0;
  uint32_t LastCrc = 0;
  uint32_t PieceNumber = 0;
  uint8_t FinalPiece = 0;

  Bytes Serialize() const;
  static TPieceTrailer Parse(const Bytes& bytes);
};

// True when the record starts with the 7 bytes of the magic: length byte 6, then "KARVEX".
bool HasTrailerMagic(const uint8_t* record);

}  // namespace kvx
