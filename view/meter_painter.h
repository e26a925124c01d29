#pragma once
// The picture of the meter view: where everything stands for a client size, and the
// drawing of one whole picture into a painter.

#include "monitor/meter_picture.h"
#include "view/glyph_cache.h"
#include "view/view_fonts.h"

#include <QColor>
#include <QPoint>
#include <QRegion>

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

// The widths the three fitted fonts' sample texts must stay under.
struct FitTargets {
    int Label;    // "Current sound level": X - 48
    int Level;    // "108.9 dBA": W - X - 48
    int Warning;  // "WEAR HEARING PROTECTION AT": 7W / 8
};

FitTargets ComputeFitTargets(int width);

inline constexpr char LevelLabel[] = "Current sound level";
inline constexpr char DoseLabel1[] = "Safe noise dosage";
inline constexpr char DoseLabel2[] = "limit is exceeded in";
inline constexpr char LevelSample[] = "108.9 dBA";
inline constexpr char WarningSample[] = "WEAR HEARING PROTECTION AT";

struct ViewFonts {
    FontSlot LabelFont;
    FontSlot LevelFont;
    FontSlot WarningFont;
    FontSlot FooterFont;
};

// Draws pictures of the meter, keeping the rendered texts from one to the next.
class MeterPainter {
public:
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
    static PlacedTexts PlaceTexts(const QPaintDevice* device, int width, int height, const ViewFonts& fonts,
                                  const MeterPicture& picture);

    GlyphCache glyphs_;
};
