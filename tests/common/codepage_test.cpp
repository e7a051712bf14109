#include <gtest/gtest.h>

#include "common/codepage.h"

namespace kvx {
namespace {

TEST(Codepage, Windows1252RoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(AnsiToUtf8("\x80\x9F\xE9"), "\xE2\x82\xAC\xC5\xB8\xC3\xA9");
}

TEST(Codepage, CharactersOutsideBecomeUnderscores) {
  EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD\xF0\x9F\x98\x80x"), "__x");  // CJK, emoji
  EXPECT_EQ(Utf8ToAnsi("\xFF\xC3"), "__");                          // broken UTF-8
}

TEST(Codepage, AppendUtf8EncodesEveryLength) {
  std::string out;
  for (uint32_t cp : {0x41u, 0xE9u, 0x20ACu, 0x1F600u}) AppendUtf8(out, cp);
  EXPECT_EQ(out, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace kvx
