#pragma once
// Keeps the screen on through the desktop's screen saver service on the session bus
// (org.freedesktop.ScreenSaver): Inhibit with the application's name and a reason gives a
// cookie, UnInhibit with the cookie gives the screen back. The calls never wait on the user
// interface's thread, except the last UnInhibit, which must reach the service before the
// program ends.

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QObject>
#include <QString>

#include <optional>

class DBusScreenSaver : public QObject {
    Q_OBJECT

public:
    explicit DBusScreenSaver(QObject* parent = nullptr);
    ~DBusScreenSaver() override;

    void Inhibit();
    void UnInhibit();

signals:
    // No bus, no service, or the service refused: nothing to inhibit here.
    void Unavailable(const QString& reason);

private:
    // Takes the answer to Inhibit; the user may have left full screen in the meantime.
    void OnInhibitAnswered(const QDBusPendingCall& call);
    QDBusPendingCall Release();

    QDBusConnection bus_;
    bool wanted_ = false;
    std::optional<QDBusPendingCall> pendingInhibit_;
    std::optional<uint> cookie_;
};
