// A build without Qt's Wayland client: the compositor's way of keeping the screen on is not there.
#include "platform/qt/wayland_idle_inhibitor.h"

class WaylandIdleInhibitor::Manager {};

std::unique_ptr<WaylandIdleInhibitor> WaylandIdleInhibitor::Open(QWidget*) {
    return nullptr;
}

WaylandIdleInhibitor::~WaylandIdleInhibitor() = default;

void WaylandIdleInhibitor::Hold() {}

void WaylandIdleInhibitor::Release() {}

bool WaylandIdleInhibitor::IsOffered() const {
    return false;
}

bool WaylandIdleInhibitor::eventFilter(QObject*, QEvent*) {
    return false;
}
