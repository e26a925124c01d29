#include "tests/support/meter_sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <thread>
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
Pipe makePipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

bool waitReadable(int fd, Clock::time_point deadline) {
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
bool readSome(int fd, std::string& into) {
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

int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

// A child that has died must show up as a failed write, not end the test program.
void ignoreSigpipe() {
    static const bool ignored = [] { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }();
    (void)ignored;
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

    void redirect(const UniqueFd& from, int to) { posix_spawn_file_actions_adddup2(&actions_, from.get(), to); }

    pid_t spawn(const std::vector<std::string>& argv) {
        std::vector<char*> args;
        for (const auto& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        pid_t pid = -1;
        if (const int error = posix_spawn(&pid, args[0], &actions_, &attributes_, args.data(), environ))
            throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
        return pid;
    }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

std::vector<std::string> simArgv(const std::vector<std::string>& extraArgs) {
    std::vector<std::string> argv{DECIMON_METER_SIM, "--port", "0"};
    argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
    return argv;
}

} // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = other.release();
    }
    return *this;
}

int UniqueFd::release() noexcept { return std::exchange(fd_, -1); }

void UniqueFd::reset() noexcept {
    if (fd_ >= 0)
        close(std::exchange(fd_, -1));
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, Stderr stderrMode) {
    ignoreSigpipe();
    Pipe input = makePipe();
    Pipe output = makePipe();
    std::optional<Pipe> errors;
    SpawnSetup setup;
    setup.redirect(input.read, STDIN_FILENO);
    setup.redirect(output.write, STDOUT_FILENO);
    if (stderrMode == Stderr::Capture) {
        errors = makePipe();
        setup.redirect(errors->write, STDERR_FILENO);
    }
    pid_ = setup.spawn(argv);
    // The child's ends close with the local pipes: end of output then means the child closed it.
    stdin_ = std::move(input.write);
    stdout_ = std::move(output.read);
    if (errors)
        stderr_ = std::move(errors->read);
}

ChildProcess::~ChildProcess() {
    closeStdin();
    if (!waitExit(ExitGrace)) {
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

bool ChildProcess::writeLine(std::string_view line) {
    const std::string text = std::string(line) + '\n';
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t count = write(stdin_.get(), text.data() + written, text.size() - written);
        if (count < 0 && errno != EINTR)
            return false;
        written += static_cast<std::size_t>(std::max<ssize_t>(count, 0));
    }
    return true;
}

std::optional<std::string> ChildProcess::readLine(milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (const auto newline = pendingOutput_.find('\n'); newline != std::string::npos) {
            std::string line = pendingOutput_.substr(0, newline);
            pendingOutput_.erase(0, newline + 1);
            return line;
        }
        if (!waitReadable(stdout_.get(), deadline) || !readSome(stdout_.get(), pendingOutput_))
            return std::nullopt;
    }
}

std::string ChildProcess::readStderr(milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    std::string text;
    while (stderr_.get() >= 0 && waitReadable(stderr_.get(), deadline) && readSome(stderr_.get(), text)) {
    }
    return text;
}

void ChildProcess::closeStdin() { stdin_.reset(); }

std::optional<int> ChildProcess::waitExit(milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!exitCode_) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_)
            exitCode_ = exitCodeOf(status);
        else if (done < 0 && errno != EINTR)
            exitCode_ = -1; // reaped elsewhere: there is nothing left to wait for
        else if (Clock::now() >= deadline)
            break;
        else
            std::this_thread::sleep_for(milliseconds(5));
    }
    return exitCode_;
}

MeterSimProcess::MeterSimProcess(const std::vector<std::string>& extraArgs) : process_(simArgv(extraArgs)) {
    static constexpr std::string_view Prefix = "listening on ";
    const auto line = process_.readLine(Timeout);
    if (!line || !line->starts_with(Prefix))
        throw std::runtime_error("decimon-meter-sim did not report its address" + (line ? ": " + *line : ""));
    listenAddress_ = line->substr(Prefix.size());
    port_ = std::stoi(listenAddress_.substr(listenAddress_.rfind(':') + 1));
}

// The quit lets it end at once; ChildProcess's destructor waits for that and kills if need be.
MeterSimProcess::~MeterSimProcess() { process_.writeLine("quit"); }

std::string MeterSimProcess::agent() const {
    // "udp:127.0.0.1:PORT" -> "127.0.0.1:PORT", "udp6:[::1]:PORT" -> "[::1]:PORT"
    return listenAddress_.substr(listenAddress_.find(':') + 1);
}

std::string MeterSimProcess::command(std::string_view line) {
    if (line.find('\n') != std::string_view::npos)
        throw std::invalid_argument("one command at a time: the line holds a newline");
    if (!process_.writeLine(line))
        throw std::runtime_error("decimon-meter-sim no longer reads commands");
    auto reply = process_.readLine(Timeout);
    if (!reply)
        throw std::runtime_error("no reply from decimon-meter-sim to '" + std::string(line) + "'");
    return *reply;
}

void MeterSimProcess::set(std::string_view object, std::string_view type, std::string_view value) {
    std::string line = "set " + std::string(object) + " " + std::string(type);
    if (!value.empty())
        line += " " + std::string(value);
    const std::string reply = command(line);
    if (reply != "ok")
        throw std::runtime_error("'" + line + "' answered '" + reply + "'");
}

std::uint64_t MeterSimProcess::count() {
    static constexpr std::string_view Prefix = "requests ";
    const std::string reply = command("count");
    if (!reply.starts_with(Prefix))
        throw std::runtime_error("'count' answered '" + reply + "'");
    return std::stoull(reply.substr(Prefix.size()));
}

std::string escapeOctets(std::string_view bytes) {
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

} // namespace decimon::test
