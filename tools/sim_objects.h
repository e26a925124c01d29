#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace meter_sim {

using Clock = std::chrono::steady_clock;

// The SMI types the simulator can answer with, plus "missing": the object does not exist.
enum class ValueType { Integer, Counter32, Gauge32, Unsigned32, TimeTicks, OctetString, Missing };

struct SimValue {
    ValueType type = ValueType::Missing;
    std::int64_t number = 0;  // the numeric types
    std::string bytes;        // OctetString, any bytes including NUL

    static SimValue Integer(std::int64_t value) { return {ValueType::Integer, value, {}}; }
    static SimValue Octets(std::string value) { return {ValueType::OctetString, 0, std::move(value)}; }
};

std::optional<ValueType> ValueTypeNamed(std::string_view name);

// The four objects the meter answers; their order is their index in MeterObjects.
enum class MeterObject { Level, Weighting, Name, Location };
constexpr std::size_t MeterObjectCount = 4;

std::optional<MeterObject> MeterObjectNamed(std::string_view name);
std::optional<MeterObject> MeterObjectAt(std::string_view dottedOid);

// A level that moves like real sound: a slow bounded random walk, one small step per
// StepInterval, worked out lazily from the time asked for.
class LevelWalk {
public:
    static constexpr int Low = 600;
    static constexpr int High = 1050;
    static constexpr int MaxStep = 5;
    static constexpr std::chrono::milliseconds StepInterval{500};

    LevelWalk(std::uint32_t seed, Clock::time_point start);

    int LevelAt(Clock::time_point now);
    // Continues from the last level; the time it stood still does not count.
    void Restart(Clock::time_point now);

private:
    std::mt19937 random_;
    int level_;
    Clock::time_point lastStep_;
};

struct InitialValues {
    std::optional<std::int32_t> fixedLevel;  // none: the level walks
    std::int32_t weighting = 1;
    std::string name;
    std::string location;
    std::uint32_t seed = 0;
};

// What the meter currently answers for each of its objects.
class MeterObjects {
public:
    MeterObjects(const InitialValues& initial, Clock::time_point now);

    // Setting the level fixes it: the walk stops until StartWalk().
    void Set(MeterObject object, SimValue value);
    void StartWalk(Clock::time_point now);
    SimValue ValueOf(MeterObject object, Clock::time_point now);

private:
    std::array<SimValue, MeterObjectCount> values_;
    bool walking_;
    LevelWalk walk_;
};

}  // namespace meter_sim
