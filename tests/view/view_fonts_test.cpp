// The view's font template and the fitting of a font to a width in steps of 4.
#include "view/view_fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

namespace {

class FontFitting : public ::testing::Test {
protected:
    // Measured independently of the code under test, on the same kind of device.
    int WidthAt(int height, const QString& text) const {
        QFont font(QString::fromLatin1(ViewFontFace));
        font.setPixelSize(height);
        font.setWeight(QFont::Black);
        return TextWidth(QFontMetrics(font, &device_), text);
    }

    // The fitted height is a multiple of 4 whose text fits, and the next step does not.
    void ExpectLargestFittingHeight(const FontSlot& slot, const QString& text, int target) const {
        const int height = FontHeight(slot);
        EXPECT_EQ(height % FontHeightStep, 0) << height;
        EXPECT_LT(WidthAt(height, text), target) << "height " << height << " does not fit";
        EXPECT_GE(WidthAt(height + FontHeightStep, text), target) << "height " << height + 4 << " would fit too";
        EXPECT_EQ(MeasureTextWidth(*slot, &device_, text), WidthAt(height, text));
    }

    QImage device_{16, 16, QImage::Format_RGB32};
    const QString sample_ = QStringLiteral("WEAR HEARING PROTECTION AT");
};

TEST_F(FontFitting, TemplateIsTheHeaviestVerandaAtThePixelHeight) {
    FontSlot slot;
    const QFont& font = CreateViewFont(40, slot);
    EXPECT_EQ(&font, slot.get());
    EXPECT_EQ(FontHeight(slot), 40);
    EXPECT_EQ(font.pixelSize(), 40);
    EXPECT_EQ(font.weight(), QFont::Black);
    EXPECT_TRUE(font.styleStrategy() & QFont::PreferAntialias);
    const QFontInfo resolved(font);
    EXPECT_EQ(resolved.family(), QStringLiteral("Veranda")) << "fonts-arkpandora is not installed";
    EXPECT_TRUE(resolved.bold());
    CreateViewFont(12, slot);
    EXPECT_EQ(FontHeight(slot), 12);
    EXPECT_EQ(FontHeight(FontSlot{}), 0);
}

TEST_F(FontFitting, GrowsOrShrinksToTheLargestMultipleOfFourThatFits) {
    const int at32 = WidthAt(32, sample_);
    const int at40 = WidthAt(40, sample_);
    const std::pair<int, int> cases[] = {
        {32, at32 + 1}, {32, at32 + 60}, {32, 2 * at32}, {32, 7 * at32},  // start height, target: growing
        {40, at40 / 4}, {40, at40 / 2},  {40, at40 - 1},                  // shrinking
    };
    for (const auto& [height, target] : cases) {
        SCOPED_TRACE(testing::Message() << "from " << height << " to width " << target);
        FontSlot slot;
        CreateViewFont(height, slot);
        FitFontToWidth(&device_, slot, sample_, target);
        ExpectLargestFittingHeight(slot, sample_, target);
    }
}

TEST_F(FontFitting, ExactWidthStaysWhenGrowingButIsNotTakenWhenShrinking) {
    const int exact = WidthAt(32, sample_);
    FontSlot slot;
    CreateViewFont(32, slot);
    const QFont* before = slot.get();
    FitFontToWidth(&device_, slot, sample_, exact);
    EXPECT_EQ(slot.get(), before) << "the slot keeps its font when the next height is too wide";
    EXPECT_EQ(FontHeight(slot), 32);

    CreateViewFont(36, slot);
    FitFontToWidth(&device_, slot, sample_, exact);
    EXPECT_LT(FontHeight(slot), 32);
    EXPECT_LT(WidthAt(FontHeight(slot), sample_), exact);
}

TEST_F(FontFitting, StopsAtTheSmallestHeightWhenNothingFits) {
    for (const int target : {0, -200}) {
        FontSlot slot;
        CreateViewFont(32, slot);
        FitFontToWidth(&device_, slot, sample_, target);
        ASSERT_TRUE(slot);
        EXPECT_EQ(FontHeight(slot), MinimumFontHeight);
    }
}

TEST_F(FontFitting, TextThatNeverWidensStopsAtTheLargestHeight) {
    FontSlot slot;
    CreateViewFont(32, slot);
    FitFontToWidth(&device_, slot, QString(), 100);
    EXPECT_EQ(FontHeight(slot), MaximumFontHeight);
}

TEST_F(FontFitting, EmptySlotGrowsFromNothing) {
    FontSlot slot;
    FitFontToWidth(&device_, slot, sample_, 500);
    ASSERT_TRUE(slot);
    ExpectLargestFittingHeight(slot, sample_, 500);
}

}  // namespace
