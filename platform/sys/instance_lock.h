#pragma once
// One running copy per user and screen. InstanceLock holds an exclusive lock (flock) on a
// file for its own life. The kernel drops the lock when the process ends, however it ends, so
// a holder that crashed never keeps the next start out. The file itself stays: removing it
// would let two processes lock two different files of the same name.

#include <string>

// The user's runtime folder: $XDG_RUNTIME_DIR, else /run/user/UID when that is a folder of
// this user's; "" when there is none.
std::string UserRuntimeDir();

// The screen the program shows on, as a part of a file name, from the values of
// WAYLAND_DISPLAY and DISPLAY (null or empty when unset): the Wayland display when there is
// one (an X client there shows on the same screen), else the X display without its screen
// number (":0.0" and "unix:0" are ":0"), else "console". Characters other than letters,
// digits, '.', ':', '-' and '_' become '_'.
std::string ScreenKey(const char* waylandDisplay, const char* xDisplay);

class InstanceLock {
public:
    enum class State {
        Held,           // this object holds the lock
        HeldElsewhere,  // another open file (another process) holds it
        Failed,         // the file cannot be opened or locked; Trouble() says why
    };

    // Tries once to take the lock on `path`, making the file (mode 0600) when it is missing.
    explicit InstanceLock(std::string path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Tries again, unless the lock is held already; never waits.
    State TryLock();
    State GetState() const { return state_; }
    const std::string& Trouble() const { return trouble_; }

private:
    std::string path_;
    int fd_ = -1;
    State state_ = State::Failed;
    std::string trouble_;
};
