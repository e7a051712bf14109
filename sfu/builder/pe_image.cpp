#include "sfu/builder/pe_image.h"

#include <algorithm>
#include <cstring>

#include "common/byte_io.h"
#include "common/errors.h"

namespace kvx {

namespace {
constexpr uint32_t kScnInitializedData = 0x00000040;
constexpr uint32_t kScnDiscardable = 0x02000000;

bool IsPowerOfTwo(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

// The end of a section in memory before alignment.
uint64_t VirtualEnd(const TPeSection& s) {
  return uint64_t{s.VirtualAddress} + (s.VirtualSize != 0 ? s.VirtualSize : s.SizeOfRawData);
}
}  // namespace

TPeImage::TPeImage(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) { ParseHeaders(); }

void TPeImage::ParseHeaders() {
  const TBoundedBytes v = View();
  if (v.Size() < 64 || v.U16(0) != 0x5A4D) throw EKarvexError("The executable image is not a PE image");
  const uint64_t pe = v.U32(0x3C);
  if (!v.Holds(pe, 24) || v.U32(pe) != 0x00004550) throw EKarvexError("The executable image is not a PE image");
  const uint64_t coff = pe + 4;
  const uint16_t sectionCount = v.U16(coff + 2);
  const uint16_t optionalSize = v.U16(coff + 16);
  optionalHeader_ = coff + 20;
  v.Require(optionalHeader_, optionalSize);
  const uint16_t magic = v.U16(optionalHeader_);
  if (magic != 0x10B && magic != 0x20B) v.Fail("unknown optional header");
  pe32Plus_ = magic == 0x20B;
  const size_t countField = pe32Plus_ ? 108 : 92;
  if (optionalSize < countField + 4) v.Fail("optional header too short");
  directories_ = optionalHeader_ + countField + 4;
  directoryCount_ = std::min<uint32_t>(v.U32(optionalHeader_ + countField), (optionalSize - countField - 4) / 8);
  sectionAlignment_ = v.U32(optionalHeader_ + 32);
  fileAlignment_ = v.U32(optionalHeader_ + 36);
  if (!IsPowerOfTwo(sectionAlignment_) || !IsPowerOfTwo(fileAlignment_)) v.Fail("bad alignment");
  sectionTable_ = optionalHeader_ + optionalSize;
  v.Require(sectionTable_, uint64_t{40} * sectionCount);
  for (size_t i = 0; i < sectionCount; ++i) {
    const uint8_t* h = v.At(SectionHeaderOffset(i), 40);
    TPeSection s;
    s.Name.assign(reinterpret_cast<const char*>(h), strnlen(reinterpret_cast<const char*>(h), 8));
    s.VirtualSize = GetU32(h + 8);
    s.VirtualAddress = GetU32(h + 12);
    s.SizeOfRawData = GetU32(h + 16);
    s.PointerToRawData = GetU32(h + 20);
    s.Characteristics = GetU32(h + 36);
    if (s.SizeOfRawData != 0) v.Require(s.PointerToRawData, s.SizeOfRawData);
    if (!sections_.empty() && s.VirtualAddress < VirtualEnd(sections_.back())) v.Fail("sections overlap");
    sections_.push_back(s);
  }
}

TPeImage::Directory TPeImage::DirectoryAt(uint32_t index) const {
  if (index >= directoryCount_) return {};
  return {GetU32(&bytes_[DirectoryOffset(index)]), GetU32(&bytes_[DirectoryOffset(index) + 4])};
}

size_t TPeImage::ResourceIndex() const {
  const Directory resources = DirectoryAt(kDirectoryResource);
  if (resources.Rva == 0) throw EKarvexError("The executable image has no resource section");
  for (size_t i = 0; i < sections_.size(); ++i)
    if (sections_[i].VirtualAddress == resources.Rva && sections_[i].SizeOfRawData != 0) return i;
  View().Fail("the resource directory does not start a section");
}

const TPeSection& TPeImage::ResourceSection() const { return sections_[ResourceIndex()]; }

std::vector<uint8_t> TPeImage::ResourceSectionBytes() const {
  const TPeSection& s = ResourceSection();
  return View().Copy(s.PointerToRawData, s.SizeOfRawData);
}

std::vector<uint8_t> TPeImage::ReadRva(uint32_t rva, uint32_t size) const {
  for (const TPeSection& s : sections_) {
    const uint64_t offset = uint64_t{rva} - s.VirtualAddress;
    if (rva >= s.VirtualAddress && offset + size <= s.SizeOfRawData)
      return View().Copy(uint64_t{s.PointerToRawData} + offset, size);
  }
  View().Fail("a resource lies outside the sections");
}

// The resource section may grow only when every section behind it can move: discardable
// sections that no directory but the base relocations points into. Base relocations list
// pages of other sections, so moving their own section changes nothing they say.
void TPeImage::CheckMovable(size_t resourceIndex) const {
  const TPeSection& rs = sections_[resourceIndex];
  const uint64_t oldRawEnd = uint64_t{rs.PointerToRawData} + rs.SizeOfRawData;
  for (size_t i = 0; i < sections_.size(); ++i) {
    const TPeSection& s = sections_[i];
    const auto refuse = [&](const char* why) {
      throw EKarvexError("The resource section cannot grow: section \"" + s.Name + "\" " + why);
    };
    if (i < resourceIndex) {
      if (s.SizeOfRawData != 0 && uint64_t{s.PointerToRawData} + s.SizeOfRawData > rs.PointerToRawData)
        refuse("lies behind it in the file");
      continue;
    }
    if (i == resourceIndex) continue;
    if (!(s.Characteristics & kScnDiscardable)) refuse("follows it and cannot move");
    if (s.SizeOfRawData != 0 && s.PointerToRawData < oldRawEnd) refuse("overlaps it in the file");
    for (uint32_t d = 0; d < directoryCount_; ++d) {
      const Directory dir = DirectoryAt(d);
      if (d == kDirectoryBaseReloc || dir.Rva == 0) continue;
      if (dir.Rva >= s.VirtualAddress && dir.Rva < VirtualEnd(s)) refuse("holds data the image refers to");
    }
  }
}

std::vector<uint8_t> TPeImage::WithResourceSection(const std::vector<uint8_t>& tree) const {
  const size_t r = ResourceIndex();
  std::vector<TPeSection> sections = sections_;
  TPeSection& rs = sections[r];
  const bool last = r + 1 == sections.size();
  const uint64_t oldRawEnd = uint64_t{rs.PointerToRawData} + rs.SizeOfRawData;
  // Behind another section the virtual size never shrinks, so the sections stay adjacent.
  const uint64_t newVirtualSize = last ? tree.size() : std::max<uint64_t>(tree.size(), rs.VirtualSize);
  const uint64_t newRaw = std::max<uint64_t>(rs.SizeOfRawData, AlignUp(tree.size(), fileAlignment_));
  const uint64_t rawShift = newRaw - rs.SizeOfRawData;
  uint64_t rvaShift = 0;
  if (!last) {
    const uint64_t newEnd = AlignUp(rs.VirtualAddress + newVirtualSize, sectionAlignment_);
    if (newEnd > sections[r + 1].VirtualAddress) rvaShift = newEnd - sections[r + 1].VirtualAddress;
  }
  if (rawShift != 0 || rvaShift != 0) CheckMovable(r);
  if (bytes_.size() + rawShift > 0xFFFFFFFFu || VirtualEnd(sections.back()) + rvaShift > 0xFFFFFFFFu)
    throw EKarvexError("The resources are too large for an executable image");

  std::vector<uint8_t> out(bytes_.begin(), bytes_.begin() + rs.PointerToRawData);
  out.insert(out.end(), tree.begin(), tree.end());
  out.resize(rs.PointerToRawData + newRaw, 0);
  out.insert(out.end(), bytes_.begin() + oldRawEnd, bytes_.end());

  rs.VirtualSize = static_cast<uint32_t>(newVirtualSize);
  rs.SizeOfRawData = static_cast<uint32_t>(newRaw);
  for (size_t i = r + 1; i < sections.size(); ++i) {
    sections[i].VirtualAddress += static_cast<uint32_t>(rvaShift);
    if (sections[i].SizeOfRawData != 0) sections[i].PointerToRawData += static_cast<uint32_t>(rawShift);
  }
  WriteHeaders(out, sections, r, static_cast<uint32_t>(tree.size()), static_cast<uint32_t>(rvaShift),
               static_cast<uint32_t>(rawShift));
  return out;
}

void TPeImage::WriteHeaders(std::vector<uint8_t>& out, const std::vector<TPeSection>& sections,
                            size_t resourceIndex, uint32_t treeSize, uint32_t rvaShift, uint32_t rawShift) const {
  const TPeSection& old = sections_[resourceIndex];
  for (size_t i = 0; i < sections.size(); ++i) {
    uint8_t* h = &out[SectionHeaderOffset(i)];
    PutU32(h + 8, sections[i].VirtualSize);
    PutU32(h + 12, sections[i].VirtualAddress);
    PutU32(h + 16, sections[i].SizeOfRawData);
    PutU32(h + 20, sections[i].PointerToRawData);
  }
  PutU32(&out[DirectoryOffset(kDirectoryResource) + 4], treeSize);
  const Directory relocs = DirectoryAt(kDirectoryBaseReloc);
  if (relocs.Rva > old.VirtualAddress) PutU32(&out[DirectoryOffset(kDirectoryBaseReloc)], relocs.Rva + rvaShift);

  const size_t coff = optionalHeader_ - 20;
  const uint32_t symbols = GetU32(&out[coff + 8]);
  if (symbols >= uint64_t{old.PointerToRawData} + old.SizeOfRawData) PutU32(&out[coff + 8], symbols + rawShift);

  uint8_t* opt = &out[optionalHeader_];
  if (old.Characteristics & kScnInitializedData) PutU32(opt + 8, GetU32(opt + 8) + rawShift);
  uint64_t imageEnd = 0;
  for (const TPeSection& s : sections) imageEnd = std::max(imageEnd, VirtualEnd(s));
  PutU32(opt + 56, static_cast<uint32_t>(AlignUp(imageEnd, sectionAlignment_)));
  PutU32(opt + 64, 0);  // CheckSum
}

}  // namespace kvx
