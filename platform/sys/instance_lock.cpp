#include "platform/sys/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

bool IsSet(const char* value) {
    return value && *value;
}

// ":0.0", "unix:0" and ":0" name the same server: the screen number and the "unix" host go.
std::string XServerName(std::string_view display) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string_view::npos)
        return std::string(display);
    std::string_view host = display.substr(0, colon);
    std::string_view number = display.substr(colon + 1);
    if (host == "unix")
        host = {};
    number = number.substr(0, number.find('.'));
    return std::string(host) + ":" + std::string(number);
}

std::string FileNameSafe(std::string text) {
    for (char& c : text) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          std::string_view(".:-_").find(c) != std::string_view::npos;
        if (!kept)
            c = '_';
    }
    return text;
}

}  // namespace

std::string UserRuntimeDir() {
    const char* configured = std::getenv("XDG_RUNTIME_DIR");
    if (IsSet(configured))
        return configured;
    const std::string perUser = "/run/user/" + std::to_string(getuid());
    struct stat info {};
    if (stat(perUser.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid())
        return perUser;
    return {};
}

std::string ScreenKey(const char* waylandDisplay, const char* xDisplay) {
    if (IsSet(waylandDisplay))
        return FileNameSafe(waylandDisplay);
    if (IsSet(xDisplay))
        return FileNameSafe(XServerName(xDisplay));
    return "console";
}

InstanceLock::InstanceLock(std::string path) : path_(std::move(path)) {
    TryLock();
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0)
        close(fd_);
}

InstanceLock::State InstanceLock::TryLock() {
    if (state_ == State::Held)
        return state_;
    if (fd_ < 0)
        fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        trouble_ = "cannot open " + path_ + ": " + std::strerror(errno);
        return state_ = State::Failed;
    }
    int locked;
    do
        locked = flock(fd_, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked == 0)
        return state_ = State::Held;
    if (errno == EWOULDBLOCK)
        return state_ = State::HeldElsewhere;
    trouble_ = "cannot lock " + path_ + ": " + std::strerror(errno);
    return state_ = State::Failed;
}
