#include "view/glyph_cache.h"

#include "view/view_fonts.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
// Antialiasing and bold outlines may reach a little beyond the measured ink.
constexpr int InkMargin = 2;
}  // namespace

GlyphCache::Glyph GlyphCache::Render(const QFont& font, const QColor& colour, QChar character) {
    Glyph glyph;
    glyph.rendered = true;
    const QFontMetrics metrics(font);
    const QRect ink = metrics.boundingRect(character).translated(0, metrics.ascent());
    if (ink.isEmpty())
        return glyph;
    const QRect area = ink.adjusted(-InkMargin, -InkMargin, InkMargin, InkMargin);
    glyph.offset = area.topLeft();
    glyph.image = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
    glyph.image.fill(Qt::transparent);
    QPainter painter(&glyph.image);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPoint(-area.left(), metrics.ascent() - area.top()), QString(character));
    return glyph;
}

template <typename Visit>
void GlyphCache::ForEachGlyph(const QFont& font, const QColor& colour, QPoint topLeft, const QString& text,
                              Visit visit) {
    if (text.isEmpty())
        return;
    FontGlyphs& glyphs = fonts_[Key(font.key(), colour.rgba())];
    glyphs.used = true;
    const QFontMetrics metrics(font);
    QPoint pen = topLeft;
    for (const QChar character : text) {
        Glyph& glyph = glyphs.Of(character);
        if (!glyph.rendered)
            glyph = Render(font, colour, character);
        if (!glyph.image.isNull())
            visit(glyph, pen + glyph.offset);
        pen.rx() += metrics.horizontalAdvance(character);
    }
}

void GlyphCache::Draw(QPainter& painter, const QFont& font, const QColor& colour, QPoint topLeft, const QString& text) {
    ForEachGlyph(font, colour, topLeft, text,
                 [&](const Glyph& glyph, QPoint at) { painter.drawImage(at, glyph.image); });
}

QRect GlyphCache::InkBounds(const QFont& font, const QColor& colour, QPoint topLeft, const QString& text) {
    QRect bounds;
    ForEachGlyph(font, colour, topLeft, text,
                 [&](const Glyph& glyph, QPoint at) { bounds |= QRect(at, glyph.image.size()); });
    return bounds;
}

void GlyphCache::EndPicture() {
    for (auto entry = fonts_.begin(); entry != fonts_.end();) {
        if (entry->second.used) {
            entry->second.used = false;
            ++entry;
        } else {
            entry = fonts_.erase(entry);
        }
    }
}
