#include "chart/history_chart.h"

#include "exposure/level_math.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace {

constexpr char HourSample[] = "00:00";
constexpr int LabelledHourSteps[] = {1, 2, 3, 4, 6, 12};
constexpr int LabelledLevelSteps[] = {10, 20, 50, 100};  // dB
constexpr qreal CriterionDash[] = {4, 3};                // in pen widths

// Every how many hours an hour mark gets its label, so that labels keep `gap` apart also
// beside one moved half its width in from the chart's edge.
int LabelledHourStep(double pixelsPerHour, int labelWidth, int gap) {
    for (const int step : LabelledHourSteps)
        if (step * pixelsPerHour >= 1.5 * labelWidth + gap)
            return step;
    return 24;
}

// Where a time and a level stand in the chart.
class ChartAxes {
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
    double PixelsPerDb() const { return chart_.height() / span_; }
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

void DrawHourMarks(QPainter& painter, const ChartAxes& axes, const QFont& scaleFont, const ChartColors& colors,
                   ChartText& text, const std::vector<HourMark>& hours) {
    const QRect& chart = axes.Chart();
    const QFontMetrics metrics(scaleFont, painter.device());
    const int gap = metrics.averageCharWidth();
    const int step = LabelledHourStep(axes.PixelsPerHour(), text.Width(metrics, QString::fromLatin1(HourSample)), gap);
    const int line = axes.Line();
    int free = chart.left();  // where the next label may begin
    for (const HourMark& mark : hours) {
        const int x = axes.TimeX(mark.At);
        painter.fillRect(x - line / 2, chart.top(), line, chart.height(), colors.Grid);
        if (mark.Hour % step != 0)
            continue;
        // Under its mark, but within the chart's width (clear of the scale's labels beside
        // it), and never over the label before: the hour that comes twice as the clocks go
        // back is labelled once where the two lie close.
        const QString label = QString::fromLatin1(mark.Label);
        const int width = text.Width(metrics, label);
        const int left = std::max(chart.left(), std::min(x - width / 2, chart.right() + 1 - width));
        if (left < free)
            continue;
        text.Draw(painter, scaleFont, colors.Text, {left, chart.bottom() + 1 + line}, label);
        free = left + width + gap;
    }
}

// Every how many dB a grid line gets its label, so that labels keep apart.
int LabelledLevelStep(const ChartAxes& axes, int labelHeight) {
    for (const int step : LabelledLevelSteps)
        if (step * axes.PixelsPerDb() >= labelHeight * 1.25)
            return step;
    return LabelledLevelSteps[std::size(LabelledLevelSteps) - 1];
}

void DrawCriterionLine(QPainter& painter, const ChartColors& colors, int width, int left, int right, int y) {
    QPen dashed(colors.Text, width, Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({std::begin(CriterionDash), std::end(CriterionDash)});
    painter.setPen(dashed);
    painter.drawLine(left, y, right, y);
    painter.setPen(Qt::NoPen);
}

}  // namespace

int PainterText::Width(const QFontMetrics& metrics, const QString& text) {
    return metrics.horizontalAdvance(text);
}

void PainterText::Draw(QPainter& painter, const QFont& font, const QColor& colour, QPoint topLeft,
                       const QString& text) {
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPoint(topLeft.x(), topLeft.y() + QFontMetrics(font, painter.device()).ascent()), text);
    painter.setPen(Qt::NoPen);
}

void DrawHistoryChart(QPainter& painter, const QRect& chart, const QFont& scaleFont, const HistoryPicture& picture,
                      const ChartColors& colors, ChartText& text) {
    const ChartAxes axes(chart, picture);
    if (!axes.Drawable())
        return;
    const int line = axes.Line();
    const QFontMetrics metrics(scaleFont, painter.device());
    const int gap = std::max(2, metrics.averageCharWidth() / 2);

    // The dB grid every 10 dB, labelled as often as the labels keep apart, with the axis's
    // name above its top label; and the hour marks.
    const int levelStep = LabelledLevelStep(axes, metrics.height());
    for (int level = picture.ScaleLow; level <= picture.ScaleHigh; level += 10) {
        const int y = axes.LevelY(level);
        painter.fillRect(chart.left(), y - line / 2, chart.width(), line, colors.Grid);
        if (level % levelStep != 0)
            continue;
        const QString label = QString::number(level);
        text.Draw(painter, scaleFont, colors.Text,
                  {chart.left() - gap - text.Width(metrics, label), y - metrics.height() / 2}, label);
    }
    const int scaleWidth = text.Width(metrics, QString::fromLatin1(ChartScaleSample));
    text.Draw(painter, scaleFont, colors.Text,
              {chart.left() - gap - scaleWidth, chart.top() - metrics.height() / 2 - metrics.height()},
              QString::fromStdString(picture.LevelAxis));
    DrawHourMarks(painter, axes, scaleFont, colors, text, picture.Hours);

    // One bar per recorded minute; a minute without a record stays empty.
    for (const ChartMinute& minute : picture.Minutes) {
        const int left = axes.TimeX(minute.Start);
        const int top = axes.LevelY(minute.Leq);
        painter.fillRect(left, top, std::max(1, axes.TimeX(minute.Start + SecondsPerMinute) - left),
                         chart.bottom() + 1 - top, minute.OtherWeighting ? colors.OtherBar : colors.Bar);
    }

    // The shifts' boundaries across the bars.
    for (const std::int64_t at : picture.Boundaries)
        if (at >= picture.Window.From && at <= picture.Window.To)
            painter.fillRect(axes.TimeX(at) - line, chart.top(), 2 * line, chart.height(), colors.Text);

    // The time axis, and the dose's criterion as a dashed line with its level beside it.
    painter.fillRect(chart.left(), chart.bottom() + 1 - line, chart.width(), line, colors.Text);
    const int criterion = axes.LevelY(DoseCriterionLevel);
    DrawCriterionLine(painter, colors, std::max(2, chart.height() / 120), chart.left(), chart.right(), criterion);
    text.Draw(painter, scaleFont, colors.Text, {chart.right() + 1 + gap, criterion - metrics.height() / 2},
              QString::number(DoseCriterionLevel));
}

void DrawChartLegend(QPainter& painter, QPoint topLeft, const QFont& font, const HistoryPicture& picture,
                     const ChartColors& colors, ChartText& text) {
    const QFontMetrics metrics(font, painter.device());
    const int height = metrics.height();
    const int swatch = metrics.ascent() * 2 / 3;
    const int gap = metrics.averageCharWidth();
    const int middle = topLeft.y() + height / 2;
    int left = topLeft.x();
    // A swatch drawn by `mark` in `width`, then its name.
    const auto item = [&](int width, const std::function<void(int)>& mark, const std::string& name) {
        mark(left);
        left += width + gap;
        const QString label = QString::fromLatin1(name);
        text.Draw(painter, font, colors.Text, {left, topLeft.y()}, label);
        left += text.Width(metrics, label) + 3 * gap;
    };
    for (const std::string& weighting : picture.Weightings) {
        const QColor& colour = weighting == "dBA" ? colors.Bar : colors.OtherBar;
        item(
            swatch, [&](int x) { painter.fillRect(x, middle - swatch / 2, swatch, swatch, colour); },
            "minute Leq, " + WeightingUnit(weighting));
    }
    const int line = std::max(1, swatch / 6);
    item(
        line * 2, [&](int x) { painter.fillRect(x, middle - swatch / 2, 2 * line, swatch, colors.Text); },
        "start or end of a shift");
    item(
        3 * swatch, [&](int x) { DrawCriterionLine(painter, colors, line, x, x + 3 * swatch, middle); },
        "dose criterion, " + std::to_string(static_cast<int>(DoseCriterionLevel)) + " dB(A)");
}

QString FitMeterTitle(ChartText& text, const QFontMetrics& metrics, int width, const QString& prefix,
                      const QString& name, const QString& address) {
    const auto fits = [&](const QString& title) { return text.Width(metrics, title) <= width; };
    for (qsizetype kept = name.size(); kept > 0; --kept) {
        const QString title =
            prefix + (kept < name.size() ? name.left(kept) + QString::fromLatin1("...") : name) + " (" + address + ")";
        if (fits(title))
            return title;
    }
    return fits(prefix + address) ? prefix + address : address;
}
