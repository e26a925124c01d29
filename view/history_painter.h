#pragma once
// The history picture in the meter picture's look: the same white client and rounded panel,
// white texts in the view's face, and the title where the meter's footer stands. The upper
// part of the panel holds the chart of the minutes' Leq against the local time of day, the
// lower part the figures in large type.

#include "view/glyph_cache.h"
#include "view/history_picture.h"
#include "view/meter_painter.h"
#include "view/view_fonts.h"

#include <QColor>
#include <QRect>
#include <QSize>

class QPaintDevice;
class QPainter;

// Tints of the panel colour towards white: the chart's grid and the minutes' bars.
inline const QColor GridColor(130, 200, 252);
inline const QColor BarColor(183, 224, 253);

// The history picture's own fonts, made for one client size.
struct HistoryFonts {
    FontSlot FigureFont;  // the figures: the largest that fits four lines and the panel's width
    FontSlot ScaleFont;   // the chart's labels: a share of the client's height
    QSize FittedFor;      // the client size they were made for
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
    // panel, the chart (grid, hour marks, one bar per recorded minute, the dashed criterion
    // line at 85 dB), the figures or the text saying there are none, and the title in
    // `footerFont`. Every pixel is drawn from scratch.
    void Draw(QPainter& painter, int width, int height, const QFont& footerFont, const HistoryFonts& fonts,
              const HistoryPicture& picture);

private:
    class ChartAxes;  // where a time and a level stand in the chart
    void DrawChart(QPainter& painter, const QRect& chart, const QFont& scaleFont, const HistoryPicture& picture);
    void DrawHourMarks(QPainter& painter, const ChartAxes& axes, const QFont& scaleFont,
                       const std::vector<HourMark>& hours);
    void DrawFigures(QPainter& painter, const HistoryLayout& layout, const HistoryFonts& fonts,
                     const HistoryPicture& picture);

    GlyphCache glyphs_;
};
