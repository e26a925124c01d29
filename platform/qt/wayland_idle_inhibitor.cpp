#include "platform/qt/wayland_idle_inhibitor.h"

#include "qwayland-idle-inhibit-unstable-v1.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWaylandClientExtensionTemplate>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client-core.h>

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

}  // namespace

class WaylandIdleInhibitor::Manager : public QWaylandClientExtensionTemplate<Manager>,
                                      public QtWayland::zwp_idle_inhibit_manager_v1 {
public:
    Manager() : QWaylandClientExtensionTemplate<Manager>(1) {}
    ~Manager() override {
        if (isInitialized())
            destroy();
    }
};

std::unique_ptr<WaylandIdleInhibitor> WaylandIdleInhibitor::Open(QWidget* window) {
    // Qt's Wayland client takes whatever platform runs for its own: only on Wayland is it one.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    return std::unique_ptr<WaylandIdleInhibitor>(new WaylandIdleInhibitor(window));
}

WaylandIdleInhibitor::WaylandIdleInhibitor(QWidget* window) : window_(window), manager_(std::make_unique<Manager>()) {
    // The manager binds the protocol in a call it has queued; this one comes after it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            settled_ = true;
            TryToHold();
            emit Settled();
        },
        Qt::QueuedConnection);
    // A compositor may also offer the protocol later.
    connect(manager_.get(), &QWaylandClientExtension::activeChanged, this, &WaylandIdleInhibitor::TryToHold);
    if (window_)
        window_->installEventFilter(this);
}

WaylandIdleInhibitor::~WaylandIdleInhibitor() {
    Release();
    manager_.reset();
    Flush();
}

bool WaylandIdleInhibitor::IsOffered() const {
    return manager_->isActive();
}

void WaylandIdleInhibitor::Hold() {
    wanted_ = true;
    TryToHold();
}

void WaylandIdleInhibitor::Release() {
    wanted_ = false;
    DestroyInhibitor();
    Flush();
}

bool WaylandIdleInhibitor::eventFilter(QObject* watched, QEvent* event) {
    // A window shown again may have a new surface; it is there once the show has ended.
    if (watched == window_ && event->type() == QEvent::Show)
        QMetaObject::invokeMethod(this, &WaylandIdleInhibitor::TryToHold, Qt::QueuedConnection);
    return false;
}

void WaylandIdleInhibitor::TryToHold() {
    if (!wanted_ || !manager_->isActive())
        return;
    wl_surface* surface = SurfaceOf(window_);
    if (!surface || (inhibitor_ && surface == heldSurface_))
        return;
    DestroyInhibitor();
    inhibitor_ = manager_->create_inhibitor(surface);
    heldSurface_ = surface;
}

void WaylandIdleInhibitor::DestroyInhibitor() {
    if (inhibitor_)
        zwp_idle_inhibitor_v1_destroy(inhibitor_);
    inhibitor_ = nullptr;
    heldSurface_ = nullptr;
}
