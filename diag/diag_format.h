#pragma once
// The texts of the diagnostics dialog: counters with thousands separators and time spans
// in days, hours, minutes and seconds.

#include "platform/sys/ole_date_time.h"

#include <cstdint>
#include <string>

// "%d" grouped by commas: 1234567 -> "1,234,567", -1234 -> "-1,234". Only the leading
// group carries the sign; the smallest int32 is "-2,147,483,648".
std::string FormatThousands(std::int32_t value);

// "%dd %dh %dm %ds", rounded to the nearest second (half a second away from zero), every
// field truncated toward zero with the sign of the span: -90 s -> "0d 0h -1m -30s". The
// span's status is not looked at. A span whose day count does not fit an int32 shows as
// that many whole days at the int32 limit, with its sign; not-a-number shows as zero.
std::string FormatSpan(const COleDateTimeSpan& span);
