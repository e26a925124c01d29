#pragma once
// The meter view's fonts: one template ("Veranda", the heaviest weight, antialiased, a
// character height in pixels) and the fitting of a font to a target width in steps of 4.

#include <QFont>
#include <QString>

#include <memory>

class QFontMetrics;
class QPaintDevice;

// An owning font slot of the view; empty means no font.
using FontSlot = std::unique_ptr<QFont>;

inline constexpr char ViewFontFace[] = "Veranda";
// Fitting gives up at these heights: below the smallest nothing is readable, and the
// largest keeps a text that never gets wider (an empty one) from growing without end.
inline constexpr int MinimumFontHeight = 4;
inline constexpr int MaximumFontHeight = 4096;
inline constexpr int FontHeightStep = 4;

// Replaces the slot's font by one of the template with the given pixel height; returns it.
QFont& CreateViewFont(int height, FontSlot& slot);

// The height the slot's font was made with; 0 for an empty slot.
int FontHeight(const FontSlot& slot);

// The view lays its texts out character by character: each character (Latin-1, and the letters a translation brings)
// advances by its own whole-pixel width, without kerning, so that a text is as wide as
// its characters and its glyphs can be drawn one by one. The width of `text` so laid out
// in the font of `metrics`.
int TextWidth(const QFontMetrics& metrics, const QString& text);

// The width of `text` in `font` as the view lays it out on `device`.
int MeasureTextWidth(const QFont& font, const QPaintDevice* device, const QString& text);

// Replaces the slot's font by one whose rendering of `text` on `device` is narrower than
// `target`, moving the height in steps of 4 from where it is: a text that is too wide tries
// current + 4, current, current - 4, ... and takes the first that fits (the smallest tried,
// not below MinimumFontHeight, when none does); a text that fits grows while the next
// height still fits (up to MaximumFontHeight).
void FitFontToWidth(const QPaintDevice* device, FontSlot& slot, const QString& text, int target);
