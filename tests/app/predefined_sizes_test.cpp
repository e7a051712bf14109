// KDEFVAL.INF: the header, the fields of each row, and files that are not used.
#include <gtest/gtest.h>

#include "app/model/predefined_sizes.h"
#include "app/model/split_job.h"
#include "common/paths.h"
#include "embedded/shipped_sizes.h"
#include "fake_dialogs.h"
#include "support/temp_dir.h"

namespace kvx {
namespace {

const char kHeader[] = "[Karvex Default Size Values]\r\n";

TEST(PredefinedSizes, RowsAndTheirFields) {
  const std::vector<TPredefinedSize> rows = ParsePredefinedSizes(
      std::string(kHeader) +
      "Disk;Small disk;512\r\n"
      "\r\n"
      "OnlyName\n"
      ";;;\r"
      "a;b;c;ignored;more\r\n"
      "; starts like a comment;1\r\n"
      "[Looks like a section];x;2\r\n"
      " spaced ; kept ; 3 \r\n"
      "Caf\xE9;\xE9t\xE9;4");
  const std::vector<std::vector<std::string>> expected = {
      {"Disk", "Small disk", "512"}, {"OnlyName", "", ""}, {"", "", ""}, {"a", "b", "c"},
      {"", " starts like a comment", "1"}, {"[Looks like a section]", "x", "2"},
      {" spaced ", " kept ", " 3 "}, {"Caf\xC3\xA9", "\xC3\xA9t\xC3\xA9", "4"}};
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].Name, expected[i][0]) << i;
    EXPECT_EQ(rows[i].Description, expected[i][1]) << i;
    EXPECT_EQ(rows[i].Value, expected[i][2]) << i;
  }
}

TEST(PredefinedSizes, FilesThatAreNotUsed) {
  for (const char* text : {"", "[Karvex Default Size Values] \r\nDisk;d;1\r\n", "[karvex default size values]\r\nDisk;d;1",
                           "\xEF\xBB\xBF[Karvex Default Size Values]\r\nDisk;d;1", " [Karvex Default Size Values]\nDisk;d;1",
                           "\r\n[Karvex Default Size Values]\r\nDisk;d;1"})
    EXPECT_TRUE(ParsePredefinedSizes(text).empty()) << text;
  EXPECT_EQ(ParsePredefinedSizes("[Karvex Default Size Values]").size(), 0u);
}

TEST(PredefinedSizes, ReadFromTheProgramsFolder) {
  test::TempDir dir;
  EXPECT_EQ(PredefinedSizesPath(dir.Path()), AddBackslash(dir.Path()) + "KDEFVAL.INF");
  EXPECT_TRUE(ReadPredefinedSizes(dir.Path()).empty());
  const std::string text = std::string(kHeader) + "CD;700 MB;737280000\r\n";
  test::WriteAll(PredefinedSizesPath(dir.Path()), std::vector<uint8_t>(text.begin(), text.end()));
  const std::vector<TPredefinedSize> rows = ReadPredefinedSizes(dir.Path());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Value, "737280000");
}

TEST(PredefinedSizes, ChoosingARowSetsBytesAndTheSize) {
  test::FakeDialogs dialogs;
  TEnvironmentOptions options;
  TSplitJob job(dialogs, options);
  job.SelectUnit(suMB);
  job.TakePredefinedSize("512");
  EXPECT_EQ(job.Controls().cselunit, suBytes);
  EXPECT_EQ(job.Controls().tsize, "512");
  job.TakePredefinedSize("");  // a row with only a name: the size box reads 0 afterwards
  EXPECT_EQ(job.Controls().tsize, "0");
  EXPECT_TRUE(dialogs.questions.empty());
}

TEST(PredefinedSizes, TheShippedFileIsUsable) {
  const std::vector<TPredefinedSize> rows = ParsePredefinedSizes(
      std::string(reinterpret_cast<const char*>(embedded::shipped_sizes), embedded::shipped_sizes_size));
  ASSERT_GE(rows.size(), 5u);
  for (const TPredefinedSize& row : rows) {
    EXPECT_FALSE(row.Name.empty());
    EXPECT_FALSE(row.Description.empty()) << row.Name;
    EXPECT_TRUE(!row.Value.empty() && row.Value.find_first_not_of("0123456789") == std::string::npos) << row.Name;
  }
}

}  // namespace
}  // namespace kvx
