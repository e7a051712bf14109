#include <gtest/gtest.h>

#include "common/dos_date.h"

namespace kvx {
namespace {

TEST(DosDateTime, PacksAndUnpacks) {
  DateTimeParts p;
  p.year = 2024;
  p.month = 2;
  p.day = 29;
  p.hour = 13;
  p.minute = 45;
  p.second = 31;  // two-second steps
  const int32_t packed = EncodeDosDateTime(p);
  EXPECT_EQ(static_cast<uint32_t>(packed), ((44u << 9 | 2u << 5 | 29u) << 16) | (13u << 11 | 45u << 5 | 15u));
  DateTimeParts back;
  ASSERT_TRUE(DecodeDosDateTime(packed, back));
  EXPECT_EQ(back.year, 2024);
  EXPECT_EQ(back.day, 29);
  EXPECT_EQ(back.second, 30);
}

TEST(DosDateTime, OutOfRangeAndInvalid) {
  DateTimeParts p;
  p.year = 1979;
  EXPECT_EQ(EncodeDosDateTime(p), -1);
  DateTimeParts out;
  EXPECT_FALSE(DecodeDosDateTime(-1, out));  // month 15: what an unreadable date is stored as
  EXPECT_FALSE(DecodeDosDateTime(0, out));   // month 0
}

TEST(DateTime, DaysSince1899) {
  const struct {
    int year, month, day, hour, minute;
    double value;
  } kCases[] = {
      {1899, 12, 30, 0, 0, 0.0},
      {1900, 1, 1, 0, 0, 2.0},
      {2000, 1, 1, 12, 0, 36526.5},
      {1899, 12, 29, 6, 0, -1.25},
  };
  for (const auto& c : kCases) {
    DateTimeParts p;
    p.year = c.year;
    p.month = c.month;
    p.day = c.day;
    p.hour = c.hour;
    p.minute = c.minute;
    double value = 0;
    ASSERT_TRUE(EncodeDateTime(p, value));
    EXPECT_DOUBLE_EQ(value, c.value);
    const DateTimeParts back = DecodeDateTime(value);
    EXPECT_EQ(back.year, c.year);
    EXPECT_EQ(back.month, c.month);
    EXPECT_EQ(back.day, c.day);
    EXPECT_EQ(back.hour, c.hour);
  }
}

}  // namespace
}  // namespace kvx
