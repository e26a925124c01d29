#pragma once
// The history picture in the meter picture's look: the same white client and rounded panel,
// white texts in the view's face, and the title where the meter's footer stands. The upper
// part of the panel holds the chart of the minutes' Leq against the local time of day, the
// lower part the figures in large type.

#include "chart/history_chart.h"
#include "chart/history_picture.h"
#include "view/glyph_cache.h"
#include "view/meter_painter.h"
#include "view/view_fonts.h"

#include <QColor>
#include <QRect>
#include <QSize>

#include <string>

class QPaintDevice;
class QPainter;

// The history picture's own fonts, made for one client size.
struct HistoryFonts {
    FontSlot FigureFont;   // the figures: the largest that fits four lines and the panel's width
    FontSlot ScaleFont;    // the chart's labels: a share of the client's height
    QSize FittedFor;       // the client size they were made for
    std::string Language;  // and the display language
};

// Remakes both fonts for a width x height client on `device`, unless they are made for it.
void FitHistoryFonts(const QPaintDevice* device, int width, int height, HistoryFonts& fonts);

// Where the parts stand, for a client and its scale font.
struct HistoryLayout {
    PanelRect Panel;     // the meter picture's panel
    QRect Chart;         // the plot area: time runs left to right, the level bottom to top
    QRect Figures;       // four lines of figures, one above the other
    int LineHeight = 0;  // of one figure line
};

HistoryLayout ComputeHistoryLayout(const QPaintDevice* device, int width, int height, const QFont& scaleFont);

class HistoryPainter {
public:
    // Draws the whole picture for a width x height client into `painter`: background and
    // panel, the history chart (chart/history_chart.h, the report's own), the figures or the text saying there are
    // none, and the title in `footerFont`. Every pixel is drawn from scratch.
    void Draw(QPainter& painter, int width, int height, const QFont& footerFont, const HistoryFonts& fonts,
              const HistoryPicture& picture);

private:
    void DrawFigures(QPainter& painter, const HistoryLayout& layout, const HistoryFonts& fonts,
                     const HistoryPicture& picture);

    GlyphCache glyphs_;
};
