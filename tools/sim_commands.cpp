#include "tools/sim_commands.h"

#include "tools/sim_text.h"

#include <cstdint>
#include <limits>

namespace meter_sim {
namespace {

using Reply = CommandInterpreter::Reply;

Reply ok() { return {"ok"}; }
Reply error(std::string_view reason) { return {"error: " + std::string(reason)}; }

std::optional<SimValue> numericValue(ValueType type, std::string_view text) {
    const bool isInteger = type == ValueType::Integer;
    const std::int64_t min = isInteger ? std::numeric_limits<std::int32_t>::min() : 0;
    const std::int64_t max =
        isInteger ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::uint32_t>::max();
    const auto number = parseDecimal(text, min, max);
    if (!number)
        return std::nullopt;
    return SimValue{type, *number, {}};
}

// The VALUE part of "set OBJECT TYPE [VALUE]", checked against TYPE.
std::optional<SimValue> parseValue(ValueType type, std::string_view text, std::string& reason) {
    switch (type) {
    case ValueType::Missing:
        if (!text.empty()) {
            reason = "missing takes no value";
            return std::nullopt;
        }
        return SimValue{};
    case ValueType::OctetString: {
        auto bytes = decodeEscapes(text);
        if (!bytes) {
            reason = "bad escape in octet string (use \\xNN or \\\\)";
            return std::nullopt;
        }
        if (bytes->size() > MaxOctetStringLength) {
            reason = "octet string longer than " + std::to_string(MaxOctetStringLength) + " bytes";
            return std::nullopt;
        }
        return SimValue::octets(std::move(*bytes));
    }
    default: {
        auto value = numericValue(type, text);
        if (!value)
            reason = type == ValueType::Integer
                         ? "integer value must be a decimal number from -2147483648 to 2147483647"
                         : "value must be a decimal number from 0 to 4294967295";
        return value;
    }
    }
}

// The one word of an argument list, or empty when there is none or more than one.
std::string_view soleWord(std::string_view args) {
    const std::string_view word = takeWord(args);
    return args.find_first_not_of(' ') == std::string_view::npos ? word : std::string_view{};
}

} // namespace

CommandInterpreter::CommandInterpreter(MeterObjects& objects, AgentControls& controls)
    : objects_(objects), controls_(controls) {}

Reply CommandInterpreter::execute(std::string_view line, Clock::time_point now) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::string_view args = line;
    const std::string_view word = takeWord(args);
    if (word == "set")
        return set(args);
    if (word == "delay")
        return delay(args);
    if (word == "silent")
        return silent(args);
    if (word == "reply-community")
        return replyCommunity(args);

    const bool hasArgs = args.find_first_not_of(' ') != std::string_view::npos;
    if (word == "walk" || word == "count" || word == "quit") {
        if (hasArgs)
            return error(std::string(word) + " takes no argument");
        if (word == "walk") {
            objects_.startWalk(now);
            return ok();
        }
        if (word == "count")
            return {"requests " + std::to_string(controls_.requestCount)};
        return {"ok", true};
    }
    if (word.empty())
        return error("empty command");
    return error("unknown command '" + std::string(word) +
                 "' (set, walk, delay, silent, reply-community, count, quit)");
}

Reply CommandInterpreter::set(std::string_view args) {
    const std::string_view objectName = takeWord(args);
    const std::string_view typeName = takeWord(args);
    if (objectName.empty() || typeName.empty())
        return error("usage: set OBJECT TYPE [VALUE]");
    const auto object = meterObjectNamed(objectName);
    if (!object)
        return error("unknown object '" + std::string(objectName) + "' (level, weighting, name, location)");
    const auto type = valueTypeNamed(typeName);
    if (!type)
        return error("unknown type '" + std::string(typeName) +
                     "' (integer, counter32, gauge32, unsigned32, timeticks, octetstring, missing)");
    std::string reason;
    auto value = parseValue(*type, args, reason);
    if (!value)
        return error(reason);
    objects_.set(*object, std::move(*value));
    return ok();
}

Reply CommandInterpreter::delay(std::string_view args) {
    constexpr std::int64_t MaxDelayMs = 3'600'000;
    const auto ms = parseDecimal(soleWord(args), 0, MaxDelayMs);
    if (!ms)
        return error("usage: delay MS (0 to 3600000)");
    controls_.delay = std::chrono::milliseconds(*ms);
    return ok();
}

Reply CommandInterpreter::silent(std::string_view args) {
    const std::string_view state = soleWord(args);
    if (state != "on" && state != "off")
        return error("usage: silent on|off");
    controls_.silent = state == "on";
    return ok();
}

Reply CommandInterpreter::replyCommunity(std::string_view args) {
    auto community = decodeEscapes(args);
    if (!community)
        return error("bad escape in community (use \\xNN or \\\\)");
    if (community->empty())
        controls_.replyCommunity.reset();
    else
        controls_.replyCommunity = std::move(*community);
    return ok();
}

void LineReader::feed(std::string_view bytes) { buffer_.append(bytes); }

std::optional<LineReader::Line> LineReader::next() {
    const auto newline = buffer_.find('\n');
    if (newline == std::string::npos) {
        if (buffer_.size() > MaxLine) {
            // Keep nothing of a line that is already too long; report it once, at its end.
            buffer_.clear();
            discarding_ = true;
        }
        return std::nullopt;
    }
    std::string text = buffer_.substr(0, newline);
    buffer_.erase(0, newline + 1);
    if (discarding_ || text.size() > MaxLine) {
        discarding_ = false;
        return Line{{}, true};
    }
    return Line{std::move(text), false};
}

} // namespace meter_sim
