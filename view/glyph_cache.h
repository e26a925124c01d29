#pragma once
// The meter's texts drawn from glyphs rendered once per font and colour and then kept:
// large glyphs are otherwise rasterised from their outlines at every draw, which costs far
// more than blending a finished image. The layout is TextWidth's (view_fonts.h).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <map>
#include <unordered_map>
#include <utility>

class QPainter;

class GlyphCache {
public:
    // Draws `text` in `font` and `colour` with the top-left corner of its box at `topLeft`
    // (the baseline lies the font's ascent below it).
    void Draw(QPainter& painter, const QFont& font, const QColor& colour, QPoint topLeft, const QString& text);
    // The pixels that Draw of the same text touches: the union of its glyphs' images.
    QRect InkBounds(const QFont& font, const QColor& colour, QPoint topLeft, const QString& text);

    // Ends a picture: forgets the fonts that were not drawn with since the last call, so
    // that the cache holds the glyphs of one picture's fonts only.
    void EndPicture();

    int FontCount() const { return static_cast<int>(fonts_.size()); }

private:
    struct Glyph {
        bool rendered = false;
        QImage image;   // premultiplied coverage times colour; null for a glyph without ink
        QPoint offset;  // of the image's top-left from the glyph's box top-left
    };
    struct FontGlyphs {
        Glyph& Of(QChar character) {
            return character.unicode() < glyphs.size() ? glyphs[character.unicode()] : others[character.unicode()];
        }
        std::array<Glyph, 256> glyphs;               // by Latin-1 code
        std::unordered_map<char16_t, Glyph> others;  // the rest, as a translation brings them (Polish)
        bool used = true;
    };
    using Key = std::pair<QString, QRgb>;  // font key, colour

    static Glyph Render(const QFont& font, const QColor& colour, QChar character);
    // Calls visit(glyph, its image's top-left) for each glyph of `text` laid out from
    // `topLeft`, rendering the glyphs not yet cached.
    template <typename Visit>
    void ForEachGlyph(const QFont& font, const QColor& colour, QPoint topLeft, const QString& text, Visit visit);

    std::map<Key, FontGlyphs> fonts_;
};
