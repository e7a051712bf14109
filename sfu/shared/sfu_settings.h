#pragma once
// TSfuSettings: the record that carries the user's SFU choices into the SFU program, stored
// byte for byte as the core's RCDATA "SFX". Layout (1972 bytes, packed, little-endian; short
// strings are a length byte, Windows-1252 characters and zeros up to the capacity):
//
//   0 Magic s[6] "KVXSFU" | 7 Version u16 20001 | 9 WindowCaption s[50] | 60 StartMessage s[255] |
//   316 EndMessage s[255] | 572 DestinationKind u16 | 574 OpenAfterUnite u8 | 575 AboutMessage s[255] |
//   831 ShowCommand i32 | 835 RunParameters s[255] | 1091 WaitForEnd u8 | 1092 DeleteAfterRun u8 |
//   1093 AutoClose u8 | 1094 FirstPieceName s[255] | 1350 ArchiveTitle s[100] | 1451 PieceCount u32 |
//   1455 NoOverwritePrompt u8 | 1456 AutoStart u8 | 1457 Silent u8 | 1458 LockDestination u8 |
//   1459 UniqueId s[255] | 1715 CustomFolder s[255] | 1971 MergedFirstPiece u8
//
// The archive title is kept twice: WindowCaption is display text cut to 50 characters,
// ArchiveTitle is compared with the first piece's trailer and holds 100 like the trailer.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kvx {

constexpr uint16_t kSfuSettingsVersion = 20001;

// Initial folder of the restored file; any other value behaves as dkSfuFolder.
enum TDestinationKind : uint16_t {
  dkWindowsFolder,
  dkSystemFolder,
  dkTempFolder,
  dkCurrentFolder,
  dkSfuFolder,
  dkCustomFolder,
};

struct TSfuSettings {
  static constexpr size_t kSize = 1972;
  using Bytes = std::array<uint8_t, kSize>;

  uint16_t Version = kSfuSettingsVersion;
  std::string WindowCaption;
  std::string StartMessage;
  std::string EndMessage;
  uint16_t DestinationKind = 0;
  bool OpenAfterUnite = false;
  std::string AboutMessage;
  int32_t ShowCommand = 0;
  std::string RunParameters;
  bool WaitForEnd = false;
  bool DeleteAfterRun = false;
  bool AutoClose = false;
  std::string FirstPieceName;
  std::string ArchiveTitle;
  uint32_t PieceCount = 0;
  bool NoOverwritePrompt = false;
  bool AutoStart = false;
  bool Silent = false;
  bool LockDestination = false;
  std::string UniqueId;
  std::string CustomFolder;
  bool MergedFirstPiece = false;

  // The record bytes, magic included; texts longer than their field are cut to its capacity.
  Bytes Serialize() const;
  // Reads every field but the magic, which the caller checks with HasSfuMagic. A boolean byte
  // other than 0 reads as true.
  static TSfuSettings Parse(const Bytes& bytes);
};

// True when the record starts with the 7 bytes of the magic: length byte 6, then "KVXSFU".
// The version is not examined, so any version is accepted.
bool HasSfuMagic(const TSfuSettings::Bytes& record);

// The record as read from a resource of `size` bytes: at most 1972 bytes are taken, the rest
// stays zero (so a missing or short resource fails the magic check rather than the read).
TSfuSettings::Bytes SfuRecordFromResource(const void* data, size_t size);

}  // namespace kvx
