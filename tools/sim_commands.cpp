#include "tools/sim_commands.h"

#include "tools/sim_text.h"

#include <cstdint>
#include <limits>

namespace meter_sim {
namespace {

using Reply = CommandInterpreter::Reply;

Reply Ok() {
    return {"ok"};
}
Reply Error(std::string_view reason) {
    return {"error: " + std::string(reason)};
}

std::optional<SimValue> NumericValue(ValueType type, std::string_view text) {
    const bool isInteger = type == ValueType::Integer;
    const std::int64_t min = isInteger ? std::numeric_limits<std::int32_t>::min() : 0;
    const std::int64_t max =
        isInteger ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::uint32_t>::max();
    const auto number = ParseDecimal(text, min, max);
    if (!number)
        return std::nullopt;
    return SimValue{type, *number, {}};
}

// The VALUE part of "set OBJECT TYPE [VALUE]", checked against TYPE.
std::optional<SimValue> ParseValue(ValueType type, std::string_view text, std::string& reason) {
    switch (type) {
    case ValueType::Missing:
        if (!text.empty()) {
            reason = "missing takes no value";
            return std::nullopt;
        }
        return SimValue{};
    case ValueType::OctetString: {
        auto bytes = DecodeEscapes(text);
        if (!bytes) {
            reason = "bad escape in octet string (use \\xNN or \\\\)";
            return std::nullopt;
        }
        if (bytes->size() > MaxOctetStringLength) {
            reason = "octet string longer than " + std::to_string(MaxOctetStringLength) + " bytes";
            return std::nullopt;
        }
        return SimValue::Octets(std::move(*bytes));
    }
    default: {
        auto value = NumericValue(type, text);
        if (!value)
            reason = type == ValueType::Integer
                         ? "integer value must be a decimal number from -2147483648 to 2147483647"
                         : "value must be a decimal number from 0 to 4294967295";
        return value;
    }
    }
}

// The one word of an argument list, or empty when there is none or more than one.
std::string_view SoleWord(std::string_view args) {
    const std::string_view word = TakeWord(args);
    return args.find_first_not_of(' ') == std::string_view::npos ? word : std::string_view{};
}

}  // namespace

CommandInterpreter::CommandInterpreter(MeterObjects& objects, AgentControls& controls)
    : objects_(objects), controls_(controls) {}

Reply CommandInterpreter::Execute(std::string_view line, Clock::time_point now) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::string_view args = line;
    const std::string_view word = TakeWord(args);
    if (word == "set")
        return Set(args);
    if (word == "delay")
        return Delay(args);
    if (word == "silent")
        return Silent(args);
    if (word == "reply-community")
        return ReplyCommunity(args);
    if (word == "raw")
        return Raw(args);

    const bool hasArgs = args.find_first_not_of(' ') != std::string_view::npos;
    if (word == "walk" || word == "count" || word == "quit") {
        if (hasArgs)
            return Error(std::string(word) + " takes no argument");
        if (word == "walk") {
            objects_.StartWalk(now);
            return Ok();
        }
        if (word == "count")
            return {"requests " + std::to_string(controls_.requestCount)};
        return {"ok", true};
    }
    if (word.empty())
        return Error("empty command");
    return Error("unknown command '" + std::string(word) +
                 "' (set, walk, delay, silent, reply-community, raw, count, quit)");
}

Reply CommandInterpreter::Set(std::string_view args) {
    const std::string_view objectName = TakeWord(args);
    const std::string_view typeName = TakeWord(args);
    if (objectName.empty() || typeName.empty())
        return Error("usage: set OBJECT TYPE [VALUE]");
    const auto object = MeterObjectNamed(objectName);
    if (!object)
        return Error("unknown object '" + std::string(objectName) + "' (level, weighting, name, location)");
    const auto type = ValueTypeNamed(typeName);
    if (!type)
        return Error("unknown type '" + std::string(typeName) +
                     "' (integer, counter32, gauge32, unsigned32, timeticks, octetstring, missing)");
    std::string reason;
    auto value = ParseValue(*type, args, reason);
    if (!value)
        return Error(reason);
    objects_.Set(*object, std::move(*value));
    return Ok();
}

Reply CommandInterpreter::Delay(std::string_view args) {
    constexpr std::int64_t MaxDelayMs = 3'600'000;
    const auto ms = ParseDecimal(SoleWord(args), 0, MaxDelayMs);
    if (!ms)
        return Error("usage: delay MS (0 to 3600000)");
    controls_.delay = std::chrono::milliseconds(*ms);
    return Ok();
}

Reply CommandInterpreter::Silent(std::string_view args) {
    const std::string_view state = SoleWord(args);
    if (state != "on" && state != "off")
        return Error("usage: silent on|off");
    controls_.silent = state == "on";
    return Ok();
}

Reply CommandInterpreter::ReplyCommunity(std::string_view args) {
    auto community = DecodeEscapes(args);
    if (!community)
        return Error("bad escape in community (use \\xNN or \\\\)");
    if (community->empty())
        controls_.replyCommunity.reset();
    else
        controls_.replyCommunity = std::move(*community);
    return Ok();
}

Reply CommandInterpreter::Raw(std::string_view args) {
    std::string_view rest = args;
    const std::string_view word = TakeWord(rest);
    if (word == "bytes") {
        auto bytes = DecodeHex(rest);
        if (!bytes || bytes->size() > MaxOctetStringLength)
            return Error("usage: raw bytes HEX (pairs of hex digits, spaces allowed, at most 60000 bytes)");
        controls_.raw = RawMode{std::nullopt, std::move(*bytes)};
        return Ok();
    }
    const std::string_view name = SoleWord(args);
    if (name == "off") {
        controls_.raw.reset();
        return Ok();
    }
    if (const auto fault = RawFaultNamed(name)) {
        controls_.raw = RawMode{fault, {}};
        return Ok();
    }
    std::string names;
    for (const auto& entry : RawFaultNames)
        names += std::string(names.empty() ? "" : ", ") + entry.name;
    return Error("usage: raw off|bytes HEX|FAULT, FAULT one of " + names);
}

void LineReader::Feed(std::string_view bytes) {
    buffer_.append(bytes);
}

std::optional<LineReader::Line> LineReader::Next() {
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

}  // namespace meter_sim
