#pragma once
// Answers the next modal window from inside its own event loop, for tests that run a real
// modal dialog or message box. A watchdog ends any modal window still open after a few
// seconds, so that a window that never comes (or is not answered) fails the test instead
// of blocking it.

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

namespace decimon::test {

class ModalAnswer {
public:
    static constexpr int WatchdogResult = -99;

    // `answer` runs once, with the first modal widget that appears.
    explicit ModalAnswer(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            // The first window of a process may not be active yet: keys need it to be.
            if (QApplication::activeWindow() != modal && ++activationTries_ < 50) {
                modal->activateWindow();
                return;
            }
            poll_.stop();
            seen_ = true;
            answer_(modal);
        });
        poll_.start();
        watchdog_.setSingleShot(true);
        QObject::connect(&watchdog_, &QTimer::timeout, [] {
            while (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                modal->done(WatchdogResult);
        });
        watchdog_.start(5000);
    }

    bool Seen() const { return seen_; }

private:
    std::function<void(QWidget*)> answer_;
    QTimer poll_;
    QTimer watchdog_;
    bool seen_ = false;
    int activationTries_ = 0;
};

}  // namespace decimon::test
