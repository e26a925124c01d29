#pragma once
// Gives the heap's free pages back to the system every few seconds. The C library returns
// freed memory by itself only from the top of the heap, so what start-up, a dialog or the
// history picture frees below a block still in use would stay resident for the display's whole
// run (about 1 MB after start-up at 1920x1080). A trim with nothing to give back costs microseconds.

#include <QBasicTimer>
#include <QObject>

#include <chrono>

class HeapTrimmer : public QObject {
public:
    explicit HeapTrimmer(std::chrono::milliseconds interval = std::chrono::seconds(15), QObject* parent = nullptr);

private:
    void timerEvent(QTimerEvent* event) override;

    QBasicTimer timer_;
};
