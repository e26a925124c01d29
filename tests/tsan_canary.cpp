// A race on purpose, for the ThreadSanitizer run of scripts/test.sh: a worker thread writes
// two values without a lock while the GUI thread reads one in a timer tick and the other in
// a paint, both under Qt's event loop as the meter view's are. Run with tests/tsan.supp, the
// sanitizer must report both: otherwise the suppressions hide our races along with Qt's.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <thread>

namespace {

// Written by the worker, read by the GUI thread, and no lock between them: the two races.
int tickValue = 0;
int paintValue = 0;
int seen = 0;

// The readers are functions of their own so that the sanitizer's reports name them.
[[gnu::noinline]] void ReadInTick() {
    seen += tickValue;
}

[[gnu::noinline]] void ReadInPaint() {
    seen += paintValue;
}

class CanaryView : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { ReadInPaint(); }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    CanaryView view;
    view.resize(64, 64);
    view.show();
    std::thread worker([] {
        for (int value = 1; value <= 100; ++value) {
            tickValue = value;
            paintValue = value;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&view] {
        ReadInTick();
        view.update();
    });
    tick.start(5);
    QTimer::singleShot(300, &application, &QApplication::quit);
    application.exec();
    worker.join();
    return 0;
}
