#include "platform/qt/dbus_screen_saver.h"

#include <QCoreApplication>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

// Long enough for a busy desktop, short enough that the last UnInhibit cannot hold up the exit.
constexpr int kCallTimeoutMs = 1000;

QDBusMessage ScreenSaverCall(const QString& method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

}  // namespace

DBusScreenSaver::DBusScreenSaver(QObject* parent) : QObject(parent), bus_(QDBusConnection::sessionBus()) {}

DBusScreenSaver::~DBusScreenSaver() {
    blockSignals(true);  // whoever listens may be going away too
    wanted_ = false;
    if (pendingInhibit_) {
        pendingInhibit_->waitForFinished();
        OnInhibitAnswered(*pendingInhibit_);  // releases a cookie that came in the meantime
    }
    if (cookie_)
        Release().waitForFinished();
}

void DBusScreenSaver::Inhibit() {
    wanted_ = true;
    if (cookie_ || pendingInhibit_)
        return;
    if (!bus_.isConnected()) {
        emit Unavailable(bus_.lastError().message());
        return;
    }
    QDBusMessage call = ScreenSaverCall(QStringLiteral("Inhibit"));
    call << QCoreApplication::applicationName() << QStringLiteral("Showing the sound level full screen");
    pendingInhibit_ = bus_.asyncCall(call, kCallTimeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(*pendingInhibit_, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        OnInhibitAnswered(*finished);
    });
}

void DBusScreenSaver::UnInhibit() {
    wanted_ = false;
    if (cookie_)
        Release();
}

void DBusScreenSaver::OnInhibitAnswered(const QDBusPendingCall& call) {
    // Read before the reset: `call` may be the pending call itself.
    const QDBusPendingReply<uint> reply(call);
    pendingInhibit_.reset();
    if (reply.isError()) {
        emit Unavailable(reply.error().message());
        return;
    }
    cookie_ = reply.value();
    if (!wanted_)
        Release();
}

QDBusPendingCall DBusScreenSaver::Release() {
    QDBusMessage call = ScreenSaverCall(QStringLiteral("UnInhibit"));
    call << *cookie_;
    cookie_.reset();
    return bus_.asyncCall(call, kCallTimeoutMs);
}
