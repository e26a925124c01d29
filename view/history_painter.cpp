#include "view/history_painter.h"

#include "platform/qt/code_page.h"
#include "record/level_math.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

// The figure font fits the widest of these in the panel.
constexpr const char* FigureSamples[] = {"Loudest minute 108.9 dBA at 00:00", "No levels recorded in the last 24.0 h"};
constexpr char ScaleSample[] = "100";
constexpr char HourSample[] = "00:00";
constexpr int FigureLines = 4;
constexpr double ChartShare = 0.55;   // of the panel's inner height: the chart and its hour labels
constexpr int ScaleFontDivisor = 32;  // the scale font's height: the client's height / 32
constexpr int LabelledHourSteps[] = {1, 2, 3, 4, 6, 12};
constexpr qreal CriterionDash[] = {4, 3};  // in pen widths

int Padding(int width, int height) {
    return std::max(8, std::min(width, height) / 40);
}

int WidestFigureSample(const QFont& font, const QPaintDevice* device) {
    int widest = 0;
    for (const char* sample : FigureSamples)
        widest = std::max(widest, MeasureTextWidth(font, device, QString::fromLatin1(sample)));
    return widest;
}

bool FigureFontFits(const QFont& font, const QPaintDevice* device, int width, int lineHeight) {
    return WidestFigureSample(font, device) < width && QFontMetrics(font, device).height() <= lineHeight;
}

// Every how many hours an hour mark gets its label, so that labels keep apart.
int LabelledHourStep(double pixelsPerHour, int labelWidth) {
    for (const int step : LabelledHourSteps)
        if (step * pixelsPerHour >= 1.5 * labelWidth)
            return step;
    return 24;
}

}  // namespace

class HistoryPainter::ChartAxes {
public:
    ChartAxes(const QRect& chart, const HistoryPicture& picture)
        : chart_(chart),
          from_(picture.Window.From),
          seconds_(static_cast<double>(picture.Window.To - from_)),
          low_(picture.ScaleLow),
          span_(picture.ScaleHigh - picture.ScaleLow) {}

    bool Drawable() const { return chart_.width() > 0 && chart_.height() > 0 && seconds_ > 0.0 && span_ > 0.0; }
    const QRect& Chart() const { return chart_; }
    double PixelsPerHour() const { return chart_.width() * 3600.0 / seconds_; }
    // The width of the grid's lines.
    int Line() const { return std::max(1, chart_.height() / 200); }

    int TimeX(std::int64_t at) const {
        return chart_.left() + Share(static_cast<double>(at - from_) / seconds_, chart_.width());
    }
    // The top of a bar at `level`: the chart's bottom edge for its lowest level.
    int LevelY(double level) const { return chart_.bottom() + 1 - Share((level - low_) / span_, chart_.height()); }

private:
    static int Share(double share, int pixels) {
        return static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * pixels));
    }

    QRect chart_;
    std::int64_t from_;
    double seconds_;
    int low_;
    double span_;
};

HistoryLayout ComputeHistoryLayout(const QPaintDevice* device, int width, int height, const QFont& scaleFont) {
    HistoryLayout layout;
    layout.Panel = ComputeLayout(width, height, false).Panel;
    const int pad = Padding(width, height);
    const QFontMetrics scale(scaleFont, device);
    const int labelWidth = TextWidth(scale, QString::fromLatin1(ScaleSample));
    const QRect inner(QPoint(layout.Panel.Left + pad, layout.Panel.Top + pad),
                      QPoint(layout.Panel.Right - 1 - pad, layout.Panel.Bottom - 1 - pad));
    const int chartArea = static_cast<int>(inner.height() * ChartShare);
    // Room for the scale's labels left of the chart, for the criterion's right of it, and
    // for the hour labels under it.
    layout.Chart =
        QRect(QPoint(inner.left() + labelWidth + pad / 2, inner.top() + scale.height() / 2),
              QPoint(inner.right() - labelWidth - pad / 2, inner.top() + chartArea - scale.height() - pad / 2));
    layout.Figures = QRect(QPoint(layout.Chart.left(), inner.top() + chartArea + pad / 2), inner.bottomRight());
    layout.LineHeight = std::max(0, layout.Figures.height() / FigureLines);
    return layout;
}

void FitHistoryFonts(const QPaintDevice* device, int width, int height, HistoryFonts& fonts) {
    const QSize size(width, height);
    if (fonts.FigureFont && fonts.ScaleFont && fonts.FittedFor == size)
        return;
    const int scaleHeight = height / ScaleFontDivisor / FontHeightStep * FontHeightStep;
    CreateViewFont(std::max(MinimumFontHeight, scaleHeight), fonts.ScaleFont);
    const HistoryLayout layout = ComputeHistoryLayout(device, width, height, *fonts.ScaleFont);
    const int target = layout.Figures.width();
    // Widths grow about in proportion to the height: start from the line's height, scaled
    // down to the width when too wide, then step down until the samples fit.
    int fontHeight = std::max(MinimumFontHeight, layout.LineHeight / FontHeightStep * FontHeightStep);
    CreateViewFont(fontHeight, fonts.FigureFont);
    const int widest = WidestFigureSample(*fonts.FigureFont, device);
    if (widest >= target && target > 0) {
        const long long scaled = static_cast<long long>(fontHeight) * target / widest;
        fontHeight = std::max<int>(MinimumFontHeight, static_cast<int>(scaled) / FontHeightStep * FontHeightStep);
        CreateViewFont(fontHeight, fonts.FigureFont);
    }
    while (fontHeight > MinimumFontHeight && !FigureFontFits(*fonts.FigureFont, device, target, layout.LineHeight)) {
        fontHeight -= FontHeightStep;
        CreateViewFont(fontHeight, fonts.FigureFont);
    }
    fonts.FittedFor = size;
}

void HistoryPainter::Draw(QPainter& painter, int width, int height, const QFont& footerFont, const HistoryFonts& fonts,
                          const HistoryPicture& picture) {
    const HistoryLayout layout = ComputeHistoryLayout(painter.device(), width, height, *fonts.ScaleFont);
    DrawBackgroundAndPanel(painter, width, height, layout.Panel);
    DrawChart(painter, layout.Chart, *fonts.ScaleFont, picture);
    DrawFigures(painter, layout, fonts, picture);
    // The title where the meter picture has its footer, in the same font and colour.
    const QString title = FromCodePage(picture.Title);
    const int titleWidth = TextWidth(QFontMetrics(footerFont, painter.device()), title);
    glyphs_.Draw(painter, footerFont, PanelColor,
                 {width / 2 - titleWidth / 2, ComputeLayout(width, height, false).FooterTop}, title);
    glyphs_.EndPicture();
}

void HistoryPainter::DrawChart(QPainter& painter, const QRect& chart, const QFont& scaleFont,
                               const HistoryPicture& picture) {
    const ChartAxes axes(chart, picture);
    if (!axes.Drawable())
        return;
    const int line = axes.Line();
    const QFontMetrics metrics(scaleFont, painter.device());
    const int gap = std::max(2, metrics.averageCharWidth() / 2);

    // The dB grid with its labels, every 10 dB, and the hour marks.
    for (int level = picture.ScaleLow; level <= picture.ScaleHigh; level += 10) {
        const int y = axes.LevelY(level);
        painter.fillRect(chart.left(), y - line / 2, chart.width(), line, GridColor);
        const QString label = QString::number(level);
        glyphs_.Draw(painter, scaleFont, TextColor,
                     {chart.left() - gap - TextWidth(metrics, label), y - metrics.height() / 2}, label);
    }
    DrawHourMarks(painter, axes, scaleFont, picture.Hours);

    // One bar per recorded minute; a minute without a record stays empty.
    for (const ChartMinute& minute : picture.Minutes) {
        const int left = axes.TimeX(minute.Start);
        const int top = axes.LevelY(minute.Leq);
        painter.fillRect(left, top, std::max(1, axes.TimeX(minute.Start + SecondsPerMinute) - left),
                         chart.bottom() + 1 - top, BarColor);
    }

    // The time axis, and the dose's criterion as a dashed line with its level beside it.
    painter.fillRect(chart.left(), chart.bottom() + 1 - line, chart.width(), line, TextColor);
    const int criterion = axes.LevelY(DoseCriterionLevel);
    QPen dashed(TextColor, std::max(2, chart.height() / 120), Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({std::begin(CriterionDash), std::end(CriterionDash)});
    painter.setPen(dashed);
    painter.drawLine(chart.left(), criterion, chart.right(), criterion);
    painter.setPen(Qt::NoPen);
    glyphs_.Draw(painter, scaleFont, TextColor, {chart.right() + 1 + gap, criterion - metrics.height() / 2},
                 QString::number(DoseCriterionLevel));
}

void HistoryPainter::DrawHourMarks(QPainter& painter, const ChartAxes& axes, const QFont& scaleFont,
                                   const std::vector<HourMark>& hours) {
    const QRect& chart = axes.Chart();
    const QFontMetrics metrics(scaleFont, painter.device());
    const int step = LabelledHourStep(axes.PixelsPerHour(), TextWidth(metrics, QString::fromLatin1(HourSample)));
    const int line = axes.Line();
    for (const HourMark& mark : hours) {
        const int x = axes.TimeX(mark.At);
        painter.fillRect(x - line / 2, chart.top(), line, chart.height(), GridColor);
        if (mark.Hour % step != 0)
            continue;
        const QString label = FromCodePage(mark.Label);
        glyphs_.Draw(painter, scaleFont, TextColor, {x - TextWidth(metrics, label) / 2, chart.bottom() + 1 + line},
                     label);
    }
}

void HistoryPainter::DrawFigures(QPainter& painter, const HistoryLayout& layout, const HistoryFonts& fonts,
                                 const HistoryPicture& picture) {
    const QFontMetrics metrics(*fonts.FigureFont, painter.device());
    QPoint at(layout.Figures.left(), layout.Figures.top() + (layout.LineHeight - metrics.height()) / 2);
    for (const std::string& figure : picture.Figures) {
        glyphs_.Draw(painter, *fonts.FigureFont, TextColor, at, FromCodePage(figure));
        at.ry() += layout.LineHeight;
    }
    if (!picture.Reason.empty())
        glyphs_.Draw(painter, *fonts.ScaleFont, TextColor, at, FromCodePage(picture.Reason));
}
