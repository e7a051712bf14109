#include <gtest/gtest.h>

#include "common/piece_names.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

using test::NativePath;

TEST(ExpandPieceName, MaskExamples) {
  const struct {
    const char* source;
    const char* mask;
    int64_t n;
    const char* name;
  } kCases[] = {
      {"/video/holiday.avi", "{ofw}.{oru}", 1, "holiday.001"},
      {"/video/holiday.avi", "{ofw}.{oru}", 999, "holiday.999"},
      {"/video/holiday.avi", "{ofw}.{oru}", 1000, "holiday.1000"},
      {"/data/report.tar.gz", "{orf}.part{num}", 2, "report.tar.gz.part2"},
      {"/data/data.bin", "{ofw}{ore}.{NUM}", 1, "data.bin.1"},
      {"/data/photo.jpeg", "{ofw}-{num}", 1, "photog-1"},
      {"/data/README", "{orf}{ore}_{num}", 1, "README_1"},
      {"/data/a.bin", "disk{num}.kxd", 12, "disk12.kxd"},
      // A later variable is replaced inside text an earlier one put in.
      {"/data/x{ore}.txt", "{orf}-{num}", 3, "x.txt.txt-3"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(ExpandPieceName(c.mask, c.n, NativePath(c.source)), c.name) << c.mask << " " << c.n;
}

TEST(ExpandFolderVariables, CaseSensitiveVariables) {
  const std::string source = NativePath("/data/report.pdf");
  EXPECT_EQ(ExpandFolderVariables(NativePath("/out/{ofw}"), source), NativePath("/out/report"));
  EXPECT_EQ(ExpandFolderVariables(NativePath("/out/{orf}"), source), NativePath("/out/report.pdf"));
  EXPECT_EQ(ExpandFolderVariables(NativePath("/{ore}/{ofw}"), source), NativePath("/.pdf/report"));
  EXPECT_EQ(ExpandFolderVariables(NativePath("/out/{OFW}"), source), NativePath("/out/{OFW}"));
  EXPECT_EQ(ExpandFolderVariables(NativePath("/out/{num}"), source), NativePath("/out/{num}"));
}

TEST(SfuProgramName, FirstPieceNameOrTheGivenName) {
  EXPECT_EQ(SfuProgramName("", "disk1.kxd"), "disk1.EXE");
  EXPECT_EQ(SfuProgramName("", "report.pdf.001"), "report.pdf.EXE");
  EXPECT_EQ(SfuProgramName("", "piece1"), "piece1.EXE");
  EXPECT_EQ(SfuProgramName(NativePath("/other/Setup.exe"), "disk1.kxd"), "Setup.exe");
  EXPECT_EQ(SfuProgramName("Unite", "disk1.kxd"), "Unite");
}

}  // namespace
}  // namespace kvx
