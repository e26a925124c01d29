#pragma once
// Keeps the screen on while asked to: through the desktop's screen saver service on the
// session bus where there is one, otherwise through the X server. Where neither is there it
// says so once on standard error and does nothing; nothing here fails or holds up start-up.

#include <QObject>

#include <memory>

class DBusScreenSaver;
class XScreenSaver;

class ScreenSaverInhibitor : public QObject {
    Q_OBJECT

public:
    explicit ScreenSaverInhibitor(QObject* parent = nullptr);
    ~ScreenSaverInhibitor() override;  // gives the screen back

    void Inhibit();
    void UnInhibit();

private:
    // The session bus has no service for us: the X server takes over.
    void UseXServer(const QString& busTrouble);

    bool wanted_ = false;
    std::unique_ptr<XScreenSaver> xServer_;
    DBusScreenSaver* bus_;  // a child while it serves, null once it has failed
};
