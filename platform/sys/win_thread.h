#pragma once
// A started thread with an exit code and a wait without limit.

#include <memory>
#include <thread>

class CWinThread {
public:
    using Procedure = unsigned (*)(void* parameter);

    // Starts `procedure(parameter)` at once; null when no thread could be started.
    static std::unique_ptr<CWinThread> Begin(Procedure procedure, void* parameter);

    ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Waits, however long it takes, until the procedure has returned.
    void WaitForEnd();
    // The procedure's result; meaningful once WaitForEnd has returned.
    unsigned ExitCode() const { return exitCode_; }

private:
    CWinThread() = default;
    std::thread thread_;
    unsigned exitCode_ = 0;
};
