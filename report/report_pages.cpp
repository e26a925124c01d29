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

// The values a meter's property held in the period: "Hall 3", or one line each with its dates
// within the period when it changed or was not recorded from the period's start.
std::vector<std::string> HeldTexts(const std::vector<HeldValue>& held, const ReportPlan& plan) {
    if (held.empty())
        return {"not recorded"};
    if (held.size() == 1 && held.front().From <= LocalDayStart(plan.From))
        return {held.front().Value};
    std::vector<std::string> texts;
    for (const HeldValue& value : held)
        texts.push_back(value.Value + ", " + FormatDate(std::max(LocalDateOf(value.From), plan.From)) + " to " +
                        FormatDate(std::min(LocalDateOf(value.To - 1), plan.To)));
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
    add("Shifts", {PatternText(plan.Shifts)});
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
    const QFontMetrics metrics(table_, &writer_);
    top += metrics.height() / 2;
    top = Fit(top, metrics.boundingRect(content_, Qt::TextWordWrap, legend).height(), nextPage);
    DrawText(top, table_, legend);
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
    top += DrawText(top, heading_, Latin1("The shifts of " + FormatDate(date) + " (" + PatternText(plan.Shifts) + ")"));
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
