#include "platform/sys/stop_signal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace {

bool Readable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    return fd >= 0 && poll(&watched, 1, 0) > 0;
}

}  // namespace

StopSignal::StopSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopSignal::~StopSignal() {
    if (fd_ >= 0)
        close(fd_);
}

void StopSignal::Raise() {
    // The counter is never read back, so it only grows and the descriptor stays readable.
    const std::uint64_t one = 1;
    if (fd_ >= 0)
        (void)!write(fd_, &one, sizeof one);
}

bool StopSignal::IsRaised() const {
    return Readable(fd_);
}

bool WaitUnlessStopped(const StopSignal& awaited, const StopSignal& stop) {
    pollfd watched[2] = {{awaited.Fd(), POLLIN, 0}, {stop.Fd(), POLLIN, 0}};
    int ready;
    do
        ready = poll(watched, 2, -1);
    while (ready < 0 && errno == EINTR);
    return ready > 0 && (watched[0].revents & POLLIN) && !(watched[1].revents & POLLIN);
}
