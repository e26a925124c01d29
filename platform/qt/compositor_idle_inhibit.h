#pragma once
// What the display asks of the Wayland compositor's idle inhibit, as the module that speaks the
// protocol offers it. The module (Qt's Wayland client and the protocol with it) is loaded only on
// Qt's Wayland platform, so that a display on X maps none of it; it shares nothing with the
// program but this interface and its two entry points.

#include <functional>

class QWidget;

class CompositorIdleInhibit {
public:
    virtual ~CompositorIdleInhibit() = default;

    // Puts an inhibitor on the window's surface while held, as soon as both are there.
    virtual void Hold() = 0;
    virtual void Release() = 0;
    virtual bool IsOffered() const = 0;  // the compositor has the protocol
};

// The module's one entry point, by this name: an inhibit for `window` that calls `settled` once
// the compositor has said whether it offers the protocol (after the event loop has run).
using OpenCompositorIdleInhibit = CompositorIdleInhibit* (*)(QWidget* window, std::function<void()> settled);
inline constexpr char kOpenCompositorIdleInhibit[] = "decimon_open_compositor_idle_inhibit";

// The module's other entry point, by this name: the error of Qt's Wayland connection (0 while
// it works), which the program asks when its display server may have gone.
using WaylandConnectionError = int (*)();
inline constexpr char kWaylandConnectionError[] = "decimon_wayland_connection_error";
