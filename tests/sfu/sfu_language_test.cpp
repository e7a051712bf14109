#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sfu/shared/sfu_language.h"

namespace kvx {
namespace {

using Lines = std::vector<std::string>;

TEST(SfuLanguage, LinesEndAtCrLfOrCrLf) {
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\nc", {"a", "b", "c"}},
      {"a\nb\nc\n", {"a", "b", "c"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"caf\xE9", {"caf\xC3\xA9"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitAnsiLines(c.text), c.lines) << c.text;
}

TEST(SfuLanguage, CommentLinesGoAndEverythingElseIsAText) {
  Lines lines = SplitAnsiLines("# header\r\n#\r\nzero\r\n\r\n#comment\r\n #kept\r\n#dropped translation");
  RemoveCommentLines(lines);
  EXPECT_EQ(lines, (Lines{"zero", "", " #kept"}));
}

TEST(SfuLanguage, ResourceIsEachLineWithCrLfInWindows1252) {
  EXPECT_EQ(LanguageResource({"a", "", "caf\xC3\xA9"}), "a\r\n\r\ncaf\xE9\r\n");
  EXPECT_EQ(LanguageResource({}), "");
}

TEST(SfuLanguage, LfOnlyFileIsStoredWithCrLf) {
  Lines lines = SplitAnsiLines("#c\none\n\ntwo");
  RemoveCommentLines(lines);
  EXPECT_EQ(LanguageResource(lines), "one\r\n\r\ntwo\r\n");
}

TEST(SfuLanguage, RuntimeTableSplitsAtCrAndSkipsTheFollowingLf) {
  const std::string lng = "zero\r\none/$two\r\n\r\nthree\rfour\nstill four";
  TSfuLanguage table;
  table.Load(lng.data(), lng.size());
  ASSERT_EQ(table.Count(), 5u);
  EXPECT_EQ(table.Text(0), "zero");
  EXPECT_EQ(table.Text(1), "one\r\ntwo");
  EXPECT_EQ(table.Text(2), "");
  EXPECT_EQ(table.Text(3), "three");
  EXPECT_EQ(table.Text(4), "four\nstill four");
  EXPECT_EQ(table.Text(5), "");
  EXPECT_EQ(table.Text(1000), "");
}

TEST(SfuLanguage, MissingOrEmptyResourceGivesEmptyTexts) {
  TSfuLanguage table;
  table.Load(nullptr, 0);
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_EQ(table.Text(0), "");
}

TEST(SfuLanguage, EmptyThirdLineShiftsTheLaterTexts) {
  Lines lines = SplitAnsiLines("#h\r\nzero\r\none\r\n\r\nmeant as two");
  RemoveCommentLines(lines);
  TSfuLanguage table;
  const std::string lng = LanguageResource(lines);
  table.Load(lng.data(), lng.size());
  EXPECT_EQ(table.Text(2), "");
  EXPECT_EQ(table.Text(3), "meant as two");
}

TEST(SfuLanguage, RoundTripKeepsWindows1252Texts) {
  const std::string lng = LanguageResource({"\xE2\x82\xAC 5/$caf\xC3\xA9"});
  TSfuLanguage table;
  table.Load(lng.data(), lng.size());
  EXPECT_EQ(table.Text(0), "\xE2\x82\xAC 5\r\ncaf\xC3\xA9");
}

}  // namespace
}  // namespace kvx
