#include "tests/support/meter_sim_process.h"

#include "tests/support/wait_until.h"

#include <cstdio>
#include <stdexcept>

namespace decimon::test {
namespace {

std::vector<std::string> SimArgv(const std::vector<std::string>& extraArgs) {
    std::vector<std::string> argv{DECIMON_METER_SIM, "--port", "0"};
    argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
    return argv;
}

}  // namespace

MeterSimProcess::MeterSimProcess(const std::vector<std::string>& extraArgs) : process_(SimArgv(extraArgs)) {
    static constexpr std::string_view Prefix = "listening on ";
    const auto line = process_.ReadLine(Scaled(Timeout));
    if (!line || !line->starts_with(Prefix))
        throw std::runtime_error("decimon-meter-sim did not report its address" + (line ? ": " + *line : ""));
    listenAddress_ = line->substr(Prefix.size());
    port_ = std::stoi(listenAddress_.substr(listenAddress_.rfind(':') + 1));
}

// The quit lets it end at once; ChildProcess's destructor waits for that and kills if need be.
MeterSimProcess::~MeterSimProcess() {
    process_.WriteLine("quit");
}

std::string MeterSimProcess::Agent() const {
    // "udp:127.0.0.1:PORT" -> "127.0.0.1:PORT", "udp6:[::1]:PORT" -> "[::1]:PORT"
    return listenAddress_.substr(listenAddress_.find(':') + 1);
}

std::string MeterSimProcess::Command(std::string_view line) {
    if (line.find('\n') != std::string_view::npos)
        throw std::invalid_argument("one command at a time: the line holds a newline");
    if (!process_.WriteLine(line))
        throw std::runtime_error("decimon-meter-sim no longer reads commands");
    auto reply = process_.ReadLine(Scaled(Timeout));
    if (!reply)
        throw std::runtime_error("no reply from decimon-meter-sim to '" + std::string(line) + "'");
    return *reply;
}

void MeterSimProcess::Set(std::string_view object, std::string_view type, std::string_view value) {
    std::string line = "set " + std::string(object) + " " + std::string(type);
    if (!value.empty())
        line += " " + std::string(value);
    const std::string reply = Command(line);
    if (reply != "ok")
        throw std::runtime_error("'" + line + "' answered '" + reply + "'");
}

std::uint64_t MeterSimProcess::Count() {
    static constexpr std::string_view Prefix = "requests ";
    const std::string reply = Command("count");
    if (!reply.starts_with(Prefix))
        throw std::runtime_error("'count' answered '" + reply + "'");
    return std::stoull(reply.substr(Prefix.size()));
}

std::string EscapeOctets(std::string_view bytes) {
    std::string text;
    for (const unsigned char byte : bytes) {
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

}  // namespace decimon::test
