// Texts drawn from cached glyphs look as if each character were drawn in its place.
#include "view/glyph_cache.h"

#include "view/view_fonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// The largest difference of one colour channel between two images of one size.
int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (const int shift : {0, 8, 16})
                largest = std::max(
                    largest, std::abs(int((a.pixel(x, y) >> shift) & 0xff) - int((b.pixel(x, y) >> shift) & 0xff)));
    return largest;
}

class Glyphs : public ::testing::Test {
protected:
    Glyphs() {
        CreateViewFont(120, font_);
        CreateViewFont(20, small_);
    }

    QImage Blank() const {
        QImage image(900, 200, QImage::Format_RGB32);
        image.fill(QColor(76, 177, 251));
        return image;
    }

    // The reference: every character drawn by itself where the layout puts it.
    QImage DrawnCharacterByCharacter(const QString& text, QPoint topLeft) const {
        QImage image = Blank();
        QPainter painter(&image);
        painter.setFont(*font_);
        painter.setPen(Qt::white);
        const QFontMetrics metrics(*font_);
        int x = topLeft.x();
        for (const QChar character : text) {
            painter.drawText(QPoint(x, topLeft.y() + metrics.ascent()), QString(character));
            x += metrics.horizontalAdvance(character);
        }
        return image;
    }

    QImage DrawnFromCache(GlyphCache& cache, const QString& text, QPoint topLeft) const {
        QImage image = Blank();
        QPainter painter(&image);
        cache.Draw(painter, *font_, Qt::white, topLeft, text);
        return image;
    }

    FontSlot font_;
    FontSlot small_;
};

TEST_F(Glyphs, LookLikeTheCharactersDrawnInPlace) {
    GlyphCache cache;
    const QString text = QString::fromLatin1("87.3 dBA \xc4g");
    const QImage first = DrawnFromCache(cache, text, QPoint(10, 20));
    EXPECT_LE(LargestDifference(first, DrawnCharacterByCharacter(text, QPoint(10, 20))), 8);
    const QImage again = DrawnFromCache(cache, text, QPoint(10, 20));
    EXPECT_EQ(again, first) << "the cached glyphs draw the same picture";
    EXPECT_NE(first, Blank());
}

TEST_F(Glyphs, WidthIsTheSumOfTheCharacterAdvances) {
    const QFontMetrics metrics(*font_);
    const QString text = QStringLiteral("WAVE 1.0");
    int sum = 0;
    for (const QChar character : text)
        sum += metrics.horizontalAdvance(character);
    EXPECT_EQ(TextWidth(metrics, text), sum);
    EXPECT_EQ(TextWidth(metrics, QString()), 0);
}

TEST_F(Glyphs, KeepsOnlyTheFontsOfTheLastPicture) {
    GlyphCache cache;
    QImage image = Blank();
    QPainter painter(&image);
    cache.Draw(painter, *font_, Qt::white, QPoint(0, 0), QStringLiteral("1"));
    cache.Draw(painter, *small_, Qt::white, QPoint(0, 0), QStringLiteral("1"));
    cache.Draw(painter, *small_, QColor(76, 177, 251), QPoint(0, 0), QStringLiteral("1"));
    cache.EndPicture();
    EXPECT_EQ(cache.FontCount(), 3);
    cache.Draw(painter, *font_, Qt::white, QPoint(0, 0), QStringLiteral("2"));
    cache.EndPicture();
    EXPECT_EQ(cache.FontCount(), 1);
    cache.Draw(painter, *small_, Qt::white, QPoint(0, 0), QString());
    cache.EndPicture();
    EXPECT_EQ(cache.FontCount(), 0) << "an empty text uses no font";
}

}  // namespace
