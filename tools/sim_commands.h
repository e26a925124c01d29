#pragma once

#include "tools/sim_objects.h"
#include "tools/sim_raw.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace meter_sim {

// Answers sent as hand-made datagrams: a named fault, or else the given bytes as they stand.
struct RawMode {
    std::optional<RawFault> fault;
    std::string bytes;
};

// How the agent treats requests, as the control channel last set it.
struct AgentControls {
    std::chrono::milliseconds delay{0};
    bool silent = false;
    std::optional<std::string> replyCommunity;  // none: answers carry the request's community
    std::uint64_t requestCount = 0;             // GET requests received, answered or not
    std::optional<RawMode> raw;                 // none: answers the library encodes
};

// Longest octet string value accepted: an answer must still fit in one UDP datagram.
constexpr std::size_t MaxOctetStringLength = 60000;

// Runs one control-channel command line and words its one-line reply.
class CommandInterpreter {
public:
    struct Reply {
        std::string line;  // "ok", "requests N" or "error: <reason>"
        bool quit = false;
    };

    CommandInterpreter(MeterObjects& objects, AgentControls& controls);

    Reply Execute(std::string_view line, Clock::time_point now);

private:
    Reply Set(std::string_view args);
    Reply Delay(std::string_view args);
    Reply Silent(std::string_view args);
    Reply ReplyCommunity(std::string_view args);
    Reply Raw(std::string_view args);

    MeterObjects& objects_;
    AgentControls& controls_;
};

// Cuts the bytes read from the control channel into lines; a line longer than MaxLine is
// dropped whole and reported as one overlong line.
class LineReader {
public:
    static constexpr std::size_t MaxLine = 4 * MaxOctetStringLength + 100;

    struct Line {
        std::string text;
        bool overlong = false;
    };

    void Feed(std::string_view bytes);
    std::optional<Line> Next();

private:
    std::string buffer_;
    bool discarding_ = false;
};

}  // namespace meter_sim
