// Numbers after a start under a desktop language with a comma as its decimal point.
#include "platform/qt/number_locale.h"

#include "tests/support/process_locale.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(NumberLocale, NumbersGoAsInTheCLocaleAndTheRestOfTheLanguageStays) {
    const ProcessLocale german(GermanLocale);
    ASSERT_TRUE(german.Active()) << GermanLocale << " is not generated";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));  // as under LANG=de_DE.UTF-8
    UseCNumberLocale();
    char text[16];
    std::snprintf(text, sizeof text, "%-.1f", 7.5);
    EXPECT_STREQ(text, "7.5");
    EXPECT_EQ(std::atof("7.5"), 7.5);
    EXPECT_EQ(QLocale().toString(7.5), "7.5");
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), GermanLocale);
}
