// Decimon: a full-screen wall display for one networked sound-level meter.
#include "app/kelda_app.h"
#include "platform/qt/number_locale.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    UseCNumberLocale();  // QApplication took the desktop's language for numbers too
    CkeldaApp app;
    if (!app.InitInstance())
        return 1;
    return qt.exec();
}
