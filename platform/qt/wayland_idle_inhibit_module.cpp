// The module behind WaylandIdleInhibitor: an inhibitor of the compositor's idle-inhibit protocol
// (zwp_idle_inhibit_manager_v1) on the window's surface while held, so that the compositor
// neither blanks nor locks the output while the window is seen. Built apart from the program
// and loaded only on Qt's Wayland platform (see compositor_idle_inhibit.h).
#include "platform/qt/compositor_idle_inhibit.h"

#include "qwayland-idle-inhibit-unstable-v1.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWaylandClientExtensionTemplate>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client-core.h>

#include <memory>

namespace {

void* NativeResource(const char* name, QWindow* window = nullptr) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native)
        return nullptr;
    return window ? native->nativeResourceForWindow(name, window) : native->nativeResourceForIntegration(name);
}

// The window's surface now; null before its platform window exists.
wl_surface* SurfaceOf(QWidget* window) {
    QWindow* handle = window ? window->windowHandle() : nullptr;
    if (!handle || !handle->handle())
        return nullptr;
    return static_cast<wl_surface*>(NativeResource("surface", handle));
}

// Sends what is queued now: at exit no event loop is left to do it.
void Flush() {
    if (auto* display = static_cast<wl_display*>(NativeResource("wl_display")))
        wl_display_flush(display);
}

// The protocol's global, bound through Qt's Wayland client.
class Manager : public QWaylandClientExtensionTemplate<Manager>, public QtWayland::zwp_idle_inhibit_manager_v1 {
public:
    Manager() : QWaylandClientExtensionTemplate<Manager>(1) {}
    ~Manager() override {
        if (isInitialized())
            destroy();
    }
};

class WaylandIdleInhibit : public QObject, public CompositorIdleInhibit {
public:
    WaylandIdleInhibit(QWidget* window, std::function<void()> settled)
        : window_(window), manager_(std::make_unique<Manager>()) {
        // The manager binds the protocol in a call it has queued; this one comes after it.
        QMetaObject::invokeMethod(
            this,
            [this, settled = std::move(settled)] {
                TryToHold();
                settled();
            },
            Qt::QueuedConnection);
        // A compositor may also offer the protocol later.
        connect(manager_.get(), &QWaylandClientExtension::activeChanged, this, &WaylandIdleInhibit::TryToHold);
        if (window_)
            window_->installEventFilter(this);
    }

    ~WaylandIdleInhibit() override {
        Release();
        manager_.reset();
        Flush();
    }

    void Hold() override {
        wanted_ = true;
        TryToHold();
    }

    void Release() override {
        wanted_ = false;
        DestroyInhibitor();
        Flush();
    }

    bool IsOffered() const override { return manager_->isActive(); }

private:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A window shown again may have a new surface; it is there once the show has ended.
        if (watched == window_ && event->type() == QEvent::Show)
            QMetaObject::invokeMethod(this, &WaylandIdleInhibit::TryToHold, Qt::QueuedConnection);
        return false;
    }

    // Puts an inhibitor on the window's current surface, if it is wanted and can be made.
    void TryToHold() {
        if (!wanted_ || !manager_->isActive())
            return;
        wl_surface* surface = SurfaceOf(window_);
        if (!surface || (inhibitor_ && surface == heldSurface_))
            return;
        DestroyInhibitor();
        inhibitor_ = manager_->create_inhibitor(surface);
        heldSurface_ = surface;
    }

    void DestroyInhibitor() {
        if (inhibitor_)
            zwp_idle_inhibitor_v1_destroy(inhibitor_);
        inhibitor_ = nullptr;
        heldSurface_ = nullptr;
    }

    QPointer<QWidget> window_;
    std::unique_ptr<Manager> manager_;
    zwp_idle_inhibitor_v1* inhibitor_ = nullptr;
    wl_surface* heldSurface_ = nullptr;  // the surface the inhibitor sits on
    bool wanted_ = false;
};

}  // namespace

extern "C" Q_DECL_EXPORT CompositorIdleInhibit* decimon_open_compositor_idle_inhibit(QWidget* window,
                                                                                     std::function<void()> settled) {
    return new WaylandIdleInhibit(window, std::move(settled));
}

extern "C" Q_DECL_EXPORT int decimon_wayland_connection_error() {
    auto* display = static_cast<wl_display*>(NativeResource("wl_display"));
    return display ? wl_display_get_error(display) : 0;
}
