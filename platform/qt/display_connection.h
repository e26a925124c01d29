#pragma once
// Whether the running platform's connection to its display server has failed, asked of the
// connection itself: on X its error state (xcb), on Wayland the display's error (through the
// Wayland module, which holds Qt's Wayland client). Safe from any thread, also while Qt ends
// the program.

#include <functional>

class DisplayConnection {
public:
    // The connection of the QGuiApplication that runs now; one that never fails on a platform
    // with neither X nor Wayland.
    static DisplayConnection Current();

    bool Broken() const { return broken_ && broken_(); }

private:
    explicit DisplayConnection(std::function<bool()> broken) : broken_(std::move(broken)) {}

    std::function<bool()> broken_;
};
