#pragma once

#include "tests/support/child_process.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace decimon::test {

// The meter simulator (DECIMON_METER_SIM) as a child process on a port the kernel chose,
// driven through its control channel. Each object has its own process and port, so tests
// may run side by side.
class MeterSimProcess {
public:
    static constexpr std::chrono::milliseconds Timeout{5000};  // Scaled() by the sanitizer runs

    // Starts the simulator with "--port 0" and `extraArgs` and waits for its "listening on"
    // line; throws std::runtime_error (failing the test) if it does not come within Timeout.
    explicit MeterSimProcess(const std::vector<std::string>& extraArgs = {});
    // Sends "quit", waits briefly, then kills and reaps the process.
    ~MeterSimProcess();
    MeterSimProcess(const MeterSimProcess&) = delete;
    MeterSimProcess& operator=(const MeterSimProcess&) = delete;

    int Port() const { return port_; }
    // The agent address for an SNMP client: "127.0.0.1:PORT", or "[::1]:PORT" when the
    // simulator was started with "--address ::1".
    std::string Agent() const;
    // The address as the simulator printed it: "udp:127.0.0.1:PORT" or "udp6:[::1]:PORT".
    const std::string& ListenAddress() const { return listenAddress_; }
    pid_t Pid() const { return process_.Pid(); }

    // Sends one command line and returns the reply line ("ok", "requests 3", "error: ...");
    // throws std::runtime_error when no reply comes within Timeout.
    std::string Command(std::string_view line);
    // "set OBJECT TYPE VALUE"; throws std::runtime_error unless the reply is "ok". An octet
    // string value goes as it is: pass it through EscapeOctets() for arbitrary bytes.
    void Set(std::string_view object, std::string_view type, std::string_view value = {});
    // The number of GET requests the simulator has received ("count").
    std::uint64_t Count();

private:
    ChildProcess process_;
    std::string listenAddress_;
    int port_ = 0;
};

// `bytes` written for an octet string value of the control channel: printable ASCII stays,
// every other byte and the backslash become "\xNN".
std::string EscapeOctets(std::string_view bytes);

}  // namespace decimon::test
