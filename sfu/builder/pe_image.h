#pragma once
// An executable image (PE32 or PE32+) held in memory, as far as resource editing needs it:
// the headers, the section table and the resource section. Saving with new resources rebuilds
// the resource section in place when it fits; otherwise the section grows and the sections
// behind it (only discardable ones such as .reloc, which nothing else refers to) move up, the
// bytes after the last section (overlay) moving with them. The header checksum is cleared:
// the system checks it for drivers only.
#include <cstdint>
#include <string>
#include <vector>

#include "sfu/builder/bounded_bytes.h"

namespace kvx {

struct TPeSection {
  std::string Name;
  uint32_t VirtualSize = 0;
  uint32_t VirtualAddress = 0;
  uint32_t SizeOfRawData = 0;
  uint32_t PointerToRawData = 0;
  uint32_t Characteristics = 0;
};

class TPeImage {
 public:
  // Parses the headers. Raises EKarvexError for an image that is truncated or not a PE image.
  explicit TPeImage(std::vector<uint8_t> bytes);

  bool IsPe32Plus() const { return pe32Plus_; }
  const std::vector<TPeSection>& Sections() const { return sections_; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  // The section that starts with the resource directory. Raises when there is none.
  const TPeSection& ResourceSection() const;
  // The resource section's raw bytes.
  std::vector<uint8_t> ResourceSectionBytes() const;
  // size bytes at an RVA, which must lie inside the raw data of one section.
  std::vector<uint8_t> ReadRva(uint32_t rva, uint32_t size) const;

  // The image with its resource section replaced by `tree`, a tree written for the resource
  // section's RVA. Raises when the section would have to grow past a section that cannot move.
  std::vector<uint8_t> WithResourceSection(const std::vector<uint8_t>& tree) const;

 private:
  enum : uint32_t { kDirectoryResource = 2, kDirectoryBaseReloc = 5 };
  struct Directory {
    uint32_t Rva = 0;
    uint32_t Size = 0;
  };

  TBoundedBytes View() const { return TBoundedBytes(bytes_, "The executable image"); }
  void ParseHeaders();
  size_t SectionHeaderOffset(size_t index) const { return sectionTable_ + 40 * index; }
  size_t DirectoryOffset(uint32_t index) const { return directories_ + 8 * index; }
  Directory DirectoryAt(uint32_t index) const;
  size_t ResourceIndex() const;
  void CheckMovable(size_t resourceIndex) const;
  void WriteHeaders(std::vector<uint8_t>& out, const std::vector<TPeSection>& sections, size_t resourceIndex,
                    uint32_t treeSize, uint32_t rvaShift, uint32_t rawShift) const;

  std::vector<uint8_t> bytes_;
  bool pe32Plus_ = false;
  size_t optionalHeader_ = 0;
  size_t directories_ = 0;
  uint32_t directoryCount_ = 0;
  size_t sectionTable_ = 0;
  uint32_t sectionAlignment_ = 0;
  uint32_t fileAlignment_ = 0;
  std::vector<TPeSection> sections_;
};

}  // namespace kvx
