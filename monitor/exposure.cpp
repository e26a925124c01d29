#include "monitor/exposure.h"

#include "platform/sys/fixed_text.h"

#include <cmath>
#include <cstring>

double SoundExposure(double level, double seconds) {
    return ReferencePressureSquared * std::pow(10.0, level / 10.0) * seconds;
}

void CountExposure(MonitorState& state, const char* weighting, double level, double seconds) {
    if (std::strcmp(state.ExposureWeighting, weighting) != 0) {
        CopyFixedText(state.ExposureWeighting, weighting);
        state.ExposurePaSquaredSeconds = state.MeasuredSeconds = 0.0;
    }
    state.ExposurePaSquaredSeconds += SoundExposure(level, seconds);
    state.MeasuredSeconds += seconds;
}
