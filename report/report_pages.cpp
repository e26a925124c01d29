#include "report/report_pages.h"

#include "chart/history_chart.h"
#include "levels/daily_figures.h"
#include "record/action_values.h"
#include "record/local_days.h"

#include <QFile>
#include <QFontMetrics>
#include <QPdfWriter>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>

namespace {

constexpr char FontFace[] = "Veranda";  // the wall's face (fonts-arkpandora)
// The chart on paper: the wall's bars in its panel colour, on a light grid, with dark labels.
const ChartColors PaperColors{QColor(210, 210, 210), QColor(76, 177, 251), QColor(40, 40, 40)};
// The summary table's columns: where each starts, in millimetres from the left margin.
constexpr double ColumnsMm[] = {0, 29, 46, 58, 72, 86, 113};
constexpr double ChartHeightMm = 85;

QString Text(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QFont MakeFont(double points, bool bold = false) {
    QFont font(QString::fromLatin1(FontFace));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

std::string Weekday(const LocalDate& date) {
    static constexpr const char* Names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    const std::chrono::year_month_day day{std::chrono::year(date.Year), std::chrono::month(date.Month),
                                          std::chrono::day(date.Day)};
    return Names[std::chrono::weekday(std::chrono::sys_days(day)).c_encoding()];
}

std::string Period(const ReportPlan& plan) {
    return plan.From == plan.To ? FormatDate(plan.From) : FormatDate(plan.From) + " to " + FormatDate(plan.To);
}

std::string Level(double level, const std::string& weighting) {
    return FormatTenths(level) + " " + weighting;
}

std::string BandText(const DayFigures& day) {
    return day.Band == ActionBand::None ? "not judged: " + day.Figures->Weighting + ", not dBA"
                                        : ActionBandName(day.Band);
}

}  // namespace

ReportPages::ReportPages(QPdfWriter& writer, ReportFooter footer)
    : writer_(writer),
      footer_(std::move(footer)),
      title_(MakeFont(17, true)),
      heading_(MakeFont(11, true)),
      body_(MakeFont(10)),
      table_(MakeFont(8)),
      tableBold_(MakeFont(8, true)),
      small_(MakeFont(7.5)),
      scale_(MakeFont(8)) {
    const int footerHeight = 3 * QFontMetrics(small_, &writer_).height();
    content_ = QRect(0, 0, writer_.width(), writer_.height() - footerHeight);
}

int ReportPages::SummaryRowsPerPage() const {
    const int line = QFontMetrics(table_, &writer_).height() * 5 / 4;
    const int header = QFontMetrics(title_, &writer_).height() * 2 + 6 * QFontMetrics(body_, &writer_).height();
    const int note = QFontMetrics(small_, &writer_)
                         .boundingRect(content_, Qt::TextWordWrap, QString::fromLatin1(ActionValuesNote))
                         .height();
    return std::max(1, (content_.height() - header - note) / line - 3);  // the table's header and legend
}

int ReportPages::SummaryPages(const MeterReport& meter) const {
    if (!meter.AnyMinutes)
        return 1;
    const int rows = SummaryRowsPerPage();
    return (static_cast<int>(meter.Days.size()) + rows - 1) / rows;
}

int ReportPages::PageCount(const ReportPlan& plan) const {
    int pages = plan.Meters.empty() ? 1 : 0;
    for (const MeterReport& meter : plan.Meters)
        pages += SummaryPages(meter) + (meter.AnyMinutes ? static_cast<int>(meter.Days.size()) : 0);
    return pages;
}

QRect ReportPages::NextPage() {
    if (page_++ == 0)
        painter_.begin(&writer_);
    else
        writer_.newPage();
    const QFontMetrics metrics(small_, &writer_);
    const int top = content_.bottom() + metrics.height();
    painter_.setPen(PaperColors.Text);
    painter_.setFont(small_);
    const QString made = Text("Made " + footer_.Made + " by " + footer_.Version + " from ");
    const QString database = metrics.elidedText(QFile::decodeName(footer_.Database.c_str()), Qt::ElideMiddle,
                                                content_.width() - metrics.horizontalAdvance(made));
    painter_.drawText(QPoint(0, top + metrics.ascent()), made + database);
    const QString page = QString::asprintf("Page %d of %d", page_, pageCount_);
    painter_.drawText(
        QPoint(content_.right() - metrics.horizontalAdvance(page), top + metrics.height() + metrics.ascent()), page);
    return content_;
}

int ReportPages::DrawLine(int top, const QFont& font, const QString& text, int left, Qt::TextElideMode elide) {
    const QFontMetrics metrics(font, &writer_);
    painter_.setFont(font);
    painter_.setPen(PaperColors.Text);
    const int x = left < 0 ? content_.left() : left;
    painter_.drawText(QPoint(x, top + metrics.ascent()), metrics.elidedText(text, elide, content_.right() - x));
    return metrics.height();
}

int ReportPages::DrawMeter(int top, const MeterReport& meter) {
    PainterText text;
    const QString line = FitMeterTitle(text, QFontMetrics(body_, &writer_), content_.width(),
                                       QString::fromLatin1("Meter: "), {}, Text(meter.Host));
    return DrawLine(top, body_, line, -1, Qt::ElideNone);
}

void ReportPages::DrawNote(int bottom) {
    painter_.setFont(small_);
    painter_.setPen(PaperColors.Text);
    const QString note = QString::fromLatin1(ActionValuesNote);
    const QRect area = QFontMetrics(small_, &writer_).boundingRect(content_, Qt::TextWordWrap, note);
    painter_.drawText(QRect(content_.left(), bottom - area.height(), content_.width(), area.height()), Qt::TextWordWrap,
                      note);
}

void ReportPages::DrawTableRow(int top, const std::vector<QString>& cells, const QFont& font) {
    const double unitsPerMm = writer_.resolution() / 25.4;
    for (std::size_t column = 0; column < cells.size(); ++column)
        DrawLine(top, font, cells[column], content_.left() + static_cast<int>(ColumnsMm[column] * unitsPerMm));
}

int ReportPages::DrawMeterHeader(int top, const ReportPlan& plan, const MeterReport& meter, bool continued) {
    const int start = top;
    top += DrawLine(top, title_,
                    QString::fromLatin1(continued ? "Noise exposure report (continued)" : "Noise exposure report"));
    top += DrawLine(top, body_, QString());
    top += DrawMeter(top, meter);
    top += DrawLine(top, body_, Text("Period: " + Period(plan)));
    top += DrawLine(top, body_, Text("Weighting: " + (meter.Weightings.empty() ? "none" : meter.Weightings)));
    top += DrawLine(top, body_,
                    Text("Shift length: " + FormatTenths(plan.ShiftLenHours) + " h (" +
                         FormatHoursMinutes(plan.ShiftLenHours * 3600.0) + "), the dose's 100 %"));
    top += DrawLine(top, body_, Text("Shifts: " + plan.Shifts.Text()));
    top += DrawLine(top, body_, QString());
    return top - start;
}

void ReportPages::DrawSummaryRow(int top, const DayFigures& day) {
    const QString date = Text(Weekday(day.Date).substr(0, 3) + " " + FormatDate(day.Date));
    if (!day.Figures) {
        DrawTableRow(top, {date, "0:00", "", "", "", "", "no minutes recorded"}, table_);
        return;
    }
    const Exposure& figures = *day.Figures;
    DrawTableRow(
        top,
        {date, Text(FormatHoursMinutes(figures.Seconds)), Text(FormatTenths(figures.Leq)),
         Text(FormatTenths(figures.Lex8h) + (day.HighestLex ? " *" : "")), Text(FormatTenths(figures.DosePercent)),
         Text(FormatTenths(figures.LoudestLeq) + " at " + FormatTimeOfDay(LocalMomentOf(figures.LoudestStart))),
         Text(BandText(day))},
        day.HighestLex ? tableBold_ : table_);
}

void ReportPages::DrawSummary(const ReportPlan& plan, const MeterReport& meter) {
    const int line = QFontMetrics(table_, &writer_).height() * 5 / 4;
    std::size_t next = 0;
    do {
        const QRect area = NextPage();
        int top = area.top() + DrawMeterHeader(area.top(), plan, meter, next > 0);
        if (!meter.AnyMinutes) {
            DrawLine(top, heading_, Text("No minutes were recorded for this meter from " + Period(plan) + "."));
        } else {
            DrawTableRow(top,
                         {"Date", "Measured", "Leq", "LEX,8h", "Dose %", "Loudest minute", "Action value (LEX,8h)"},
                         tableBold_);
            for (int row = 0; row < SummaryRowsPerPage() && next < meter.Days.size(); ++row)
                DrawSummaryRow(top += line, meter.Days[next++]);
            DrawLine(top + line * 3 / 2, table_,
                     Text("Levels in " + (meter.Weightings.empty() ? "dB" : meter.Weightings) +
                          "; measured time as h:mm; * the period's highest LEX,8h."));
        }
        DrawNote(area.bottom());
    } while (meter.AnyMinutes && next < meter.Days.size());
}

void ReportPages::DrawDay(const ReportPlan& plan, const MeterReport& meter, const DayFigures& day,
                          const DayChart& chart) {
    const QRect area = NextPage();
    int top = area.top();
    top += DrawLine(top, title_, Text(Weekday(day.Date) + ", " + FormatDate(day.Date)));
    top += DrawMeter(top, meter);
    top += DrawLine(top, body_, QString());

    // The chart, its labels around it: the scale's and the axis's name left and above, the
    // criterion's right, the hours under it.
    const QFontMetrics scale(scale_, &writer_);
    const int labels = scale.horizontalAdvance(QString::fromLatin1(ChartScaleSample)) + scale.averageCharWidth();
    const int height = static_cast<int>(ChartHeightMm * writer_.resolution() / 25.4);
    const QRect plot(QPoint(area.left() + labels, top + scale.height() * 3 / 2),
                     QPoint(area.right() - labels, top + height - 2 * scale.height()));
    PainterText text;
    DrawHistoryChart(painter_, plot, scale_, chart.Picture, PaperColors, text);
    top += height + scale.height();

    if (!day.Figures) {
        DrawLine(top, heading_, QString::fromLatin1("No minutes were recorded on this day."));
        DrawNote(area.bottom());
        return;
    }
    const Exposure& figures = *day.Figures;
    const int valueLeft = area.left() + static_cast<int>(55 * writer_.resolution() / 25.4);
    const std::pair<std::string, std::string> rows[] = {
        {"Measured time", FormatHoursMinutes(figures.Seconds) + " (h:mm) of a shift of " +
                              FormatHoursMinutes(plan.ShiftLenHours * 3600.0)},
        {"Leq", Level(figures.Leq, figures.Weighting) + " over the measured time"},
        {"LEX,8h", Level(figures.Lex8h, figures.Weighting)},
        {"Dose", FormatTenths(figures.DosePercent) + " %"},
        {"Loudest minute",
         Level(figures.LoudestLeq, figures.Weighting) + " at " + FormatTimeOfDay(LocalMomentOf(figures.LoudestStart))},
        {"Minutes above 85 dB", std::to_string(chart.MinutesAbove85)},
        {"Action value", BandText(day)},
    };
    const int line = QFontMetrics(body_, &writer_).height() * 3 / 2;
    for (const auto& [label, value] : rows) {
        DrawLine(top, heading_, Text(label));
        DrawLine(top, body_, Text(value), valueLeft);
        top += line;
    }
    DrawNote(area.bottom());
}

void ReportPages::DrawNoMinutes(const ReportPlan& plan) {
    const QRect area = NextPage();
    int top = area.top();
    top += DrawLine(top, title_, QString::fromLatin1("Noise exposure report"));
    top += DrawLine(top, body_, QString());
    top += DrawLine(top, body_, Text("Period: " + Period(plan)));
    top += DrawLine(top, body_, QString());
    DrawLine(top, heading_, Text("No minutes were recorded from " + Period(plan) + ", of any meter."));
    DrawNote(area.bottom());
}
