#include "monitor/exposure.h"

#include "exposure/acoustics.h"
#include "platform/sys/fixed_text.h"

#include <algorithm>
#include <cstring>

namespace {

// The row of `meter` in `weighting`, made when missing; when every row is taken, the oldest of
// another meter gives way (the rows stay in the order they were made).
ExposureCounter& RowFor(ExposureCounters& counters, const char* meter, const char* weighting) {
    ExposureCounter* const rows = counters.Rows;
    ExposureCounter* const end = rows + counters.Count;
    const auto found = std::find_if(rows, end, [&](const ExposureCounter& row) {
        return std::strcmp(row.Meter, meter) == 0 && std::strcmp(row.Weighting, weighting) == 0;
    });
    if (found != end)
        return *found;
    if (counters.Count == ExposureCounters::Capacity) {
        const auto other =
            std::find_if(rows, end, [&](const ExposureCounter& row) { return std::strcmp(row.Meter, meter) != 0; });
        std::move(other + 1, end, other);  // one meter has at most three rows: there is always another
        --counters.Count;
    }
    ExposureCounter& row = rows[counters.Count++];
    row = ExposureCounter{};
    CopyFixedText(row.Meter, meter);
    CopyFixedText(row.Weighting, weighting);
    return row;
}

}  // namespace

void CountExposure(MonitorState& state, const char* weighting, double level, double seconds) {
    ExposureCounter& row = RowFor(state.Exposure, state.CountedHost, weighting);
    row.PaSquaredSeconds += SoundExposure(level, seconds);
    row.MeasuredSeconds += seconds;
}
