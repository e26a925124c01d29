#include "tools/sim_options.h"

#include "tools/sim_text.h"

#include <cstdint>
#include <limits>
#include <random>

namespace meter_sim {
namespace {

constexpr std::int64_t Int32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t Int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t UInt32Max = std::numeric_limits<std::uint32_t>::max();

bool IsLoopback(const std::string& address) {
    return address == "127.0.0.1" || address == "::1";
}

// Walks the argument list; every option but the two flags takes the next argument.
class OptionParser {
public:
    explicit OptionParser(const std::vector<std::string>& args) : args_(args) {}

    ParsedOptions Parse() {
        SimOptions options;
        options.initial.name = "Sim meter";
        options.initial.location = "Test bench";
        bool portGiven = false;
        bool walkGiven = false;
        bool seedGiven = false;
        while (error_.empty() && position_ < args_.size()) {
            const std::string option = args_[position_++];
            if (option == "-h" || option == "--help")
                options.help = true;
            else if (option == "--version")
                options.version = true;
            else if (option == "--walk")
                walkGiven = true;
            else if (option == "--address")
                options.address = Text(option);
            else if (option == "--port")
                portGiven = NumberInto(option, 0, 65535, options.port);
            else if (option == "--community")
                options.community = Text(option);
            else if (option == "--level")
                options.initial.fixedLevel = static_cast<std::int32_t>(NumberArgument(option, Int32Min, Int32Max));
            else if (option == "--weighting")
                NumberInto(option, Int32Min, Int32Max, options.initial.weighting);
            else if (option == "--name")
                options.initial.name = Text(option);
            else if (option == "--location")
                options.initial.location = Text(option);
            else if (option == "--seed")
                seedGiven = NumberInto(option, 0, UInt32Max, options.initial.seed);
            else
                error_ = "unknown argument \"" + option + "\"";
        }
        if (error_.empty() && !options.help && !options.version) {
            if (!portGiven)
                error_ = "--port is required (0 lets the kernel choose)";
            else if (!IsLoopback(options.address))
                error_ = "--address must be a loopback address, 127.0.0.1 or ::1; refusing '" + options.address + "'";
            else if (walkGiven && options.initial.fixedLevel)
                error_ = "--level and --walk exclude each other";
        }
        if (!error_.empty())
            return {std::nullopt, error_};
        if (!seedGiven)
            options.initial.seed = std::random_device{}();
        return {options, {}};
    }

private:
    std::string Text(const std::string& option) {
        if (position_ >= args_.size()) {
            error_ = option + " needs a value";
            return {};
        }
        return args_[position_++];
    }

    std::int64_t NumberArgument(const std::string& option, std::int64_t min, std::int64_t max) {
        const std::string value = Text(option);
        if (!error_.empty())
            return 0;
        const auto parsed = ParseDecimal(value, min, max);
        if (!parsed)
            error_ = option + " needs a decimal number from " + std::to_string(min) + " to " + std::to_string(max) +
                     ", not '" + value + "'";
        return parsed.value_or(0);
    }

    template <typename T>
    bool NumberInto(const std::string& option, std::int64_t min, std::int64_t max, T& target) {
        target = static_cast<T>(NumberArgument(option, min, max));
        return error_.empty();
    }

    const std::vector<std::string>& args_;
    std::size_t position_ = 0;
    std::string error_;
};

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& args) {
    return OptionParser(args).Parse();
}

const char* UsageText() {
    return "usage: decimon-meter-sim --port N [options]\n"
           "       decimon-meter-sim -h | --help | --version\n"
           "A small SNMPv1 agent that plays the sound-level meter, for demos and tests.\n"
           "It answers GET requests for the level, weighting, sysName and sysLocation objects\n"
           "and binds to a loopback address only.\n"
           "\n"
           "Options:\n"
           "  --address ADDR    127.0.0.1 (default) or ::1; any other address is refused\n"
           "  --port N          UDP port, required; 0 lets the kernel choose\n"
           "  --community TEXT  community a request must carry to be answered (default mivrol)\n"
           "  --level TENTHS    a fixed level in tenths of a decibel (default: a moving level)\n"
           "  --walk            a level that moves like real sound: a slow bounded random walk\n"
           "                    between 600 and 1050 tenths, one small step every 500 ms\n"
           "                    (the default when --level is not given)\n"
           "  --weighting CODE  weighting code: 1 = dBA, 2 = dBC, 3 = dBz (default 1)\n"
           "  --name TEXT       sysName (default \"Sim meter\")\n"
           "  --location TEXT   sysLocation (default \"Test bench\")\n"
           "  --seed N          seed of the random walk (default: a random seed)\n"
           "  -h, --help        show this text and exit\n"
           "  --version         show the version and exit\n"
           "\n"
           "Once bound it prints one line, \"listening on udp:127.0.0.1:PORT\" (or\n"
           "\"udp6:[::1]:PORT\"), with the actual port.\n"
           "\n"
           "Control commands, one per line on standard input, each answered with one line,\n"
           "\"ok\" or \"error: REASON\":\n"
           "  set OBJECT TYPE [VALUE]  OBJECT: level, weighting, name or location;\n"
           "                    TYPE: integer, counter32, gauge32, unsigned32, timeticks,\n"
           "                    octetstring or missing. Numbers are decimal: integer from\n"
           "                    -2147483648 to 2147483647, the others from 0 to 4294967295.\n"
           "                    An octet string is the rest of the line (absent: empty), where\n"
           "                    \\xNN is any byte and \\\\ a backslash. missing takes no value\n"
           "                    and makes the object answer noSuchName. Setting the level\n"
           "                    stops the walk.\n"
           "  walk              the level moves again\n"
           "  delay MS          answer every request MS milliseconds late (0 = at once)\n"
           "  silent on|off     while on, requests are counted but not answered\n"
           "  reply-community [TEXT]  answers carry TEXT as community (escapes as above);\n"
           "                    without TEXT they carry the request's community again\n"
           "  raw FAULT         answer each request (at once, whatever the delay) with a\n"
           "                    hand-made datagram that has this fault: truncated,\n"
           "                    length-past-end, length-huge (0x84 FF FF FF FF), wrong-request-id,\n"
           "                    wrong-pdu-type, wrong-version, wrong-community, integer-empty,\n"
           "                    integer-9-bytes, empty-string, long-string (about 64 KB),\n"
           "                    no-bindings, five-bindings, long-oid (200 sub-identifiers),\n"
           "                    wrong-name (the binding names the next object),\n"
           "                    counter64, null, no-such-object, end-of-mib-view, duplicated\n"
           "                    (the right answer twice), empty-datagram, random-bytes\n"
           "  raw bytes HEX     answer each request with exactly these bytes (hex digit pairs)\n"
           "  raw off           well-formed answers again\n"
           "  count             answers \"requests N\": GET requests received so far\n"
           "  quit              answers \"ok\" and exits\n"
           "\n"
           "It ends on SIGTERM, SIGINT, quit, or end of input when standard input is a pipe.\n"
           "When standard input is a terminal or a file, end of input only ends the commands.\n";
}

}  // namespace meter_sim
