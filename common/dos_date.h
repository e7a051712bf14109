#pragma once
// MS-DOS packed dates (date in the high 16 bits, time in the low 16 bits, two-second steps)
// and day-count date-times (whole days since 30 December 1899, time of day as fraction).
#include <cstdint>

namespace kvx {

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// -1 when the date cannot be packed (before 1980 or after 2107).
int32_t EncodeDosDateTime(const DateTimeParts& parts);
// False when the packed value is not a valid date and time.
bool DecodeDosDateTime(int32_t packed, DateTimeParts& parts);

// False when the parts are not a valid date and time.
bool EncodeDateTime(const DateTimeParts& parts, double& dateTime);
DateTimeParts DecodeDateTime(double dateTime);

}  // namespace kvx
