#include "platform/qt/number_locale.h"

#include <QLocale>

#include <clocale>

void UseCNumberLocale() {
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
}
