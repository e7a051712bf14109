#include "common/dos_date.h"

#include <cmath>

namespace kvx {

namespace {
bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

bool ValidParts(const DateTimeParts& p) {
  return p.year >= 1 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
         p.day <= DaysInMonth(p.year, p.month) && p.hour >= 0 && p.hour < 24 && p.minute >= 0 &&
         p.minute < 60 && p.second >= 0 && p.second < 60 && p.millisecond >= 0 &&
         p.millisecond < 1000;
}

// Days from 0001-01-01 to the date (proleptic Gregorian).
int64_t DayNumber(int y, int m, int d) {
  int64_t days = 0;
  const int64_t py = y - 1;
  days = py * 365 + py / 4 - py / 100 + py / 400;
  for (int i = 1; i < m; ++i) days += DaysInMonth(y, i);
  return days + d - 1;
}

const int64_t kDay1899 = DayNumber(1899, 12, 30);
}  // namespace

int32_t EncodeDosDateTime(const DateTimeParts& p) {
  if (!ValidParts(p) || p.year < 1980 || p.year > 2107) return -1;
  const uint32_t date = static_cast<uint32_t>(((p.year - 1980) << 9) | (p.month << 5) | p.day);
  const uint32_t time = static_cast<uint32_t>((p.hour << 11) | (p.minute << 5) | (p.second / 2));
  return static_cast<int32_t>((date << 16) | time);
}

bool DecodeDosDateTime(int32_t packed, DateTimeParts& p) {
  const auto value = static_cast<uint32_t>(packed);
  const uint32_t date = value >> 16;
  const uint32_t time = value & 0xFFFF;
  DateTimeParts parts;
  parts.year = static_cast<int>((date >> 9) + 1980);
  parts.month = static_cast<int>((date >> 5) & 15);
  parts.day = static_cast<int>(date & 31);
  parts.hour = static_cast<int>(time >> 11);
  parts.minute = static_cast<int>((time >> 5) & 63);
  parts.second = static_cast<int>((time & 31) * 2);
  if (!ValidParts(parts)) return false;
  p = parts;
  return true;
}

bool EncodeDateTime(const DateTimeParts& p, double& dateTime) {
  if (!ValidParts(p)) return false;
  const double days = static_cast<double>(DayNumber(p.year, p.month, p.day) - kDay1899);
  const double time = (p.hour * 3600000.0 + p.minute * 60000.0 + p.second * 1000.0 + p.millisecond) / 86400000.0;
  // Before 1899-12-30 the time of day counts away from zero, as the format has it.
  dateTime = days < 0 ? days - time : days + time;
  return true;
}

DateTimeParts DecodeDateTime(double dateTime) {
  double whole = std::trunc(dateTime);
  int64_t ms = std::llround(std::fabs(dateTime - whole) * 86400000.0);
  if (ms >= 86400000) {
    ms -= 86400000;
    whole += dateTime < 0 ? -1 : 1;
  }
  int64_t day = static_cast<int64_t>(whole) + kDay1899;
  DateTimeParts p;
  // Year from the day number, then month and day.
  int y = static_cast<int>(day / 366) + 1;
  while (DayNumber(y + 1, 1, 1) <= day) ++y;
  p.year = y;
  day -= DayNumber(y, 1, 1);
  p.month = 1;
  while (day >= DaysInMonth(y, p.month)) day -= DaysInMonth(y, p.month++);
  p.day = static_cast<int>(day) + 1;
  p.hour = static_cast<int>(ms / 3600000);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.millisecond = static_cast<int>(ms % 1000);
  return p;
}

}  // namespace kvx
