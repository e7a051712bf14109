// Language texts filled without printf, and the restored file's name kept inside its folder.
#include <gtest/gtest.h>

#include "common/os/os.h"
#include "sfu/runtime/output_name.h"
#include "sfu/runtime/text_args.h"

namespace kvx {
namespace {

TEST(FillTextTest, PlaceholdersTakeTheArgumentsInOrder) {
  EXPECT_EQ(FillText("Piece %u of %u is %s", {"2", "5", "late"}), "Piece 2 of 5 is late");
  EXPECT_EQ(FillText("100%% %d", {"7"}), "100% 7");
  // A translation with too many placeholders or other conversions cannot read past the arguments.
  EXPECT_EQ(FillText("%s %s %n %x %", {"a"}), "a  %n %x %");
  EXPECT_EQ(Decimal(18446744073709551615ull), "18446744073709551615");
}

TEST(OutputNameTest, TheRecordsNameNeverLeavesTheFolder) {
  const struct {
    const char* stored;
    const char* safe;
  } cases[] = {
      {"movie.avi", "movie.avi"},
      {"../../etc/passwd", "passwd"},
      {"..\\..\\Windows\\win.ini", "win.ini"},
      {"C:evil.exe", "evil.exe"},
      {"C:\\Users\\x\\doc.txt", "doc.txt"},
      {"/abs/path/name", "name"},
      {"..", "restored.bin"},
      {"dir/", "restored.bin"},
      {"", "restored.bin"},
      {"a\nb\x01.txt", "a_b_.txt"},
      {"NUL.txt", "_NUL.txt"},
      {"com1", "_com1"},
      {"console.log", "console.log"},
  };
  for (const auto& c : cases) EXPECT_EQ(SafeOutputName(c.stored), c.safe) << c.stored;
  EXPECT_EQ(RestoredFilePath("out", "../x"), std::string("out") + os::PathSeparator() + "x");
}

}  // namespace
}  // namespace kvx
