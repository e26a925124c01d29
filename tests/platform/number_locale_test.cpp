// Numbers after a start under a desktop language with a comma as its decimal point.
#include "platform/number_locale.h"

#include "tests/support/process_locale.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

TEST(NumberLocale, NumbersGoAsInTheCLocaleAndTheRestOfTheLanguageStays) {
    const ProcessLocale german(GermanLocale);  // what QApplication makes of LANG=de_DE.UTF-8
    ASSERT_TRUE(german.Active()) << GermanLocale << " is not generated";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    UseCNumberLocale();
    char text[16];
    std::snprintf(text, sizeof text, "%-.1f", 7.5);
    EXPECT_STREQ(text, "7.5");
    EXPECT_EQ(std::atof("7.5"), 7.5);
    EXPECT_EQ(QLocale().toString(7.5), "7.5");
    EXPECT_EQ(QLocale().toDouble("7.5"), 7.5);
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), GermanLocale);
}

}  // namespace
