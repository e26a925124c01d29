#pragma once
// The picture of the meter view: where everything stands for a client size, and the
// drawing of one whole picture into a painter.

#include "monitor/meter_picture.h"
#include "view/glyph_cache.h"
#include "view/view_fonts.h"
#include "view/wall_texts.h"

#include <QColor>
#include <QPoint>
#include <QRegion>

#include <utility>
#include <vector>

class QPaintDevice;
class QPainter;

inline const QColor BackgroundColor(255, 255, 255);
inline const QColor PanelColor(76, 177, 251);
inline const QColor TextColor(255, 255, 255);

inline constexpr int PanelMargin = 16;        // left, top and right of the panel
inline constexpr int PanelBottomMargin = 32;  // under the panel, where the footer stands
inline constexpr int PanelCornerSize = 32;    // width and height of the corner ellipse
inline constexpr int ColumnGap = 16;          // labels end and values start this far from X
inline constexpr int FooterRise = 24;         // the footer's top is this far above the bottom

// The panel's corners; right and bottom are exclusive.
struct PanelRect {
    int Left, Top, Right, Bottom;
};

// Positions for a client of width W and height H; every division truncates toward zero.
struct MeterLayout {
    int X;   // the column: trunc(W * 0.35)
    int Y1;  // the level's row
    int Y2;  // the dose's row
    PanelRect Panel;
    int FooterTop;
};

MeterLayout ComputeLayout(int width, int height, bool displayWarning);

// White where the panel does not cover a width x height client, then the rounded panel.
void DrawBackgroundAndPanel(QPainter& painter, int width, int height, const PanelRect& panel);

struct ViewFonts {
    FontSlot LabelFont;
    FontSlot LevelFont;
    FontSlot WarningFont;
    FontSlot FooterFont;
};

// The widths the three fitted fonts' sample texts (WallTexts) must stay under.
struct FitTargets {
    int Label;    // the widest label, "Current sound level" in English: X - 48
    int Level;    // "108.9 dBA" and the time to the limit: W - X - 48
    int Warning;  // "WEAR HEARING PROTECTION AT": 7W / 8
};

FitTargets ComputeFitTargets(int width);

// Refits the label, level and banner fonts to a client `width` on `device`: each to its first
// sample as the English picture has always had it (LevelLabel, LevelSample, WarningSample),
// then smaller while another of its texts in the language (a longer dose label, a longer time
// to the limit, a longer second banner line) does not fit.
void FitWallFonts(const QPaintDevice* device, int width, const WallTexts& texts, ViewFonts& fonts);

// Draws pictures of the meter, keeping the rendered texts from one to the next.
class MeterPainter {
public:
    // The fixed texts in the display language; English until set.
    void SetTexts(WallTexts texts) { texts_ = std::move(texts); }
    const WallTexts& Texts() const { return texts_; }

    // Where each text of the picture stands, in this order: the labels, level, dose, banner
    // lines (when shown) and footer, the last.
    std::vector<QRect> TextBoxes(const QPaintDevice* device, int width, int height, const ViewFonts& fonts,
                                 const MeterPicture& picture) const;

    // Draws the whole picture for a width x height client into `painter`, which must be on
    // a device at least that large: background, panel, labels, values, banner and footer.
    // Every pixel is drawn from scratch, so a painter clipped to a part of the client
    // draws that part exactly as the whole picture has it.
    void Draw(QPainter& painter, int width, int height, const ViewFonts& fonts, const MeterPicture& picture);

    // The pixels of a width x height client in which `next` differs from `shown`, both
    // drawn in `fonts` on `device`: where the level, dose and footer texts that changed
    // stand, before and after, or the whole client when the banner changed.
    QRegion ChangedArea(const QPaintDevice* device, int width, int height, const ViewFonts& fonts,
                        const MeterPicture& shown, const MeterPicture& next);

private:
    // A text where the picture draws it.
    struct PlacedText {
        const QFont* Font = nullptr;
        QColor Colour;
        QPoint TopLeft;
        QString Text;
    };
    struct PlacedTexts {
        std::vector<PlacedText> Labels;
        std::vector<PlacedText> Banner;  // empty without the banner
        PlacedText Level, Dose, Footer;
    };
    PlacedTexts PlaceTexts(const QPaintDevice* device, int width, int height, const ViewFonts& fonts,
                           const MeterPicture& picture) const;

    WallTexts texts_ = WallTexts::Translated();
    GlyphCache glyphs_;
};
