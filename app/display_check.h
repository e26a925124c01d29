#pragma once
// Whether the display has a display server to start on, so that a start without one ends with
// one line of ours and status 1 rather than with Qt's abort (and a core dump).

#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// The exit status of a start without a display to show on.
constexpr int NoDisplayStatus = 1;

// The X display that the last -display argument names (Qt's xcb platform takes it before
// DISPLAY); null when there is none.
const char* DisplayArgument(int argc, char** argv);

// Why the display cannot start, when every platform Qt would try needs a display server whose
// variable is unset or empty (xcb: DISPLAY, wayland: WAYLAND_DISPLAY); nullopt otherwise. The
// platforms are QT_QPA_PLATFORM's, else X and Wayland; others (offscreen, eglfs and the like)
// need neither. A -platform or -display argument counts as a display: Qt tries what it names.
std::optional<std::string> MissingDisplay(int argc, char** argv);

// While it lives (the making of the QApplication), Qt's messages are held back; when Qt cannot
// open the display and ends the program, the first of them becomes the one line "decimon:
// cannot open the display: ..." and the program ends with NoDisplayStatus. So does a display
// server that takes the connection but does not answer within AnswerBound, which Qt would wait
// for without end. At its end the messages held back go where Qt's messages went before.
class DisplayOpening {
public:
    static constexpr std::chrono::seconds AnswerBound{15};

    DisplayOpening();
    ~DisplayOpening();
    DisplayOpening(const DisplayOpening&) = delete;
    DisplayOpening& operator=(const DisplayOpening&) = delete;

private:
    QtMessageHandler previous_;
    std::mutex lock_;
    std::condition_variable opened_;
    bool done_ = false;
    std::thread watchdog_;
};

// While it lives, a display server that goes away first runs `save`, which must end within
// SaveBound, then ends the program with the one line "decimon: the display server went away
// (...)" and NoDisplayStatus. The loss is told by the connection itself (see DisplayConnection),
// asked at each of Qt's messages (Qt warns just before it ends the program on a broken
// connection; its warnings reach the watch whatever the logging rules say, and go no further
// when the rules turned them off) and at the exit. Qt's other messages go where they went before.
class DisplayLoss {
public:
    static constexpr std::chrono::milliseconds SaveBound{1500};

    explicit DisplayLoss(std::function<void()> save);
    ~DisplayLoss();
    DisplayLoss(const DisplayLoss&) = delete;
    DisplayLoss& operator=(const DisplayLoss&) = delete;
};
