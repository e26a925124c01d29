#pragma once
// Hands SIGTERM, SIGINT and SIGHUP to the event loop, so that a log-out, a supervisor or
// `kill` ends the program the orderly way. The handler only writes the signal's number to a
// pipe (about all that a handler may safely do); a socket notifier on the pipe's other end
// emits Received on the thread that made the object. One object at a time; the handlers it
// replaced come back when it goes.
// A signal that the program was started with ignored stays ignored (SIGHUP under nohup, SIGINT
// in a background job), since whoever started it meant it to outlive them; SIGTERM is always
// handled, being how a supervisor asks for the end.

#include <QObject>

#include <signal.h>

#include <array>

class QSocketNotifier;

class EndSignals : public QObject {
    Q_OBJECT

public:
    static constexpr std::array<int, 3> Handled = {SIGTERM, SIGINT, SIGHUP};

    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;

signals:
    void Received(int signalNumber);

private:
    void OnReadable();

    int readFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::array<struct sigaction, Handled.size()> replaced_{};
};
