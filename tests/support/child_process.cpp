#include "tests/support/child_process.h"

#include "tests/support/wait_until.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <utility>

extern char** environ;

namespace decimon::test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long a child may take to end by itself before it is killed.
constexpr milliseconds ExitGrace{2000};

struct Pipe {
    UniqueFd read;
    UniqueFd write;
};

// Close-on-exec, so that children started at the same time by other tests do not inherit
// our ends and hold a pipe open.
Pipe MakePipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

bool WaitReadable(int fd, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now());
        pollfd watched{fd, POLLIN, 0};
        const int ready = poll(&watched, 1, static_cast<int>(std::max<milliseconds::rep>(left.count(), 0)));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

// Appends what the descriptor has; false at its end or on an error.
bool ReadSome(int fd, std::string& into) {
    char buffer[4096];
    ssize_t count;
    do
        count = read(fd, buffer, sizeof buffer);
    while (count < 0 && errno == EINTR);
    if (count <= 0)
        return false;
    into.append(buffer, static_cast<std::size_t>(count));
    return true;
}

int ExitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A child that has died must show up as a failed write, not end the test program.
void IgnoreSigpipe() {
    static const bool ignored = [] { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }();
    (void)ignored;
}

// A null-terminated array of the strings' texts, as exec wants argv and envp.
std::vector<char*> PointersTo(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (const auto& text : strings)
        pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// The child starts with no blocked signals and SIGPIPE at its default, whatever the test
// program changed for itself.
class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigmask(&attributes_, &none);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup() {
        posix_spawnattr_destroy(&attributes_);
        posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    void Redirect(const UniqueFd& from, int to) { posix_spawn_file_actions_adddup2(&actions_, from.Get(), to); }

    pid_t Spawn(const std::vector<std::string>& argv, const std::optional<std::vector<std::string>>& environment) {
        const std::vector<char*> args = PointersTo(argv);
        const std::vector<char*> variables = environment ? PointersTo(*environment) : std::vector<char*>{};
        pid_t pid = -1;
        if (const int error = posix_spawn(&pid, args[0], &actions_, &attributes_, args.data(),
                                          environment ? variables.data() : environ))
            throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
        return pid;
    }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Stderr stderrMode,
                           const std::optional<std::vector<std::string>>& environment) {
    IgnoreSigpipe();
    Pipe input = MakePipe();
    Pipe output = MakePipe();
    std::optional<Pipe> errors;
    SpawnSetup setup;
    setup.Redirect(input.read, STDIN_FILENO);
    setup.Redirect(output.write, STDOUT_FILENO);
    if (stderrMode == Stderr::Capture) {
        errors = MakePipe();
        setup.Redirect(errors->write, STDERR_FILENO);
    }
    pid_ = setup.Spawn(argv, environment);
    // The child's ends close with the local pipes: end of output then means the child closed it.
    stdin_ = std::move(input.write);
    stdout_ = std::move(output.read);
    if (errors)
        stderr_ = std::move(errors->read);
}

ChildProcess::~ChildProcess() {
    CloseStdin();
    if (!WaitExit(ExitGrace)) {
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

void ChildProcess::Signal(int signal) {
    if (!exitCode_)
        kill(pid_, signal);
}

bool ChildProcess::WriteLine(std::string_view line) {
    const std::string text = std::string(line) + '\n';
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t count = write(stdin_.Get(), text.data() + written, text.size() - written);
        if (count < 0 && errno != EINTR)
            return false;
        written += static_cast<std::size_t>(std::max<ssize_t>(count, 0));
    }
    return true;
}

std::optional<std::string> ChildProcess::ReadLine(milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (const auto newline = pendingOutput_.find('\n'); newline != std::string::npos) {
            std::string line = pendingOutput_.substr(0, newline);
            pendingOutput_.erase(0, newline + 1);
            return line;
        }
        if (!WaitReadable(stdout_.Get(), deadline) || !ReadSome(stdout_.Get(), pendingOutput_))
            return std::nullopt;
    }
}

std::string ChildProcess::ReadStderr(milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::string text;
    while (stderr_.Get() >= 0 && WaitReadable(stderr_.Get(), deadline) && ReadSome(stderr_.Get(), text)) {
    }
    return text;
}

void ChildProcess::CloseStdin() {
    stdin_.Reset();
}

std::optional<int> ChildProcess::WaitExit(milliseconds timeout) {
    WaitUntil([this] { return Reaped(); }, timeout);
    return exitCode_;
}

bool ChildProcess::Reaped() {
    int status = 0;
    pid_t done;
    do
        done = waitpid(pid_, &status, WNOHANG);
    while (done < 0 && errno == EINTR);
    if (done == pid_)
        exitCode_ = ExitCodeOf(status);
    else if (done < 0)
        exitCode_ = -1;  // reaped elsewhere: there is nothing left to wait for
    return exitCode_.has_value();
}

}  // namespace decimon::test
