#include <gtest/gtest.h>

#include "common/text.h"

namespace kvx {
namespace {

TEST(SplitText, EveryFieldEmptyOnesIncluded) {
  EXPECT_EQ(SplitText("a,,b", ','), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitText("", ','), std::vector<std::string>{""});
  EXPECT_EQ(SplitText("x\\", '\\'), (std::vector<std::string>{"x", ""}));
}

TEST(GetField, PicksTheFieldOrNothing) {
  EXPECT_EQ(GetField("3|1|Piece 3|Done", 2, '|'), "1");
  EXPECT_EQ(GetField("3|1|Piece 3|Done", 4, '|'), "Done");
  EXPECT_EQ(GetField("3|1|Piece 3|Done", 5, '|'), "");
  EXPECT_EQ(GetField("abc", 1, '|'), "abc");
  EXPECT_EQ(GetField("abc", 0, '|'), "abc");
  EXPECT_EQ(GetField("a||c", 2, '|'), "");
}

TEST(SizeToText, UnitsAndRounding) {
  const struct {
    int64_t size;
    const char* text;
  } kCases[] = {
      {0, "  0  b"},
      {1000, "1000  b"},
      {1024, "1.0  kb"},
      {1500, "1.5  kb"},
      {1000000, "976.6  kb"},
      {1048576, "1024.0  kb"},  // exactly 1024 after one step: stops there
      {1048577, "1.0  Mb"},
      {5368709120LL, "5.0  Gb"},
      {5497558138880LL, "5120.0  Gb"},  // three steps at most
  };
  for (const auto& c : kCases) EXPECT_EQ(SizeToText(3, c.size), c.text) << c.size;
}

TEST(PadPieceNumber, ThreeDigitsAtLeast) {
  EXPECT_EQ(PadPieceNumber(7), "007");
  EXPECT_EQ(PadPieceNumber(42), "042");
  EXPECT_EQ(PadPieceNumber(999), "999");
  EXPECT_EQ(PadPieceNumber(1234), "1234");
}

TEST(ReplaceAll, IgnoresCaseAndDoesNotRescanInsertedText) {
  std::string text = "disk{NUM}.{num}";
  ReplaceAll(text, "{num}", "7");
  EXPECT_EQ(text, "disk7.7");

  std::string nested = "{num}";
  ReplaceAll(nested, "{num}", "{num}{num}");
  EXPECT_EQ(nested, "{num}{num}");

  std::string exact = "{ofw}{OFW}";
  ReplaceAllExact(exact, "{ofw}", "x");
  EXPECT_EQ(exact, "x{OFW}");
}

TEST(ParseInt64, WholeNumbersOnly) {
  EXPECT_EQ(ParseInt64("0"), 0);
  EXPECT_EQ(ParseInt64("-42"), -42);
  EXPECT_EQ(ParseInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseInt64("-9223372036854775808"), INT64_MIN);
  for (const char* bad : {"", "-", "1.5", " 1", "1 ", "9223372036854775808", "abc", "0x10"})
    EXPECT_FALSE(ParseInt64(bad).has_value()) << bad;
}

}  // namespace
}  // namespace kvx
