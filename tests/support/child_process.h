#pragma once
// A child process of a test (the simulator, snmpd) with its standard input and output, and
// if asked its standard error, on pipes held by the test.

#include "platform/sys/unique_fd.h"

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace decimon::test {

// The destructor closes the child's input, gives it a moment to end, then kills and reaps
// it, so no process outlives the object, also when a test fails or throws.
class ChildProcess {
public:
    enum class Stderr { Inherit, Capture };

    // argv[0] is the program's path; `environment` ("NAME=value" entries) replaces the test's
    // own when given. Throws std::runtime_error if the program cannot be started.
    explicit ChildProcess(const std::vector<std::string>& argv, Stderr stderrMode = Stderr::Inherit,
                          const std::optional<std::vector<std::string>>& environment = std::nullopt);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    // Sends the signal unless the child has been reaped already.
    void Signal(int signal);
    // Writes the line and a newline; false when the child no longer reads its input.
    bool WriteLine(std::string_view line);
    // The next line of standard output without its newline; nullopt on time-out or end of output.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Standard error (Stderr::Capture only) up to its end, or what came before the time-out.
    std::string ReadStderr(std::chrono::milliseconds timeout);
    void CloseStdin();
    // The exit code (128 + the signal's number when a signal ended it) once the child has
    // ended (-1 when it can no longer be waited for); nullopt while it still runs after `timeout`.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);

private:
    // Takes the exit status if the child has ended; true once there is one.
    bool Reaped();

    pid_t pid_ = -1;
    std::optional<int> exitCode_;
    UniqueFd stdin_;
    UniqueFd stdout_;
    UniqueFd stderr_;
    std::string pendingOutput_;
};

}  // namespace decimon::test
