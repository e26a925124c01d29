// The meter's layout and its picture, drawn off screen at 800 x 600 and probed.
#include "view/meter_painter.h"

#include "platform/sys/fixed_text.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr int W = 800;
constexpr int H = 600;

TEST(MeterLayout, WorkedExamplesWithAndWithoutBanner) {
    struct Case {
        bool banner;
        int y1, y2;
    };
    for (const Case& c : {Case{true, 126, 300}, Case{false, 200, 384}}) {
        SCOPED_TRACE(c.banner ? "banner" : "no banner");
        const MeterLayout layout = ComputeLayout(W, H, c.banner);
        EXPECT_EQ(layout.X, 280);
        EXPECT_EQ(layout.Y1, c.y1);
        EXPECT_EQ(layout.Y2, c.y2);
        EXPECT_EQ(layout.Panel.Left, 16);
        EXPECT_EQ(layout.Panel.Top, 16);
        EXPECT_EQ(layout.Panel.Right, 784);
        EXPECT_EQ(layout.Panel.Bottom, 568);
        EXPECT_EQ(layout.FooterTop, 576);
    }
}

TEST(MeterLayout, DivisionsTruncateTowardZero) {
    const MeterLayout odd = ComputeLayout(1001, 777, true);
    EXPECT_EQ(odd.X, 350);            // 350.35
    EXPECT_EQ(odd.Y1, 16 + 729 / 5);  // 161
    EXPECT_EQ(odd.Y2, 388);
    const MeterLayout tiny = ComputeLayout(10, 40, false);
    EXPECT_EQ(tiny.X, 3);
    EXPECT_EQ(tiny.Y1, 16 + (-8 / 3));  // -2 truncates to 16 - 2
    EXPECT_EQ(tiny.Y2, 16 + 2 * (-8 / 3));
    EXPECT_EQ(ComputeLayout(3, 0, true).Y1, 16 + (-48 / 5));
}

TEST(MeterLayout, FitTargetsOfTheWorkedExample) {
    const FitTargets targets = ComputeFitTargets(W);
    EXPECT_EQ(targets.Label, 232);
    EXPECT_EQ(targets.Level, 472);
    EXPECT_EQ(targets.Warning, 700);
    EXPECT_EQ(ComputeFitTargets(3840).Level, 3840 - 1344 - 48);
}

// An 800 x 600 picture drawn with the fonts fitted to that width and a level of 72.4 dBA.
class MeterImage : public ::testing::Test {
protected:
    void SetUp() override {
        CreateViewFont(32, fonts_.LabelFont);
        CreateViewFont(40, fonts_.LevelFont);
        CreateViewFont(32, fonts_.WarningFont);
        CreateViewFont(12, fonts_.FooterFont);
        const QImage device(1, 1, QImage::Format_RGB32);
        FitWallFonts(&device, W, WallTexts::Translated(), fonts_);
        picture_.LevelText = "72.4 dBA";
        picture_.DoseText = "2h 31m";
        picture_.FooterText = "Press shop, Hall 3";
        picture_.DisplayWarning = true;
        CopyFixedText(picture_.WarningLine1, "WEAR HEARING PROTECTION AT");
        CopyFixedText(picture_.WarningLine2, "ALL TIMES IN THIS AREA");
    }

    QImage Draw() const {
        QImage image(W, H, QImage::Format_RGB32);
        image.fill(Qt::black);  // whatever was there before must be covered
        QPainter painter(&image);
        MeterPainter().Draw(painter, W, H, fonts_, picture_);
        return image;
    }

    static int CountPixels(const QImage& image, const QRect& area, QRgb colour) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
        return count;
    }

    // The box a text of the given font takes with its top-left corner at (left, top).
    static QRect TextBox(const FontSlot& font, const std::string& text, int left, int top) {
        const QFontMetrics metrics(*font);
        return {left, top, TextWidth(metrics, QString::fromLatin1(text.c_str())), metrics.height()};
    }

    int LevelTextHeight() const { return QFontMetrics(*fonts_.LevelFont).height(); }
    int WarningTextHeight() const { return QFontMetrics(*fonts_.WarningFont).height(); }

    const QRgb white_ = qRgb(255, 255, 255);
    const QRgb panel_ = qRgb(76, 177, 251);
    ViewFonts fonts_;
    MeterPicture picture_;
};

TEST_F(MeterImage, WhiteOutsideThePanelAndPanelColourInside) {
    const QImage image = Draw();
    for (const QPoint corner : {QPoint(0, 0), QPoint(W - 1, 0), QPoint(0, H - 1), QPoint(W - 1, H - 1)})
        EXPECT_EQ(image.pixel(corner), white_) << corner.x() << "," << corner.y();
    EXPECT_EQ(image.pixel(16, 16), white_) << "the panel's corners are rounded";
    EXPECT_EQ(image.pixel(783, 567), white_);
    EXPECT_EQ(image.pixel(15, 300), white_);
    EXPECT_EQ(image.pixel(784, 300), white_);
    EXPECT_EQ(image.pixel(400, 15), white_);
    EXPECT_EQ(image.pixel(400, 568), white_);
    EXPECT_EQ(image.pixel(16, 300), panel_);
    EXPECT_EQ(image.pixel(783, 300), panel_);
    EXPECT_EQ(image.pixel(400, 16), panel_);
    EXPECT_EQ(image.pixel(400, 567), panel_);
    EXPECT_EQ(image.pixel(24, 24), panel_) << "inside the corner's curve";
    EXPECT_EQ(CountPixels(image, QRect(20, 250, 5, 100), panel_), 500);
}

TEST_F(MeterImage, LevelTextStandsRightOfTheColumnInWhite) {
    const QImage image = Draw();
    const int h = LevelTextHeight();
    const QRect level = TextBox(fonts_.LevelFont, picture_.LevelText, 280 + 16, 126 - h / 2);
    EXPECT_GT(CountPixels(image, level, white_), level.width() * level.height() / 10);
    // Nothing but panel between the column and the value, or after the value.
    EXPECT_EQ(CountPixels(image, QRect(281, level.top(), 14, h), panel_), 14 * h);
    EXPECT_EQ(CountPixels(image, QRect(level.right() + 4, level.top(), 40, h), panel_), 40 * h);
}

TEST_F(MeterImage, LabelsEndLeftOfTheColumn) {
    const QImage image = Draw();
    const int h = QFontMetrics(*fonts_.LabelFont).height();
    const QRect gap(280 - 16 + 2, 126 - h / 2, 14 + 16, h);  // from just after X - 16 to X + 16
    EXPECT_EQ(CountPixels(image, gap, panel_), gap.width() * gap.height());
    const QRect label = TextBox(fonts_.LabelFont, "Current sound level", 0, 126 - h / 2);
    const QRect labelArea(280 - 16 - label.width(), label.top(), label.width(), h);
    EXPECT_GT(CountPixels(image, labelArea, white_), labelArea.width() * h / 20);
    const QRect doseLabels(280 - 16 - 150, 300 - h, 150, 2 * h);
    EXPECT_GT(CountPixels(image, doseLabels, white_), 150 * h / 10);
}

TEST_F(MeterImage, BannerOnlyWhenDisplayWarningIsSet) {
    const int h = WarningTextHeight();
    const QRect banner(32, H - 3 * h, W - 64, 568 - (H - 3 * h));
    EXPECT_GT(CountPixels(Draw(), banner, white_), 500);

    picture_.DisplayWarning = false;
    const QImage plain = Draw();
    const int belowDose = 384 + LevelTextHeight();
    const QRect lowerPanel(32, belowDose, W - 64, 560 - belowDose);
    EXPECT_EQ(CountPixels(plain, lowerPanel, panel_), lowerPanel.width() * lowerPanel.height())
        << "no banner is drawn, whatever the message holds";
}

TEST_F(MeterImage, OneLineBannerLeavesTheSecondLineEmpty) {
    picture_.WarningLine2[0] = '\0';
    const QImage image = Draw();
    const int h = WarningTextHeight();
    EXPECT_GT(CountPixels(image, QRect(32, H - 3 * h, W - 64, h), white_), 500);
    const QRect secondLine(32, H - 2 * h + 2, W - 64, 568 - (H - 2 * h + 2));
    EXPECT_EQ(CountPixels(image, secondLine, panel_), secondLine.width() * secondLine.height());
}

TEST_F(MeterImage, FooterInPanelColourUnderThePanel) {
    const QImage image = Draw();
    const QRect footerRow(0, 576, W, QFontMetrics(*fonts_.FooterFont).height());
    const int white = CountPixels(image, footerRow, white_);
    EXPECT_LT(white, footerRow.width() * footerRow.height()) << "no footer text";
    EXPECT_GT(CountPixels(image, footerRow, panel_), 20) << "the footer's solid pixels are PanelColor";
    // Centred: as much of it left of the middle as right of it.
    const int left = footerRow.width() / 2 * footerRow.height() -
                     CountPixels(image, QRect(0, 576, W / 2, footerRow.height()), white_);
    const int right =
        (W - W / 2) * footerRow.height() - CountPixels(image, QRect(W / 2, 576, W - W / 2, footerRow.height()), white_);
    EXPECT_NEAR(left, right, (left + right) / 4);
}

TEST_F(MeterImage, NoReadingDrawsDashesInsteadOfTheLevel) {
    const QImage reading = Draw();
    picture_.LevelText = "---";
    const QImage dashes = Draw();
    const int h = LevelTextHeight();
    const QRect level = TextBox(fonts_.LevelFont, "72.4 dBA", 296, 126 - h / 2);
    EXPECT_LT(CountPixels(dashes, level, white_), CountPixels(reading, level, white_) / 2);
    EXPECT_GT(CountPixels(dashes, level, white_), 0);
}

}  // namespace
