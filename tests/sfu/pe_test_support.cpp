#include "pe_test_support.h"

#include <gtest/gtest.h>

#include "common/byte_io.h"
#include "common/errors.h"
#include "sfu/builder/pe_image.h"
#include "sfu/shared/core_unpacker.h"
#include "test_images.h"

namespace kvx::test {

std::vector<std::string> StubImageNames() {
  std::vector<std::string> names;
  for (const char* name : {"stub", "stub32"})
    if (!TestImage(name).empty()) names.push_back(name);
  return names;
}

std::vector<uint8_t> MakeIcoFile(const std::vector<int>& sizes, uint32_t colour) {
  std::vector<uint8_t> ico(6 + 16 * sizes.size(), 0);
  PutU16(&ico[2], 1);
  PutU16(&ico[4], static_cast<uint16_t>(sizes.size()));
  for (size_t i = 0; i < sizes.size(); ++i) {
    const int n = sizes[i];
    const size_t maskStride = (n / 8 + 3) / 4 * 4;
    std::vector<uint8_t> image(40 + 4 * n * n + maskStride * n, 0);
    PutU32(&image[0], 40);
    PutU32(&image[4], n);
    PutU32(&image[8], 2 * n);
    PutU16(&image[12], 1);
    PutU16(&image[14], 32);
    for (int p = 0; p < n * n; ++p) PutU32(&image[40 + 4 * p], 0xFF000000u | colour);
    uint8_t* entry = &ico[6 + 16 * i];
    entry[0] = static_cast<uint8_t>(n);
    entry[1] = static_cast<uint8_t>(n);
    PutU16(entry + 4, 1);
    PutU16(entry + 6, 32);
    PutU32(entry + 8, static_cast<uint32_t>(image.size()));
    PutU32(entry + 12, static_cast<uint32_t>(ico.size()));
    ico.insert(ico.end(), image.begin(), image.end());
  }
  return ico;
}

void ExpectSoundLayout(const std::vector<uint8_t>& bytes) {
  const TPeImage image(bytes);
  const uint32_t pe = GetU32(&bytes[0x3C]);
  const uint8_t* opt = &bytes[pe + 24];
  const uint32_t sectionAlignment = GetU32(opt + 32);
  const uint32_t fileAlignment = GetU32(opt + 36);
  const uint8_t* dirs = opt + (image.IsPe32Plus() ? 112 : 96);
  const auto& sections = image.Sections();
  for (size_t i = 0; i < sections.size(); ++i) {
    const TPeSection& s = sections[i];
    EXPECT_EQ(s.VirtualAddress % sectionAlignment, 0u) << s.Name;
    EXPECT_EQ(s.PointerToRawData % fileAlignment, 0u) << s.Name;
    EXPECT_EQ(s.SizeOfRawData % fileAlignment, 0u) << s.Name;
    EXPECT_LE(uint64_t{s.PointerToRawData} + s.SizeOfRawData, bytes.size()) << s.Name;
    if (i + 1 < sections.size()) {
      EXPECT_EQ(sections[i + 1].VirtualAddress, AlignUp(uint64_t{s.VirtualAddress} + s.VirtualSize, sectionAlignment))
          << s.Name << " and the next section are not adjacent";
    }
  }
  const TPeSection& last = sections.back();
  EXPECT_EQ(GetU32(opt + 56), AlignUp(uint64_t{last.VirtualAddress} + last.VirtualSize, sectionAlignment));
  EXPECT_EQ(GetU32(opt + 64), 0u);
  const TPeSection& rsrc = image.ResourceSection();
  EXPECT_EQ(rsrc.Name, ".rsrc");
  EXPECT_EQ(GetU32(dirs + 16), rsrc.VirtualAddress);
  EXPECT_LE(GetU32(dirs + 20), rsrc.VirtualSize);
  const uint32_t relocs = GetU32(dirs + 40);
  if (relocs != 0) {
    bool found = false;
    for (const TPeSection& s : sections) found |= s.Name == ".reloc" && s.VirtualAddress == relocs;
    EXPECT_TRUE(found) << "the base relocations are not at the start of .reloc";
  }
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EKarvexError& e) {
    return e.what();
  }
  return "no error";
}

namespace {
bool AppendTo(void* context, const uint8_t* data, size_t size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  out->insert(out->end(), data, data + size);
  return true;
}
}  // namespace

bool UnpackToMemory(const std::vector<uint8_t>& packed, std::vector<uint8_t>& image) {
  image.clear();
  return UnpackCore(packed.data(), packed.size(), AppendTo, &image);
}

}  // namespace kvx::test
