#include "report/report_pages.h"

#include "chart/history_chart.h"
#include "exposure/local_days.h"
#include "exposure/printed_figures.h"

#include <QFile>
#include <QFontMetrics>
#include <QPdfWriter>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <utility>

namespace {

constexpr char FontFace[] = "Veranda";  // the wall's face (fonts-arkpandora)
// The chart on paper: the wall's bars in its panel colour, on a light grid, with dark labels.
const ChartColors PaperColors{QColor(210, 210, 210), QColor(76, 177, 251), QColor(40, 40, 40)};
// The summary table's columns: where each starts, in millimetres from the left margin.
constexpr double ColumnsMm[] = {0, 27, 47, 68, 82, 98, 114};
constexpr double ChartHeightMm = 85;
constexpr double ValueLeftMm = 45;  // the values of the meter's head and of the day's table

// What every page says about the figures: how they are reckoned and judged, and what they are not.
constexpr char FiguresNote[] =
    "Each shift is reckoned as ISO 9612 reckons a shift's exposure: LAeq over the A-weighted time measured in the "
    "shift, LEX,8h = LAeq + 10 lg(Te / 8 h) with Te the shift's real duration that day, so the time of the shift "
    "that was not measured is taken at the measured level; dose = 100 % for 8 h at 85 dB(A). A shift is judged "
    "against the action values of Directive 2003/10/EC (lower action value 80 dB(A), upper action value 85 dB(A), "
    "exposure limit value 87 dB(A)) only when at least 80 % of it was measured A-weighted; minutes of another "
    "weighting are counted apart and never judged. These figures are an area measurement by a fixed sound-level "
    "meter, not a personal dosimeter, and take no hearing protection into account. Peak levels (the Directive's "
    "peak action values of 135, 137 and 140 dB(C)) are not measured by this meter.";

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

// "86.3 dB(A)"; empty for no level.
std::string Level(double level) {
    const std::string printed = FormatTenths(level);
    return printed.empty() ? printed : printed + " dB(A)";
}

// "6:00 (75 %)"
std::string Measured(const ShiftFigures& shift) {
    return FormatHoursMinutes(shift.MeasuredSeconds) + " (" + std::to_string(shift.CoveragePercent) + " %)";
}

// The values a meter's property held in the period: "Hall 3", or one line each with its dates
// when it changed or was not recorded from the period's start.
std::vector<std::string> HeldTexts(const std::vector<HeldValue>& held, const ReportPlan& plan) {
    if (held.empty())
        return {"not recorded"};
    if (held.size() == 1 && held.front().From <= LocalDayStart(plan.From))
        return {held.front().Value};
    std::vector<std::string> texts;
    for (const HeldValue& value : held)
        texts.push_back(value.Value + ", " + FormatDate(LocalDateOf(value.From)) + " to " +
                        FormatDate(LocalDateOf(value.To - 1)));
    return texts;
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

int ReportPages::NoteHeight() const {
    return QFontMetrics(small_, &writer_)
        .boundingRect(content_, Qt::TextWordWrap, QString::fromLatin1(FiguresNote))
        .height();
}

std::vector<ReportPages::HeadLine> ReportPages::MeterHead(const ReportPlan& plan, const MeterReport& meter) const {
    std::vector<HeadLine> lines;
    const auto add = [&](const char* label, const std::vector<std::string>& values) {
        for (std::size_t index = 0; index < values.size(); ++index)
            lines.push_back({QString::fromLatin1(index == 0 ? label : ""), Text(values[index])});
    };
    add("Name", HeldTexts(meter.Names, plan));
    add("Location", HeldTexts(meter.Locations, plan));
    add("Level offset", HeldTexts(meter.Offsets, plan));
    add("Period", {Period(plan)});
    add("Shifts", {plan.Shifts.Text()});
    return lines;
}

int ReportPages::SummaryRowsPerPage(const ReportPlan& plan, const MeterReport& meter) const {
    const int line = QFontMetrics(table_, &writer_).height() * 5 / 4;
    const int body = QFontMetrics(body_, &writer_).height();
    const int header =
        QFontMetrics(title_, &writer_).height() + body * (3 + static_cast<int>(MeterHead(plan, meter).size()));
    return std::max(1, (content_.height() - header - NoteHeight()) / line - 4);  // the table's head and legend
}

int ReportPages::SummaryPages(const ReportPlan& plan, const MeterReport& meter) const {
    if (!meter.AnyMinutes)
        return 1;
    const int rows = SummaryRowsPerPage(plan, meter);
    return std::max(1, (static_cast<int>(meter.Shifts.size()) + rows - 1) / rows);
}

int ReportPages::PageCount(const ReportPlan& plan) const {
    int pages = plan.Meters.empty() ? 1 : 0;
    int days = 0;
    for (LocalDate date = plan.From; date <= plan.To; date = NextDate(date))
        ++days;
    for (const MeterReport& meter : plan.Meters)
        pages += SummaryPages(plan, meter) + (meter.AnyMinutes ? days : 0);
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
    const QString line =
        FitMeterTitle(text, QFontMetrics(body_, &writer_), content_.width(), QString::fromLatin1("Meter: "),
                      meter.Names.empty() ? QString() : Text(meter.Names.back().Value), Text(meter.Host));
    return DrawLine(top, body_, line, -1, Qt::ElideNone);
}

void ReportPages::DrawNote(int bottom) {
    painter_.setFont(small_);
    painter_.setPen(PaperColors.Text);
    const int height = NoteHeight();
    painter_.drawText(QRect(content_.left(), bottom - height, content_.width(), height), Qt::TextWordWrap,
                      QString::fromLatin1(FiguresNote));
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
    const int valueLeft = content_.left() + static_cast<int>(ValueLeftMm * writer_.resolution() / 25.4);
    for (const HeadLine& line : MeterHead(plan, meter)) {
        DrawLine(top, body_, line.Label);
        top += DrawLine(top, body_, line.Value, valueLeft);
    }
    top += DrawLine(top, body_, QString());
    return top - start;
}

void ReportPages::DrawSummaryRow(int top, const ShiftFigures& shift, bool highest) {
    const QString date = Text(Weekday(shift.Window.Date).substr(0, 3) + " " + FormatDate(shift.Window.Date));
    DrawTableRow(top,
                 {date, Text(ShiftHours(shift.Window.Hours)), Text(Measured(shift)), Text(FormatTenths(shift.Laeq)),
                  Text(FormatTenths(shift.Lex8h) + (highest ? " *" : "")), Text(FormatTenths(shift.DosePercent)),
                  Text(shift.Verdict())},
                 highest ? tableBold_ : table_);
}

void ReportPages::DrawSummary(const ReportPlan& plan, const MeterReport& meter) {
    const int line = QFontMetrics(table_, &writer_).height() * 5 / 4;
    const int rows = SummaryRowsPerPage(plan, meter);
    std::size_t next = 0;
    do {
        const QRect area = NextPage();
        int top = area.top() + DrawMeterHeader(area.top(), plan, meter, next > 0);
        if (!meter.AnyMinutes) {
            DrawLine(top, heading_, Text("No minutes were recorded for this meter from " + Period(plan) + "."));
        } else {
            DrawTableRow(top, {"Date", "Shift", "Measured", "LAeq", "LEX,8h", "Dose %", "Action value (LEX,8h)"},
                         tableBold_);
            for (int row = 0; row < rows && next < meter.Shifts.size(); ++row, ++next)
                DrawSummaryRow(top += line, meter.Shifts[next], meter.Highest == next);
            DrawLine(top + line * 3 / 2, table_,
                     QString::fromLatin1("Levels in dB(A); measured: the A-weighted time as h:mm and its share of "
                                         "the shift; * the period's highest judged LEX,8h."));
        }
        DrawNote(area.bottom());
    } while (meter.AnyMinutes && next < meter.Shifts.size());
}

int ReportPages::DrawShiftTable(int top, const std::vector<ShiftFigures>& shifts) {
    const QRect area = content_;
    const int labelWidth = static_cast<int>(ValueLeftMm * writer_.resolution() / 25.4);
    const int columns = std::max<int>(1, static_cast<int>(shifts.size()));
    const int width = (area.width() - labelWidth) / columns;
    const int gap = QFontMetrics(table_, &writer_).averageCharWidth();
    const auto cells = [&](const char* label, const std::function<std::string(const ShiftFigures&)>& value) {
        std::vector<QString> row{QString::fromLatin1(label)};
        for (const ShiftFigures& shift : shifts)
            row.push_back(Text(value(shift)));
        return row;
    };
    const std::vector<std::vector<QString>> rows = {
        cells("Shift", [](const ShiftFigures& s) { return ShiftHours(s.Window.Hours); }),
        cells("Duration (Te)", [](const ShiftFigures& s) { return FormatHoursMinutes(s.DurationSeconds); }),
        cells("Measured (A-weighted)", Measured),
        cells("LAeq", [](const ShiftFigures& s) { return Level(s.Laeq); }),
        cells("LEX,8h", [](const ShiftFigures& s) { return Level(s.Lex8h); }),
        cells("Dose",
              [](const ShiftFigures& s) { return s.MeasuredSeconds > 0.0 ? FormatTenths(s.DosePercent) + " %" : ""; }),
        cells("Lmax", [](const ShiftFigures& s) { return Level(s.Lmax); }),
        cells("Loudest minute",
              [](const ShiftFigures& s) {
                  return s.MeasuredSeconds > 0.0 ? Level(s.LoudestLeq) + " at " + ShiftClock(s.LoudestStart) : "";
              }),
        cells("Minutes above 85 dB(A)", [](const ShiftFigures& s) { return std::to_string(s.MinutesAbove85); }),
        cells("Action value", [](const ShiftFigures& s) { return s.Verdict(); }),
        cells("Other weightings",
              [](const ShiftFigures& s) { return s.OtherSeconds.empty() ? "none" : s.OtherWeightings(); }),
    };
    const int start = top;
    const QFontMetrics metrics(table_, &writer_);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        int height = metrics.height();
        for (std::size_t cell = 0; cell < rows[row].size(); ++cell) {
            const bool label = cell == 0;
            const QRect box(area.left() + (label ? 0 : labelWidth + (static_cast<int>(cell) - 1) * width), top,
                            (label ? labelWidth : width) - gap, area.height());
            painter_.setFont(label || row == 0 ? tableBold_ : table_);
            painter_.setPen(PaperColors.Text);
            QRect used;
            painter_.drawText(box, Qt::TextWordWrap, rows[row][cell], &used);
            height = std::max(height, used.height());
        }
        top += height + metrics.height() / 4;
    }
    return top - start;
}

void ReportPages::DrawDay(const ReportPlan& plan, const MeterReport& meter, const LocalDate& date,
                          const DayChart& chart) {
    const QRect area = NextPage();
    int top = area.top();
    top += DrawLine(top, title_, Text(Weekday(date) + ", " + FormatDate(date)));
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

    const int valueLeft = area.left() + static_cast<int>(ValueLeftMm * writer_.resolution() / 25.4);
    if (chart.Lmax.empty()) {
        top += DrawLine(top, heading_, QString::fromLatin1("No minutes were recorded on this day."));
    } else {
        DrawLine(top, heading_, QString::fromLatin1("Lmax of the day"));
        top += DrawLine(top, body_, Text(chart.Lmax), valueLeft);
    }
    top += DrawLine(top, body_, QString());
    top += DrawLine(top, heading_, Text("The shifts of " + FormatDate(date) + " (" + plan.Shifts.Text() + ")"));
    DrawShiftTable(top, ShiftsOfDay(meter, date));
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
