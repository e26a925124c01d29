#include "report/report_pages.h"

#include "chart/history_chart.h"
#include "exposure/local_days.h"
#include "exposure/printed_figures.h"
#include "report/report_fields.h"

#include <QFile>
#include <QFontMetrics>
#include <QPdfWriter>

#include <algorithm>
#include <string>
#include <utility>

namespace {

constexpr char FontFace[] = "Veranda";  // the wall's face (fonts-arkpandora)
// The chart on paper: the wall's bars in its panel colour, those of other weightings in amber,
// on a light grid, with dark labels.
const ChartColors PaperColors{QColor(210, 210, 210), QColor(76, 177, 251), QColor(40, 40, 40), QColor(240, 150, 40)};
constexpr double ChartHeightMm = 85;
constexpr double ValueLeftMm = 45;  // the values of the meter's head and of the day's table

// What every page says about the figures: how they are reckoned and judged, and what they are not.
constexpr char FiguresNote[] =
    "Each shift is reckoned as ISO 9612 reckons a shift's exposure: LAeq over the A-weighted time measured in the "
    "shift, LEX,8h = LAeq + 10 lg(Te / 8 h) with Te the shift's real duration that day, so the time of the shift "
    "that was not measured is taken at the measured level; dose = 100 % for 8 h at 85 dB(A). A shift is judged "
    "against the action values of Directive 2003/10/EC (lower action value 80 dB(A), upper action value 85 dB(A)) "
    "only when at least 80 % of it was measured A-weighted; minutes of another weighting are counted apart and "
    "never judged. The Directive's exposure limit value of 87 dB(A) is judged on the exposure at the ear with "
    "hearing protection taken into account; these figures take no hearing protection into account, so a shift at "
    "87 dB(A) or more reads \"87 dB(A) or more before hearing protection\", which says nothing of the limit value "
    "itself. These figures are an area measurement by a fixed sound-level meter, not a personal dosimeter. Peak "
    "levels (the Directive's peak action values of 135, 137 and 140 dB(C)) are not measured by this meter.";

QFont MakeFont(double points, bool bold = false) {
    QFont font(QString::fromLatin1(FontFace));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

std::string Period(const ReportPlan& plan) {
    return plan.From == plan.To ? FormatDate(plan.From) : FormatDate(plan.From) + " to " + FormatDate(plan.To);
}

// "2025-11-03 to 2025-11-09": the days from..to within the period.
std::string DatesWithin(const ReportPlan& plan, const LocalDate& from, const LocalDate& to) {
    return FormatDate(std::max(from, plan.From)) + " to " + FormatDate(std::min(to, plan.To));
}

// The values a meter's property held in the period: "Hall 3", or one line each with its dates
// within the period when it changed or was not recorded from the period's start.
std::vector<std::string> HeldTexts(const std::vector<HeldValue>& held, const ReportPlan& plan) {
    if (held.empty())
        return {"not recorded"};
    if (held.size() == 1 && held.front().From <= LocalDayStart(plan.From))
        return {held.front().Value};
    std::vector<std::string> texts;
    for (const HeldValue& value : held)
        texts.push_back(value.Value + ", " + DatesWithin(plan, LocalDateOf(value.From), LocalDateOf(value.To - 1)));
    return texts;
}

// How the summary's uncertainty and weekly levels are reckoned, and what they are not.
constexpr char PeriodNote[] =
    "U is the expanded uncertainty of a shift's LEX,8h over the period, reckoned as ISO 9612 reckons it for the "
    "full-day strategy from the N ended, judged shifts of that name: u1 the standard deviation of their LEX,8h "
    "values, c1·u1 its contribution from the standard's table for N and u1, u2 the meter's (0.7 dB for class 1, "
    "1.5 dB for class 2 or a class not stated), u3 = 1.0 dB for the microphone's position, "
    "u² = (c1·u1)² + u2² + u3² and U = 1.65 u; fewer than 3 shifts give none. A fixed area meter stands farther "
    "from a worker's ear than the standard's microphone positions, so U is a lower bound for a person's "
    "exposure. LEX,w is the weekly noise exposure level of the ended, judged shifts of a name in an ISO week, "
    "10 lg((1/5) × sum of 10^(0.1 LEX,8h)), the nominal week being five 8-hour days; a week with a shift not "
    "judged gets none. Directive 2003/10/EC lets it be used in place of the daily level only in duly justified "
    "circumstances, where daily exposure varies markedly from one working day to the next, provided the weekly "
    "level, as shown by adequate monitoring, does not exceed the exposure limit value of 87 dB(A) and "
    "appropriate measures reduce the risks of that work to a minimum.";

// Each pattern the period's days were judged by: "06:00-14:00, 14:00-22:00", or one line each
// with its dates within the period when it changed.
std::vector<std::string> PatternTexts(const ReportPlan& plan) {
    if (plan.Patterns.size() == 1)
        return {PatternText(plan.Patterns.front().Shifts)};
    std::vector<std::string> texts;
    for (const DatedPattern& pattern : plan.Patterns)
        texts.push_back(PatternText(pattern.Shifts) + ", " + DatesWithin(plan, pattern.From, pattern.To));
    return texts;
}

// What the day's own minutes give: their highest levels, or that there are none, and when a
// shift of the day was measured after midnight, that it was.
std::string DayLevels(const std::vector<ShiftFigures>& shifts, const DayChart& chart) {
    if (!chart.Lmax.empty())
        return "Highest of the day's polls: " + chart.Lmax;
    for (const ShiftFigures& shift : shifts)
        if (shift.MeasuredSeconds > 0.0 || !shift.OtherSeconds.empty())
            return "No minutes on this day; the " + ShiftHours(shift.Window.Hours) +
                   " shift was measured after midnight.";
    return "No minutes were recorded on this day.";
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
    const int footerHeight = 4 * QFontMetrics(small_, &writer_).height();  // a line apart, then three
    content_ = QRect(0, 0, writer_.width(), writer_.height() - footerHeight);
    const int note = QFontMetrics(small_, &writer_)
                         .boundingRect(content_, Qt::TextWordWrap, QString::fromLatin1(FiguresNote))
                         .height();
    bottom_ = content_.bottom() - note - QFontMetrics(body_, &writer_).height();
}

bool ReportPages::Draw(const ReportPlan& plan, const DayCharts& charts) {
    counting_ = true;
    DrawPages(plan, [](const MeterReport&, const LocalDate&) { return std::optional<DayChart>(DayChart{}); });
    counting_ = false;
    pageCount_ = std::exchange(page_, 0);
    return DrawPages(plan, charts);
}

bool ReportPages::DrawPages(const ReportPlan& plan, const DayCharts& charts) {
    if (plan.Meters.empty())
        DrawNoMinutes(plan);
    for (const MeterReport& meter : plan.Meters) {
        DrawSummary(plan, meter);
        if (!meter.AnyMinutes)
            continue;
        for (LocalDate date = plan.From; date <= plan.To; date = NextDate(date)) {
            const std::optional<DayChart> chart = charts(meter, date);
            if (!chart)
                return false;
            DrawDay(plan, meter, date, *chart);
        }
    }
    return true;
}

std::vector<ReportPages::HeadLine> ReportPages::MeterHead(const ReportPlan& plan, const MeterReport& meter) const {
    std::vector<HeadLine> lines;
    const auto add = [&](const char* label, const std::vector<std::string>& values) {
        for (std::size_t index = 0; index < values.size(); ++index)
            lines.push_back({QString::fromLatin1(index == 0 ? label : ""), Latin1(values[index])});
    };
    add("Name", HeldTexts(meter.Names, plan));
    add("Location", HeldTexts(meter.Locations, plan));
    add("Level offset", HeldTexts(meter.Offsets, plan));
    add("Period", {Period(plan)});
    add("Shifts", PatternTexts(plan));
    add("Meter class", {MeterClassText(plan.MeterClass)});
    return lines;
}

QRect ReportPages::NextPage() {
    ++page_;
    const QRect area(content_.topLeft(), QPoint(content_.right(), bottom_));
    if (counting_)
        return area;
    if (page_ == 1)
        painter_.begin(&writer_);
    else
        writer_.newPage();
    // The footer: when and by what on a line with the page's number, then the database's
    // path whole, broken anywhere over the lines left.
    const QFontMetrics metrics(small_, &writer_);
    const int top = content_.bottom() + metrics.height();
    painter_.setPen(PaperColors.Text);
    painter_.setFont(small_);
    painter_.drawText(QPoint(0, top + metrics.ascent()),
                      Latin1("Made " + footer_.Made + " by " + footer_.Version + " from"));
    const QString page = QString::asprintf("Page %d of %d", page_, pageCount_);
    painter_.drawText(QPoint(content_.right() - metrics.horizontalAdvance(page), top + metrics.ascent()), page);
    painter_.drawText(QRect(0, top + metrics.height(), content_.width(), writer_.height() - top - metrics.height()),
                      Qt::TextWrapAnywhere, QFile::decodeName(footer_.Database.c_str()));
    painter_.drawText(QRect(content_.left(), bottom_, content_.width(), content_.bottom() - bottom_),
                      Qt::TextWordWrap | Qt::AlignBottom, QString::fromLatin1(FiguresNote));
    return area;
}

int ReportPages::DrawText(int top, const QFont& font, const QString& text, int left) {
    const int x = left < 0 ? content_.left() : left;
    const QRect box(x, top, content_.right() + 1 - x, content_.height());
    const QFontMetrics metrics(font, &writer_);
    if (!counting_) {
        painter_.setFont(font);
        painter_.setPen(PaperColors.Text);
        painter_.drawText(box, Qt::TextWordWrap, text);
    }
    return std::max(metrics.height(), metrics.boundingRect(box, Qt::TextWordWrap, text).height());
}

int ReportPages::DrawMeter(int top, const MeterReport& meter) {
    PainterText text;
    const QString line =
        FitMeterTitle(text, QFontMetrics(body_, &writer_), content_.width(), QString::fromLatin1("Meter: "),
                      meter.Names.empty() ? QString() : Latin1(meter.Names.back().Value), Latin1(meter.Host));
    return DrawText(top, body_, line);
}

int ReportPages::DrawMeterHeader(int top, const ReportPlan& plan, const MeterReport& meter, bool continued) {
    const int start = top;
    top += DrawText(top, title_,
                    QString::fromLatin1(continued ? "Noise exposure report (continued)" : "Noise exposure report"));
    top += DrawText(top, body_, QString());
    top += DrawMeter(top, meter);
    const int valueLeft = content_.left() + static_cast<int>(ValueLeftMm * writer_.resolution() / 25.4);
    for (const HeadLine& line : MeterHead(plan, meter))
        top += std::max(DrawText(top, body_, line.Label), DrawText(top, body_, line.Value, valueLeft));
    // The paper never presents the default as the site's pattern.
    for (const DatedPattern& pattern : plan.Patterns)
        if (!continued && !pattern.Rejected.empty())
            top += DrawText(
                top, heading_,
                Latin1("Note: " + (plan.Patterns.size() > 1 ? DatesWithin(plan, pattern.From, pattern.To) + ": " : "") +
                       pattern.Rejected + "."));
    top += DrawText(top, body_, QString());
    return top - start;
}

int ReportPages::DrawDayHeader(int top, const MeterReport& meter, const LocalDate& date, bool continued) {
    const int start = top;
    top += DrawText(top, title_, Latin1(Weekday(date) + ", " + FormatDate(date) + (continued ? " (continued)" : "")));
    top += DrawMeter(top, meter);
    top += DrawText(top, body_, QString());
    return top - start;
}

int ReportPages::ColumnGap() const {
    return QFontMetrics(table_, &writer_).averageCharWidth() * 3 / 2;
}

int ReportPages::Fit(int top, int height, const std::function<int()>& nextPage) {
    return top + height <= bottom_ ? top : nextPage();
}

void ReportPages::DrawTableRow(int top, const ReportTable& table, const TableRow& row, const TableBlock& block,
                               bool head) {
    if (counting_)
        return;
    const int gap = ColumnGap();
    painter_.setPen(PaperColors.Text);
    int left = content_.left();
    for (std::size_t index = 0; index < block.Columns.size(); ++index) {
        const std::size_t column = block.Columns[index];
        painter_.setFont(CellFont(table, {table_, tableBold_, &writer_, gap}, row, column, head));
        painter_.drawText(QRect(left, top, block.Widths[index], content_.height()), CellFlags(row.Cells[column]),
                          row.Cells[column].Text);
        left += block.Widths[index] + gap;
    }
}

int ReportPages::DrawTable(int top, const ReportTable& table, const std::function<int()>& nextPage) {
    const QFontMetrics metrics(table_, &writer_);
    const TableFonts fonts{table_, tableBold_, &writer_, ColumnGap()};
    const int spacing = metrics.height() / 4;
    const std::vector<TableBlock> blocks = LayOutTable(table, fonts, content_.width());
    for (std::size_t index = 0; index < blocks.size(); ++index) {
        const TableBlock& block = blocks[index];
        const auto drawHead = [&] {
            DrawTableRow(top, table, table.Head, block, true);
            top += block.Heights[0] + spacing;
        };
        if (index > 0)
            top += metrics.height();
        // The head never stands alone at the foot of a page.
        top = Fit(top, block.Heights[0] + spacing + (table.Rows.empty() ? 0 : block.Heights[1]), nextPage);
        drawHead();
        for (std::size_t row = 0; row < table.Rows.size(); ++row) {
            const int height = block.Heights[row + 1];
            if (top + height > bottom_) {
                top = nextPage();
                drawHead();
            }
            DrawTableRow(top, table, table.Rows[row], block, false);
            top += height + spacing;
        }
    }
    return top;
}

void ReportPages::DrawSummary(const ReportPlan& plan, const MeterReport& meter) {
    const auto nextPage = [&] {
        const QRect area = NextPage();
        return area.top() + DrawMeterHeader(area.top(), plan, meter, true);
    };
    const QRect area = NextPage();
    int top = area.top() + DrawMeterHeader(area.top(), plan, meter, false);
    if (!meter.AnyMinutes) {
        DrawText(top, heading_, Latin1("No minutes were recorded for this meter from " + Period(plan) + "."));
        return;
    }
    std::vector<SummaryLine> lines;
    for (std::size_t index = 0; index < meter.Shifts.size(); ++index)
        lines.push_back({&meter.Shifts[index], meter.Highest == index});
    top = DrawTable(top, TableDown<SummaryLine>(SummaryFields, lines, [](const SummaryLine& l) { return l.Highest; }),
                    nextPage);
    const QString legend = QString::fromLatin1(
        "Levels in dB(A); Te: the shift's duration that day; measured: the A-weighted time as h:mm and its share of "
        "the shift; * the period's highest judged LEX,8h.");
    top = DrawBlock(top + QFontMetrics(table_, &writer_).height() / 2, table_, legend, nextPage);
    top = DrawBlock(top, heading_, QString::fromLatin1("Uncertainty of each shift's LEX,8h"), nextPage);
    top = DrawTable(top, TableDown(UncertaintyFields, meter.Uncertainties), nextPage);
    top = DrawBlock(top, heading_, QString::fromLatin1("Weekly noise exposure levels"), nextPage);
    top = DrawTable(top, TableDown(WeekFields, meter.Weeks), nextPage);
    DrawBlock(top, small_, QString::fromUtf8(PeriodNote), nextPage);
}

int ReportPages::DrawBlock(int top, const QFont& font, const QString& text, const std::function<int()>& nextPage) {
    const int height = QFontMetrics(font, &writer_).boundingRect(content_, Qt::TextWordWrap, text).height();
    top = Fit(top + QFontMetrics(body_, &writer_).height() / 2, height, nextPage);
    return top + DrawText(top, font, text);
}

void ReportPages::DrawDay(const ReportPlan& plan, const MeterReport& meter, const LocalDate& date,
                          const DayChart& chart) {
    const QRect area = NextPage();
    int top = area.top() + DrawDayHeader(area.top(), meter, date, false);

    // The chart, its labels around it: the scale's and the axis's name left and above, the
    // criterion's right, the hours under it, and its legend under them.
    const QFontMetrics scale(scale_, &writer_);
    const int labels = scale.horizontalAdvance(QString::fromLatin1(ChartScaleSample)) + scale.averageCharWidth();
    const int height = static_cast<int>(ChartHeightMm * writer_.resolution() / 25.4);
    const QRect plot(QPoint(area.left() + labels, top + scale.height() * 3 / 2),
                     QPoint(area.right() - labels, top + height - 2 * scale.height()));
    top += height;
    if (!counting_) {
        PainterText text;
        DrawHistoryChart(painter_, plot, scale_, chart.Picture, PaperColors, text);
        DrawChartLegend(painter_, QPoint(plot.left(), top), scale_, chart.Picture, PaperColors, text);
    }
    top += scale.height() * 2;

    const std::vector<ShiftFigures> shifts = ShiftsOfDay(meter, date);
    top += DrawText(top, body_, Latin1(DayLevels(shifts, chart)));
    top += DrawText(top, body_, QString());
    top += DrawText(
        top, heading_,
        Latin1("The shifts of " + FormatDate(date) + " (" + PatternText(PatternOfDay(plan.Patterns, date)) + ")"));
    DrawTable(top, TableAcross(DayFields, shifts), [&] {
        const QRect next = NextPage();
        return next.top() + DrawDayHeader(next.top(), meter, date, true);
    });
}

void ReportPages::DrawNoMinutes(const ReportPlan& plan) {
    const QRect area = NextPage();
    int top = area.top();
    top += DrawText(top, title_, QString::fromLatin1("Noise exposure report"));
    top += DrawText(top, body_, QString());
    top += DrawText(top, body_, Latin1("Period: " + Period(plan)));
    top += DrawText(top, body_, QString());
    DrawText(top, heading_, Latin1("No minutes were recorded from " + Period(plan) + ", of any meter."));
}
