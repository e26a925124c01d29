#include "platform/qt/screen_saver_inhibitor.h"

#include "platform/qt/dbus_screen_saver.h"
#include "platform/qt/x_screen_saver.h"

#include <cstdio>

ScreenSaverInhibitor::ScreenSaverInhibitor(QObject* parent) : QObject(parent), bus_(new DBusScreenSaver(this)) {
    connect(bus_, &DBusScreenSaver::Unavailable, this, &ScreenSaverInhibitor::UseXServer);
}

ScreenSaverInhibitor::~ScreenSaverInhibitor() = default;

void ScreenSaverInhibitor::Inhibit() {
    wanted_ = true;
    if (bus_)
        bus_->Inhibit();
    else if (xServer_)
        xServer_->Inhibit();
}

void ScreenSaverInhibitor::UnInhibit() {
    wanted_ = false;
    if (bus_)
        bus_->UnInhibit();
    else if (xServer_)
        xServer_->UnInhibit();
}

void ScreenSaverInhibitor::UseXServer(const QString& busTrouble) {
    // The failing object may be inside the call that reported it.
    bus_->deleteLater();
    bus_ = nullptr;
    QString xTrouble;
    xServer_ = XScreenSaver::Open(&xTrouble);
    const QString noService =
        QStringLiteral("Decimon: no screen saver service on the session bus (%1)").arg(busTrouble);
    const QString said = xServer_ ? noService + QStringLiteral("; the X server keeps the screen on instead")
                                  : noService + QStringLiteral(", and %1: nothing keeps the screen on").arg(xTrouble);
    std::fprintf(stderr, "%s\n", said.toLocal8Bit().constData());
    if (xServer_ && wanted_)
        xServer_->Inhibit();
}
