#include "platform/qt/screen_saver_inhibitor.h"

#include "platform/qt/dbus_screen_saver.h"
#include "platform/qt/wayland_idle_inhibitor.h"
#include "platform/qt/x_screen_saver.h"

#include <cstdio>

ScreenSaverInhibitor::ScreenSaverInhibitor(QWidget* window, QObject* parent)
    : QObject(parent), compositor_(WaylandIdleInhibitor::Open(window)), bus_(new DBusScreenSaver(this)) {
    connect(bus_, &DBusScreenSaver::Unavailable, this, &ScreenSaverInhibitor::OnBusUnavailable);
}

ScreenSaverInhibitor::~ScreenSaverInhibitor() = default;

void ScreenSaverInhibitor::Inhibit() {
    wanted_ = true;
    if (compositor_)
        compositor_->Hold();
    if (bus_)
        bus_->Inhibit();
    else if (xServer_)
        xServer_->Inhibit();
}

void ScreenSaverInhibitor::UnInhibit() {
    wanted_ = false;
    if (compositor_)
        compositor_->Release();
    if (bus_)
        bus_->UnInhibit();
    else if (xServer_)
        xServer_->UnInhibit();
}

void ScreenSaverInhibitor::OnBusUnavailable(const QString& busTrouble) {
    // The failing object may be inside the call that reported it.
    bus_->deleteLater();
    bus_ = nullptr;
    if (compositor_ && !compositor_->IsSettled())
        connect(compositor_.get(), &WaylandIdleInhibitor::Settled, this,
                [this, busTrouble] { UseCompositorOrXServer(busTrouble); });
    else
        UseCompositorOrXServer(busTrouble);
}

void ScreenSaverInhibitor::UseCompositorOrXServer(const QString& busTrouble) {
    const QString noService =
        QStringLiteral("decimon: no screen saver service on the session bus (%1)").arg(busTrouble);
    QString said;
    if (compositor_ && compositor_->IsOffered()) {
        said = noService + QStringLiteral("; the Wayland compositor keeps the screen on instead");
    } else {
        QString xTrouble;
        xServer_ = XScreenSaver::Open(&xTrouble);
        if (xServer_)
            said = noService + QStringLiteral("; the X server keeps the screen on instead");
        else if (compositor_)
            said = noService + QStringLiteral(", %1, and the Wayland compositor offers no idle inhibit: "
                                              "nothing keeps the screen on")
                                   .arg(xTrouble);
        else
            said = noService + QStringLiteral(", and %1: nothing keeps the screen on").arg(xTrouble);
        if (xServer_ && wanted_)
            xServer_->Inhibit();
    }
    std::fprintf(stderr, "%s\n", said.toLocal8Bit().constData());
}
