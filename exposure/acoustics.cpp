#include "exposure/acoustics.h"

#include <cmath>

double LevelEnergy(double level) {
    return std::pow(10.0, level / 10.0);
}

double EnergyLevel(double energy) {
    return 10.0 * std::log10(energy);
}

double SoundExposure(double level, double seconds) {
    return ReferencePressureSquared * LevelEnergy(level) * seconds;
}
