// What a paint shows: the level text, the dose text and the banner lines.
#include "monitor/meter_picture.h"

#include "platform/sys/fixed_text.h"
#include "tests/support/process_locale.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace std::string_literals;

struct Lines {
    std::string first;
    std::string second;
};

Lines Cut(std::string_view message) {
    char first[BannerLineCapacity];
    char second[BannerLineCapacity];
    FirstWarningLine(message, first);
    SecondWarningLine(message, second);
    return {first, second};
}

TEST(PrintableSpan, EndsAtTheDelimiterAControlByteOrTheEnd) {
    EXPECT_EQ(PrintableSpan("ABC\rDEF", '\r'), 3);
    EXPECT_EQ(PrintableSpan("AB\tC", '\r'), 2);
    EXPECT_EQ(PrintableSpan("AB\nC", '\r'), 2);
    EXPECT_EQ(PrintableSpan("AB\x1f", '\r'), 2);
    EXPECT_EQ(PrintableSpan("A B~", '\r'), 4);
    EXPECT_EQ(PrintableSpan("AB;CD", ';'), 2);
    EXPECT_EQ(PrintableSpan(""s, '\r'), 0);
    EXPECT_EQ(PrintableSpan("AB\0CD"s, '\r'), 2);
}

TEST(PrintableSpan, BytesFrom128OnAreOrdinaryCharacters) {
    EXPECT_EQ(PrintableSpan("L\xe4rm \x80\xff!", '\r'), 8);
}

TEST(WarningLines, DefaultMessageGivesTwoLines) {
    const Lines lines = Cut("WEAR HEARING PROTECTION AT\r\nALL TIMES IN THIS AREA");
    EXPECT_EQ(lines.first, "WEAR HEARING PROTECTION AT");
    EXPECT_EQ(lines.second, "ALL TIMES IN THIS AREA");
}

TEST(WarningLines, OddlyBrokenMessages) {
    EXPECT_EQ(Cut("\r\nSECOND").first, "");
    EXPECT_EQ(Cut("\r\nSECOND").second, "") << "a message that begins with a carriage return shows nothing";
    EXPECT_EQ(Cut("FIRST\nSECOND").first, "FIRST");
    EXPECT_EQ(Cut("FIRST\nSECOND").second, "") << "a bare line feed shows only the text before it";
    EXPECT_EQ(Cut("ONLY ONE").first, "ONLY ONE");
    EXPECT_EQ(Cut("ONLY ONE").second, "");
    EXPECT_EQ(Cut("LAST CR\r").first, "LAST CR");
    EXPECT_EQ(Cut("LAST CR\r").second, "");
    EXPECT_EQ(Cut("A\r\nB\r\nC").second, "B\r\nC") << "further line breaks belong to line 2";
    EXPECT_EQ(Cut("A\rXB").second, "B") << "the byte after the carriage return is skipped whatever it is";
    EXPECT_EQ(Cut("A\rX").second, "");
    EXPECT_EQ(Cut("\xc4rger\r\n\xdc").first, "\xc4rger");
    EXPECT_EQ(Cut("\xc4rger\r\n\xdc").second, "\xdc");
}

TEST(WarningLines, LongLinesAreCutTo127Characters) {
    const std::string longLine(600, 'W');
    const Lines lines = Cut(longLine + "\r\n" + std::string(300, 'X') + "Y");
    EXPECT_EQ(lines.first, std::string(127, 'W'));
    EXPECT_EQ(lines.second, std::string(127, 'X'));
}

TEST(LevelText, FormatsTheLevelWithOffsetAndWeighting) {
    EXPECT_EQ(FormatLevelText(72.4, 0, "dBA"), "72.4 dBA");
    EXPECT_EQ(FormatLevelText(0.0, 0, "dBA"), "0.0 dBA") << "0 is a reading";
    EXPECT_EQ(FormatLevelText(0.5, -4, "dBA"), "-3.5 dBA") << "a negative offset is no missing reading";
    EXPECT_EQ(FormatLevelText(85.3, 3, "dBC"), "88.3 dBC");
    EXPECT_EQ(FormatLevelText(108.9, 0, "---"), "108.9 ---");
    EXPECT_EQ(FormatLevelText(-1.0, 0, "dBA"), "---");
    EXPECT_EQ(FormatLevelText(-0.1, 10, "dBA"), "---") << "the test uses the level before the offset";
}

class Picture : public ::testing::Test {
protected:
    void SetUp() override {
        SetFactoryDefaults(settings_);
        shown_.CurrentLevel = 85.3;
        CopyFixedText(shown_.WeightingText, "dBA");
        CopyFixedText(shown_.DoseText, "6h 10m");
        CopyFixedText(shown_.FooterText, "Press shop, Hall 3");
    }
    Settings settings_;
    PaintCopy shown_;
};

TEST_F(Picture, ShowsTheCopiedValues) {
    settings_.LevelOffset = -2;
    const MeterPicture picture = MakeMeterPicture(shown_, settings_);
    EXPECT_EQ(picture.LevelText, "83.3 dBA");
    EXPECT_EQ(picture.DoseText, "6h 10m");
    EXPECT_EQ(picture.FooterText, "Press shop, Hall 3");
    EXPECT_TRUE(picture.DisplayWarning);
    EXPECT_STREQ(picture.WarningLine1, "WEAR HEARING PROTECTION AT");
    EXPECT_STREQ(picture.WarningLine2, "ALL TIMES IN THIS AREA");
}

TEST_F(Picture, LevelKeepsItsDecimalPointWhateverTheLocale) {
    const ProcessLocale german(GermanLocale);
    ASSERT_TRUE(german.Active()) << GermanLocale << " is not generated";
    EXPECT_EQ(MakeMeterPicture(shown_, settings_).LevelText, "85.3 dBA");
}

TEST_F(Picture, NoReadingShowsDashesForLevelAndDose) {
    shown_.CurrentLevel = -1.0;
    const MeterPicture picture = MakeMeterPicture(shown_, settings_);
    EXPECT_EQ(picture.LevelText, "---");
    EXPECT_EQ(picture.DoseText, "---") << "whatever the copied dose text holds";
    EXPECT_EQ(picture.FooterText, "Press shop, Hall 3");
}

TEST_F(Picture, BannerFollowsTheSettings) {
    settings_.DisplayWarning = 0;
    CopyFixedText(settings_.WarningMessage, "KEEP OUT");
    const MeterPicture picture = MakeMeterPicture(shown_, settings_);
    EXPECT_FALSE(picture.DisplayWarning);
    EXPECT_STREQ(picture.WarningLine1, "KEEP OUT");
    EXPECT_STREQ(picture.WarningLine2, "");
}

TEST_F(Picture, UnterminatedTextsAreReadWithinTheirArrays) {
    std::memset(shown_.FooterText, 'F', sizeof shown_.FooterText);
    std::memset(settings_.WarningMessage, 'M', sizeof settings_.WarningMessage);
    const MeterPicture picture = MakeMeterPicture(shown_, settings_);
    EXPECT_EQ(picture.FooterText, std::string(sizeof shown_.FooterText - 1, 'F'));
    EXPECT_EQ(picture.WarningLine1, std::string(127, 'M'));
}

}  // namespace
