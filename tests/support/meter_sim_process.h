#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace decimon::test {

// Closes the file descriptor it owns.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;

    int get() const { return fd_; }
    int release() noexcept;
    void reset() noexcept;

private:
    int fd_ = -1;
};

// A child process whose standard input and output (and, if asked, standard error) are pipes
// held by the test. The destructor closes its input, gives it a moment to end, then kills and
// reaps it, so no process outlives the object, also when a test fails or throws.
class ChildProcess {
public:
    enum class Stderr { Inherit, Capture };

    // argv[0] is the program's path. Throws std::runtime_error if it cannot be started.
    explicit ChildProcess(const std::vector<std::string>& argv, Stderr stderrMode = Stderr::Inherit);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Writes the line and a newline; false when the child no longer reads its input.
    bool writeLine(std::string_view line);
    // The next line of standard output without its newline; nullopt on time-out or end of output.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Standard error (Stderr::Capture only) up to its end, or what came before the time-out.
    std::string readStderr(std::chrono::milliseconds timeout);
    void closeStdin();
    // The exit code (128 + the signal's number when a signal ended it) once the child has
    // ended (-1 when it can no longer be waited for); nullopt while it still runs after `timeout`.
    std::optional<int> waitExit(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
    UniqueFd stdin_;
    UniqueFd stdout_;
    UniqueFd stderr_;
    std::string pendingOutput_;
};

// The meter simulator (DECIMON_METER_SIM) as a child process on a port the kernel chose,
// driven through its control channel. Each object has its own process and port, so tests
// may run side by side.
class MeterSimProcess {
public:
    static constexpr std::chrono::milliseconds Timeout{5000};

    // Starts the simulator with "--port 0" and `extraArgs` and waits for its "listening on"
    // line; throws std::runtime_error (failing the test) if it does not come within Timeout.
    explicit MeterSimProcess(const std::vector<std::string>& extraArgs = {});
    // Sends "quit", waits briefly, then kills and reaps the process.
    ~MeterSimProcess();
    MeterSimProcess(const MeterSimProcess&) = delete;
    MeterSimProcess& operator=(const MeterSimProcess&) = delete;

    int port() const { return port_; }
    // The agent address for an SNMP client: "127.0.0.1:PORT", or "[::1]:PORT" when the
    // simulator was started with "--address ::1".
    std::string agent() const;
    // The address as the simulator printed it: "udp:127.0.0.1:PORT" or "udp6:[::1]:PORT".
    const std::string& listenAddress() const { return listenAddress_; }
    pid_t pid() const { return process_.pid(); }

    // Sends one command line and returns the reply line ("ok", "requests 3", "error: ...");
    // throws std::runtime_error when no reply comes within Timeout.
    std::string command(std::string_view line);
    // "set OBJECT TYPE VALUE"; throws std::runtime_error unless the reply is "ok". An octet
    // string value goes as it is: pass it through escapeOctets() for arbitrary bytes.
    void set(std::string_view object, std::string_view type, std::string_view value = {});
    // The number of GET requests the simulator has received ("count").
    std::uint64_t count();

private:
    ChildProcess process_;
    std::string listenAddress_;
    int port_ = 0;
};

// `bytes` written for an octet string value of the control channel: printable ASCII stays,
// every other byte and the backslash become "\xNN".
std::string escapeOctets(std::string_view bytes);

} // namespace decimon::test
