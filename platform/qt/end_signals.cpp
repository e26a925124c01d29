#include "platform/qt/end_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace {

// The pipe's end for the handler: a lock-free atomic is safe to read in a signal handler.
std::atomic<int> handlerFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void WriteSignalNumber(int number) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    (void)!write(handlerFd.load(), &byte, 1);  // a full pipe holds enough signals already
    errno = saved;
}

}  // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent) {
    int fds[2];
    if (handlerFd.load() >= 0 || pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "decimon: cannot watch for the end signals; they end the program at once\n");
        return;
    }
    readFd_ = fds[0];
    handlerFd.store(fds[1]);
    notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EndSignals::OnReadable);

    struct sigaction action {};
    action.sa_handler = WriteSignalNumber;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : Handled)
        sigaddset(&action.sa_mask, number);
    for (std::size_t i = 0; i < Handled.size(); ++i) {
        sigaction(Handled[i], nullptr, &replaced_[i]);
        if (replaced_[i].sa_handler != SIG_IGN || Handled[i] == SIGTERM)
            sigaction(Handled[i], &action, nullptr);
    }
}

EndSignals::~EndSignals() {
    if (readFd_ < 0)
        return;
    for (std::size_t i = 0; i < Handled.size(); ++i)
        sigaction(Handled[i], &replaced_[i], nullptr);
    delete notifier_;  // before its descriptor closes
    close(handlerFd.exchange(-1));
    close(readFd_);
}

void EndSignals::OnReadable() {
    unsigned char number = 0;
    while (read(readFd_, &number, 1) == 1)
        emit Received(number);
}
