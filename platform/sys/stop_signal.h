#pragma once
// A one-way signal between threads: raised once, never lowered, and visible to poll()
// through a file descriptor, so that a thread blocked on sockets can watch it too.

class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Safe from any thread, any number of times.
    void Raise();
    bool IsRaised() const;
    // Readable from the first Raise on; -1 when no descriptor could be made (the signal is
    // then never seen, and waits run to their own end).
    int Fd() const { return fd_; }

private:
    int fd_;
};

// Waits without a time limit until `awaited` is raised (true) or `stop` is (false).
bool WaitUnlessStopped(const StopSignal& awaited, const StopSignal& stop);
