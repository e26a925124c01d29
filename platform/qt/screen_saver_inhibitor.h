#pragma once
// Keeps the screen on while asked to: through the desktop's screen saver service on the
// session bus where there is one, otherwise through the X server; and on Wayland also through
// the compositor, whenever it offers its idle inhibit. Where none of them is there it says so
// once on standard error and does nothing; nothing here fails or holds up start-up.

#include <QObject>

#include <memory>

class DBusScreenSaver;
class QWidget;
class WaylandIdleInhibitor;
class XScreenSaver;

class ScreenSaverInhibitor : public QObject {
    Q_OBJECT

public:
    // `window` is the one whose surface the Wayland compositor's inhibitor sits on.
    explicit ScreenSaverInhibitor(QWidget* window, QObject* parent = nullptr);
    ~ScreenSaverInhibitor() override;  // gives the screen back

    void Inhibit();
    void UnInhibit();

private:
    // The session bus has no service for us: once the compositor's answer is in, the
    // compositor or the X server takes over.
    void OnBusUnavailable(const QString& busTrouble);
    void UseCompositorOrXServer(const QString& busTrouble);

    bool wanted_ = false;
    std::unique_ptr<WaylandIdleInhibitor> compositor_;  // on Wayland only
    std::unique_ptr<XScreenSaver> xServer_;
    DBusScreenSaver* bus_;  // a child while it serves, null once it has failed
};
