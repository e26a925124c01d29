// screen-saver-recorder: a stand-in for a desktop's screen saver service on the session bus.
// It owns org.freedesktop.ScreenSaver, answers Inhibit with a fresh cookie and prints every
// call on standard output, one line each, for the kiosk test:
//   ready
//   Inhibit APPLICATION|REASON COOKIE
//   UnInhibit COOKIE            (or "UnInhibit COOKIE unknown" for a cookie it never gave)
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QObject>

#include <cstdio>
#include <set>

class ScreenSaverRecorder : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public slots:
    Q_SCRIPTABLE uint Inhibit(const QString& application, const QString& reason) {
        const uint cookie = nextCookie_++;
        cookies_.insert(cookie);
        std::printf("Inhibit %s|%s %u\n", qPrintable(application), qPrintable(reason), cookie);
        std::fflush(stdout);
        return cookie;
    }
    Q_SCRIPTABLE void UnInhibit(uint cookie) {
        std::printf("UnInhibit %u%s\n", cookie, cookies_.erase(cookie) ? "" : " unknown");
        std::fflush(stdout);
    }

private:
    uint nextCookie_ = 7001;  // far from 0 and 1, which a careless client might send
    std::set<uint> cookies_;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    ScreenSaverRecorder recorder;
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &recorder,
                            QDBusConnection::ExportScriptableSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"))) {
        std::fprintf(stderr, "screen-saver-recorder: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "screen_saver_recorder.moc"
