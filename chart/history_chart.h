#pragma once
// The history chart: the minutes' Leq against the local time of day, one bar per recorded
// minute with the minutes without a record left empty, the dB grid and the hour marks with
// their labels, the shifts' boundaries as solid lines, and the dose's criterion as a dashed
// line at 85 dB(A); minutes of another weighting than A in a colour of their own. Drawn onto any QPainter,
// the wall's screen and the report's PDF alike, so that the two cannot drift apart.

#include "chart/history_picture.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>

class QFont;
class QFontMetrics;
class QPainter;

// How the chart's texts are measured and drawn: the wall from its cached glyphs, the report
// as the PDF's own text.
class ChartText {
public:
    virtual ~ChartText() = default;
    virtual int Width(const QFontMetrics& metrics, const QString& text) = 0;
    // Draws `text` with the top-left corner of its box at `topLeft`.
    virtual void Draw(QPainter& painter, const QFont& font, const QColor& colour, QPoint topLeft,
                      const QString& text) = 0;
};

// Text drawn by the painter itself: outlines on the screen, text in a PDF.
class PainterText final : public ChartText {
public:
    int Width(const QFontMetrics& metrics, const QString& text) override;
    void Draw(QPainter& painter, const QFont& font, const QColor& colour, QPoint topLeft, const QString& text) override;
};

// The wall's chart stands on its blue panel: the grid and the bars are tints of the panel
// colour towards white.
inline const QColor GridColor(130, 200, 252);
inline const QColor BarColor(183, 224, 253);
inline const QColor OtherBarColor(253, 214, 150);  // minutes of another weighting: warm against the blue

struct ChartColors {
    QColor Grid;
    QColor Bar;
    QColor Text;      // the labels, the time axis and the criterion line
    QColor OtherBar;  // minutes of another weighting than A
};

// The widest label of the scale that the room beside the chart is made for.
inline constexpr char ChartScaleSample[] = "100";

// Draws the chart of `picture` into the plot area `chart` (time left to right, level bottom
// to top), its labels outside it, in `scaleFont`: the scale's left of it (in the width of
// ChartScaleSample) with the axis's name above them (within one and a half lines of the font
// above the chart), the criterion's right of it, and the hours' under it. No two labels
// overlap: the scale's are thinned out when the chart is low, and the hours' kept within the
// chart's width and left out where one would touch the one before. Nothing for an empty area
// or window.
void DrawHistoryChart(QPainter& painter, const QRect& chart, const QFont& scaleFont, const HistoryPicture& picture,
                      const ChartColors& colors, ChartText& text);

// The chart's legend on one line of `font` from `topLeft`: a swatch and a name for the minutes of
// each weighting shown, for the shifts' boundaries and for the criterion's line.
void DrawChartLegend(QPainter& painter, QPoint topLeft, const QFont& font, const HistoryPicture& picture,
                     const ChartColors& colors, ChartText& text);

// `prefix`, the meter's `name` and its `address` fitted into `width`: "History of NAME
// (ADDRESS)", the name cut short with "..." as far as it must be, then left out, then the
// prefix too; the address is always whole. "PREFIXADDRESS" when there is no name.
QString FitMeterTitle(ChartText& text, const QFontMetrics& metrics, int width, const QString& prefix,
                      const QString& name, const QString& address);
