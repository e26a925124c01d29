#include "platform/qt/wayland_idle_inhibitor.h"

#include "platform/qt/compositor_idle_inhibit.h"
#include "platform/sys/program_module.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Where the build put the module, relative to the program's folder; empty in a build without Qt's
// Wayland client.
constexpr char kModulePath[] = DECIMON_WAYLAND_MODULE;

OpenCompositorIdleInhibit LoadModule() {
    std::string reason;
    auto open = reinterpret_cast<OpenCompositorIdleInhibit>(
        ProgramModuleSymbol(kModulePath, kOpenCompositorIdleInhibit, &reason));
    if (!open)
        std::fprintf(stderr, "decimon: the Wayland compositor's idle inhibit is not there: %s\n", reason.c_str());
    return open;
}

}  // namespace

std::unique_ptr<WaylandIdleInhibitor> WaylandIdleInhibitor::Open(QWidget* window) {
    // Qt's Wayland client takes whatever platform runs for its own: only on Wayland is it one.
    if (kModulePath[0] == '\0' || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    std::unique_ptr<WaylandIdleInhibitor> inhibitor(new WaylandIdleInhibitor(window));
    return inhibitor->module_ ? std::move(inhibitor) : nullptr;
}

WaylandIdleInhibitor::WaylandIdleInhibitor(QWidget* window) {
    if (OpenCompositorIdleInhibit open = LoadModule()) {
        module_.reset(open(window, [this] {
            settled_ = true;
            emit Settled();
        }));
    }
}

WaylandIdleInhibitor::~WaylandIdleInhibitor() = default;

void WaylandIdleInhibitor::Hold() {
    module_->Hold();
}

void WaylandIdleInhibitor::Release() {
    module_->Release();
}

bool WaylandIdleInhibitor::IsOffered() const {
    return module_->IsOffered();
}
