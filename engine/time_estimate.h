#pragma once
// The progress timer's arithmetic: the time left of a job from the bytes done so far and the
// time since the timer was switched on, and the "hh:mm:ss" form of a span.
#include <cstdint>
#include <string>

namespace kvx {

// total / current * elapsed - elapsed, in seconds; 0 while nothing is done.
double EstimateSecondsLeft(int64_t current, int64_t total, double elapsedSeconds);
// The span's time of day on a 24-hour clock: a day or more shows its remainder past whole days.
std::string FormatSpan(double seconds);

}  // namespace kvx
