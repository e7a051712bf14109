#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sfu/shared/sfu_language.h"
#include "support/temp_dir.h"

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

namespace kvx {
namespace {

TEST(SfuDefaultLanguage, FileHasItsHeaderAndACommentBeforeEachText) {
  const std::string file = DefaultLanguageFile();
  ASSERT_FALSE(file.empty());
  EXPECT_NE(file.back(), '\n');
  const Lines lines = SplitAnsiLines(file);
  ASSERT_EQ(lines.size(), 5 + 2 * kSfuLanguageTexts);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5),
            (Lines{"# Karvex 2.0 Language File", "# U.S. English",
                   "# Please only translate the lines which do not begin with a #",
                   "# No blank line should be left.", "#"}));
  for (size_t i = 5; i < lines.size(); i += 2) EXPECT_EQ(lines[i], "#" + lines[i + 1]) << i;
  EXPECT_EQ(file.find('\n') - 1, file.find('\r'));  // CR LF line ends
}

TEST(SfuDefaultLanguage, ResourceFromTheDefaultFileHasTheSixtyFiveTexts) {
  std::string warning;
  const std::string lng = LanguageResource(LoadLanguageLines("", warning));
  TSfuLanguage table;
  table.Load(lng.data(), lng.size());
  EXPECT_EQ(table.Count(), kSfuLanguageTexts);
  size_t crLf = 0;
  for (size_t at = lng.find("\r\n"); at != std::string::npos; at = lng.find("\r\n", at + 2)) ++crLf;
  EXPECT_EQ(crLf, kSfuLanguageTexts);
  const struct {
    size_t index;
    std::string text;
  } samples[] = {
      {1, "Select First Piece"},
      {2, "This Self-Uniting program was not designed to work with the set this first piece file belongs "
          "to. Please use Joinex instead available at https://karvex.example.org."},
      {3, "All files (*.*)|*.*"},
      {11, "%s.\r\n\r\nThis file already exists.\r\n\r\nDo you want to overwrite it?"},
      {37, " ERROR: source file offset is different (%u instead of %u)"},
      {42, " ERROR: the piece file was not completely copied."},
      {45, " ERROR: the restored file's contents differs from the original one; the piece might be "
           "corrupted."},
      {64, "Unite Aborted"},
  };
  for (const auto& s : samples) EXPECT_EQ(table.Text(s.index), s.text) << s.index;
}

TEST(SfuDefaultLanguage, MissingFileFallsBackWithAWarning) {
  std::string warning;
  const Lines lines = LoadLanguageLines("no such folder/French.kxl", warning);
  EXPECT_EQ(warning,
            "Warning: the language file \"no such folder/French.kxl\" was not found. The default one has "
            "been used.");
  EXPECT_EQ(lines.size(), kSfuLanguageTexts);
}

TEST(SfuDefaultLanguage, ExistingFileIsReadWithoutWarning) {
  test::TempDir dir;
  const std::string path = dir / "Mine.kxl";
  const std::string text = "# mine\nun\n\n#x\ntrois";
  test::WriteAll(path, std::vector<uint8_t>(text.begin(), text.end()));
  std::string warning = "stale";
  EXPECT_EQ(LoadLanguageLines(path, warning), (Lines{"un", "", "trois"}));
  EXPECT_EQ(warning, "");
}

}  // namespace
}  // namespace kvx
