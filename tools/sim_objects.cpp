#include "tools/sim_objects.h"

#include <algorithm>

namespace meter_sim {
namespace {

struct ObjectEntry {
    MeterObject object;
    std::string_view name;
    std::string_view oid;
};

constexpr std::array<ObjectEntry, MeterObjectCount> Objects{{
    {MeterObject::Level, "level", ".1.3.6.1.4.1.32473.1.1.1.6.0"},
    {MeterObject::Weighting, "weighting", ".1.3.6.1.4.1.32473.1.1.2.1.0"},
    {MeterObject::Name, "name", ".1.3.6.1.2.1.1.5.0"},
    {MeterObject::Location, "location", ".1.3.6.1.2.1.1.6.0"},
}};

struct TypeEntry {
    ValueType type;
    std::string_view name;
};

constexpr std::array<TypeEntry, 7> Types{{
    {ValueType::Integer, "integer"},
    {ValueType::Counter32, "counter32"},
    {ValueType::Gauge32, "gauge32"},
    {ValueType::Unsigned32, "unsigned32"},
    {ValueType::TimeTicks, "timeticks"},
    {ValueType::OctetString, "octetstring"},
    {ValueType::Missing, "missing"},
}};

std::optional<MeterObject> FindObject(std::string_view ObjectEntry::*field, std::string_view key) {
    const auto found =
        std::find_if(Objects.begin(), Objects.end(), [&](const ObjectEntry& entry) { return entry.*field == key; });
    if (found == Objects.end())
        return std::nullopt;
    return found->object;
}

std::size_t IndexOf(MeterObject object) {
    return static_cast<std::size_t>(object);
}

}  // namespace

std::optional<ValueType> ValueTypeNamed(std::string_view name) {
    const auto found =
        std::find_if(Types.begin(), Types.end(), [&](const TypeEntry& entry) { return entry.name == name; });
    if (found == Types.end())
        return std::nullopt;
    return found->type;
}

std::optional<MeterObject> MeterObjectNamed(std::string_view name) {
    return FindObject(&ObjectEntry::name, name);
}

std::optional<MeterObject> MeterObjectAt(std::string_view dottedOid) {
    return FindObject(&ObjectEntry::oid, dottedOid);
}

LevelWalk::LevelWalk(std::uint32_t seed, Clock::time_point start)
    : random_(seed), level_(std::uniform_int_distribution<int>(Low, High)(random_)), lastStep_(start) {}

int LevelWalk::LevelAt(Clock::time_point now) {
    std::uniform_int_distribution<int> step(-MaxStep, MaxStep);
    for (; now - lastStep_ >= StepInterval; lastStep_ += StepInterval)
        level_ = std::clamp(level_ + step(random_), Low, High);
    return level_;
}

void LevelWalk::Restart(Clock::time_point now) {
    lastStep_ = now;
}

MeterObjects::MeterObjects(const InitialValues& initial, Clock::time_point now)
    : values_{SimValue::Integer(initial.fixedLevel.value_or(0)), SimValue::Integer(initial.weighting),
              SimValue::Octets(initial.name), SimValue::Octets(initial.location)},
      walking_(!initial.fixedLevel),
      walk_(initial.seed, now) {}

void MeterObjects::Set(MeterObject object, SimValue value) {
    if (object == MeterObject::Level)
        walking_ = false;
    values_[IndexOf(object)] = std::move(value);
}

void MeterObjects::StartWalk(Clock::time_point now) {
    if (!walking_)
        walk_.Restart(now);
    walking_ = true;
}

SimValue MeterObjects::ValueOf(MeterObject object, Clock::time_point now) {
    if (object == MeterObject::Level && walking_)
        return SimValue::Integer(walk_.LevelAt(now));
    return values_[IndexOf(object)];
}

}  // namespace meter_sim
