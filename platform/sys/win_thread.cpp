#include "platform/sys/win_thread.h"

#include <system_error>

std::unique_ptr<CWinThread> CWinThread::Begin(Procedure procedure, void* parameter) {
    std::unique_ptr<CWinThread> started(new CWinThread());
    CWinThread* self = started.get();
    try {
        self->thread_ = std::thread([self, procedure, parameter] { self->exitCode_ = procedure(parameter); });
    } catch (const std::system_error&) {
        return nullptr;
    }
    return started;
}

CWinThread::~CWinThread() {
    // An owner that forgot to wait must not leave a thread running on freed memory.
    WaitForEnd();
}

void CWinThread::WaitForEnd() {
    if (thread_.joinable())
        thread_.join();
}
