#include "platform/qt/heap_trimmer.h"

#include <QTimerEvent>

#include <malloc.h>

HeapTrimmer::HeapTrimmer(std::chrono::milliseconds interval, QObject* parent) : QObject(parent) {
    timer_.start(static_cast<int>(interval.count()), Qt::VeryCoarseTimer, this);
}

void HeapTrimmer::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_.timerId())
        malloc_trim(0);
}
