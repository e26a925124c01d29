#pragma once
// The exposure of whole lists of minutes, as the record's readers sum them one at a time.

#include "exposure/level_math.h"

#include <optional>
#include <span>

namespace decimon::test {

inline std::optional<Exposure> ExposureOf(std::span<const MinuteRow> rows, double shiftLenHours) {
    ExposureSum sum;
    for (const MinuteRow& row : rows)
        sum.Add(row);
    return sum.Result(shiftLenHours);
}

}  // namespace decimon::test
