#include "view/view_fonts.h"

#include <QFontMetrics>
#include <QPaintDevice>

QFont& CreateViewFont(int height, FontSlot& slot) {
    slot.reset();
    auto font = std::make_unique<QFont>(QString::fromLatin1(ViewFontFace));
    font->setPixelSize(height);
    font->setWeight(QFont::Black);
    font->setStyleStrategy(QFont::PreferAntialias);
    slot = std::move(font);
    return *slot;
}

int FontHeight(const FontSlot& slot) {
    return slot ? slot->pixelSize() : 0;
}

int TextWidth(const QFontMetrics& metrics, const QString& text) {
    int width = 0;
    for (const QChar character : text)
        width += metrics.horizontalAdvance(character);
    return width;
}

int MeasureTextWidth(const QFont& font, const QPaintDevice* device, const QString& text) {
    return TextWidth(QFontMetrics(font, device), text);
}

void FitFontToWidth(const QPaintDevice* device, FontSlot& slot, const QString& text, int target) {
    const int current = FontHeight(slot);
    const int width = slot ? MeasureTextWidth(*slot, device, text) : 0;
    const auto fits = [&](const FontSlot& candidate) { return MeasureTextWidth(*candidate, device, text) < target; };

    FontSlot candidate;
    if (width > target) {
        for (int height = current + FontHeightStep; height >= MinimumFontHeight; height -= FontHeightStep) {
            CreateViewFont(height, candidate);
            if (fits(candidate))
                break;
        }
        // When nothing fitted, the candidate is the smallest height tried.
        slot = std::move(candidate);
        return;
    }
    for (int height = current + FontHeightStep; height <= MaximumFontHeight; height += FontHeightStep) {
        CreateViewFont(height, candidate);
        if (!fits(candidate))
            return;
        slot = std::move(candidate);
    }
}
