// The display's tests run inside one QApplication, on Qt's offscreen platform unless the
// environment names another (the build lists the tests by running them, without a display).
#include "platform/qt/number_locale.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); !platform || !*platform)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    UseCNumberLocale();  // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
