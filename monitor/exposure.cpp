#include "monitor/exposure.h"

#include "platform/sys/fixed_text.h"

#include <cmath>
#include <cstring>

double SoundExposure(double level, double seconds) {
    return ReferencePressureSquared * std::pow(10.0, level / 10.0) * seconds;
}

void CountExposure(MonitorState& state, const char* weighting, double level, double seconds) {
    ExposureCounters& counters = state.Exposure;
    if (std::strcmp(counters.Weighting, weighting) != 0) {
        CopyFixedText(counters.Weighting, weighting);
        counters.PaSquaredSeconds = counters.MeasuredSeconds = 0.0;
    }
    counters.PaSquaredSeconds += SoundExposure(level, seconds);
    counters.MeasuredSeconds += seconds;
}
