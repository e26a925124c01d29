#include "chart/history_picture.h"

#include "exposure/level_math.h"
#include "exposure/local_days.h"
#include "exposure/printed_figures.h"
#include "exposure/shift_figures.h"
#include "platform/sys/c_locale.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <iterator>
#include <optional>
#include <set>

namespace {

// The scale never reaches beyond these, so that a corrupt minute cannot stretch it without end.
constexpr int LowestScale = -100;
constexpr int HighestScale = 250;
constexpr int DefaultScaleLow = 60;
constexpr int DefaultScaleHigh = 100;
constexpr double ScaleRoom = 5.0;      // dB between the data and the scale's ends
constexpr double HighestDose = 1.0e9;  // percent; keeps the rounding in range

// printf into a string, numbers as in the "C" locale.
[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
    char text[256];  // a 127-character host or weighting fits; snprintf cuts the rest
    const ScopedCLocale numbers;
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

// A line in the display language: `source` with "%1"... filled, as UTF-8.
std::string Tr(const char* source, const QStringList& args = {}) {
    QString text = QCoreApplication::translate("History", source);
    for (const QString& arg : args)
        text = text.arg(arg);
    return text.toStdString();
}

// "85.3"
QString OneDecimal(double value) {
    return QString::fromStdString(Format("%.1f", value));
}

// "7h 12m"
QString HoursAndMinutes(long long minutes) {
    return QString::fromStdString(
        Tr(QT_TRANSLATE_NOOP("History", "%1h %2m"), {QString::number(minutes / 60), QString::number(minutes % 60)}));
}

// A shift's minutes of other weightings, those ShiftFigures::OtherWeightings names, as a line:
// "9 min C-weighted, not judged; 2 min Z-weighted, not judged".
std::string OtherWeightings(const ShiftFigures& figures) {
    std::string line;
    for (const auto& [weighting, seconds] : figures.OtherSeconds) {
        const QString minutes = QString::number(std::llround(seconds / 60.0));
        line += line.empty() ? "" : "; ";
        if (weighting == "dBC")
            line += Tr(QT_TRANSLATE_NOOP("History", "%1 min C-weighted, not judged"), {minutes});
        else if (weighting == "dBz" || weighting == "dBZ")
            line += Tr(QT_TRANSLATE_NOOP("History", "%1 min Z-weighted, not judged"), {minutes});
        else
            line += Tr(QT_TRANSLATE_NOOP("History", "%1 min of weighting \"%2\", not judged"),
                       {minutes, QString::fromStdString(weighting)});
    }
    return line;
}

// Seconds from `local` to the next local full hour, 0 when it is one.
std::int64_t ToFullHour(const LocalMoment& local) {
    const int intoHour = local.Minute * 60 + local.Second;
    return intoHour == 0 ? 0 : 3600 - intoHour;
}

bool IsFinite(const MinuteRow& row) {
    return std::isfinite(row.Leq) && std::isfinite(row.Seconds);
}

std::vector<MinuteRow> FiniteMinutes(const std::vector<MinuteRow>& rows) {
    std::vector<MinuteRow> finite;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(finite), IsFinite);
    return finite;
}

void SetScale(HistoryPicture& picture) {
    double low = DoseCriterionLevel;
    double high = DoseCriterionLevel;
    for (const ChartMinute& minute : picture.Minutes) {
        low = std::min(low, minute.Leq);
        high = std::max(high, minute.Leq);
    }
    const auto tens = [](double level) { return std::clamp(level / 10.0, LowestScale / 10.0, HighestScale / 10.0); };
    picture.ScaleLow = std::min(DefaultScaleLow, 10 * static_cast<int>(std::floor(tens(low - ScaleRoom))));
    picture.ScaleHigh = std::max(DefaultScaleHigh, 10 * static_cast<int>(std::ceil(tens(high + ScaleRoom))));
}

std::optional<ShiftFigures> FiguresOf(const std::optional<ShiftWindow>& shift, const std::vector<MinuteRow>& rows) {
    return shift ? std::optional(FiguresOfShift(*shift, rows)) : std::nullopt;
}

bool AnyMinutes(const std::optional<ShiftFigures>& figures) {
    return figures && (figures->MeasuredSeconds > 0.0 || !figures->OtherSeconds.empty());
}

// The final figures of a shift that ended, as the report prints them.
std::vector<std::string> EndedLines(const ShiftFigures& ended) {
    std::vector<std::string> lines = {
        Tr(QT_TRANSLATE_NOOP("History", "Shift %1 ended:"), {QString::fromStdString(ShiftHours(ended.Window.Hours))})};
    if (ended.MeasuredSeconds > 0.0)
        lines.push_back(Tr(QT_TRANSLATE_NOOP("History", "LEX,8h %1 dB(A), dose %2 %"),
                           {QString::fromStdString(FormatTenths(ended.Lex8h)),
                            QString::fromStdString(FormatTenths(ended.DosePercent))}));
    else if (!ended.OtherSeconds.empty())
        lines.push_back(OtherWeightings(ended));
    else
        lines.push_back(Tr(QT_TRANSLATE_NOOP("History", "Nothing measured in this shift")));
    return lines;
}

// The shift under way and the one that just ended, reckoned as the report and decimon-levels
// --shifts reckon them.
std::vector<std::string> Figures(const HistoryWindow& window, const std::vector<MinuteRow>& rows,
                                 const std::optional<ShiftWindow>& shift, const std::optional<ShiftWindow>& ended,
                                 bool anyInWindow) {
    const std::optional<ShiftFigures> figures = FiguresOf(shift, rows);
    const std::optional<ShiftFigures> last = FiguresOf(ended, rows);
    const bool anyInShift = AnyMinutes(figures);
    if (!anyInWindow && !anyInShift && !AnyMinutes(last))
        return {Tr(QT_TRANSLATE_NOOP("History", "No levels recorded in the last %1 h"), {OneDecimal(window.Hours())})};
    std::vector<std::string> lines = last ? EndedLines(*last) : std::vector<std::string>{};
    if (!figures) {
        lines.push_back(Tr(QT_TRANSLATE_NOOP("History", "No shift under way")));
        return lines;
    }
    lines.push_back(
        Tr(QT_TRANSLATE_NOOP("History", "Shift %1"), {QString::fromStdString(ShiftHours(figures->Window.Hours))}));
    // Whole minutes measured: never more than the record holds.
    lines.push_back(Tr(QT_TRANSLATE_NOOP("History", "Measured %1 of %2"),
                       {HoursAndMinutes(static_cast<long long>(figures->MeasuredSeconds / 60.0)),
                        HoursAndMinutes(std::llround(figures->DurationSeconds / 60.0))}));
    if (last)
        return lines;  // the ended shift takes the room of the figures so far
    if (figures->MeasuredSeconds > 0.0) {
        lines.push_back(Tr(QT_TRANSLATE_NOOP("History", "LAeq so far %1 dB(A)"), {OneDecimal(figures->Laeq)}));
        lines.push_back(Tr(QT_TRANSLATE_NOOP("History", "Dose used so far %1 %"),
                           {QString::number(std::llround(std::min(figures->DoseUsedPercent(), HighestDose)))}));
    } else if (anyInShift) {
        lines.push_back(Tr(QT_TRANSLATE_NOOP("History", "LAeq so far: no A-weighted minutes")));
        lines.push_back(OtherWeightings(*figures));
    } else {
        lines.push_back(Tr(QT_TRANSLATE_NOOP("History", "Nothing measured in this shift yet")));
    }
    return lines;
}

}  // namespace

std::string WeightingUnit(std::string_view weighting) {
    if (weighting.size() == 3 && weighting.starts_with("dB") &&
        std::string_view("ACZacz").find(weighting[2]) != std::string_view::npos)
        return "dB(" + std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(weighting[2])))) + ")";
    return std::string(weighting);
}

HistoryWindow HistoryWindowAt(std::int64_t now, double shiftLenHours) {
    const double minutes = shiftLenHours * 60.0;
    HistoryWindow window;
    // A NaN fails both tests and gives the shortest window.
    window.Minutes = minutes >= MaxHistoryMinutes ? MaxHistoryMinutes
                     : minutes >= 1.0             ? static_cast<int>(std::lround(minutes))
                                                  : 1;
    window.To = MinuteStart(now) + SecondsPerMinute;
    window.From = window.To - SecondsPerMinute * window.Minutes;
    return window;
}

std::vector<HourMark> LocalHourMarks(std::int64_t from, std::int64_t to) {
    std::vector<HourMark> marks;
    std::int64_t at = from + ToFullHour(LocalMomentOf(from));
    while (at <= to) {
        // An hour on, or where the clocks changed by half an hour, the full hour after that.
        const LocalMoment local = LocalMomentOf(at);
        if (const std::int64_t rest = ToFullHour(local); rest != 0) {
            at += rest;
            continue;
        }
        marks.push_back({at, local.Hour, FormatTimeOfDay(local)});
        at += 3600;
    }
    return marks;
}

HistoryPicture MakeHistoryFrame(const HistoryWindow& window, std::string_view host) {
    HistoryPicture picture;
    picture.Host = host;
    picture.Window = window;
    picture.Hours = LocalHourMarks(window.From, window.To);
    return picture;
}

HistoryPicture MakeHistoryChart(const HistoryWindow& window, std::string_view host,
                                const std::vector<MinuteRow>& rows) {
    HistoryPicture picture = MakeHistoryFrame(window, host);
    std::set<std::string> weightings;
    for (const MinuteRow& row : rows) {
        if (!IsFinite(row) || row.Start < window.From || row.Start >= window.To)
            continue;
        picture.Minutes.push_back({row.Start, row.Leq, row.Weighting != "dBA"});
        weightings.insert(row.Weighting);
    }
    picture.Weightings.assign(weightings.begin(), weightings.end());
    SetScale(picture);
    if (!weightings.empty()) {
        std::string units;
        for (const std::string& weighting : weightings)
            units += (units.empty() ? "" : ", ") + WeightingUnit(weighting);
        picture.LevelAxis = Tr(QT_TRANSLATE_NOOP("History", "Leq, %1"), {QString::fromStdString(units)});
    }
    return picture;
}

std::optional<ShiftWindow> KeptShift(const ShiftPattern& pattern, std::int64_t now,
                                     const std::optional<ShiftWindow>& current) {
    if (current && now - current->From >= KeptShiftSeconds)
        return std::nullopt;
    // Every shift ends within a day of its start: the last to end is one of yesterday's or today's.
    const LocalDate today = LocalDateOf(now);
    std::optional<ShiftWindow> last;
    for (const LocalDate& date : {LocalDateOf(LocalDayStart(today) - 1), today})
        for (const ShiftWindow& window : ShiftWindows(pattern, date))
            if (window.To <= now && (!last || window.To > last->To))
                last = window;
    return last;
}

HistoryPicture MakeHistoryPicture(const HistoryWindow& window, std::string_view host, const HistoryRecord& record,
                                  const std::optional<ShiftWindow>& shift, const std::optional<ShiftWindow>& ended) {
    HistoryPicture picture = MakeHistoryChart(window, host, record.Rows);
    picture.Figures = Figures(window, FiniteMinutes(record.Rows), shift, ended, !picture.Minutes.empty());
    if (!record.Readable)
        picture.Reason = Tr(QT_TRANSLATE_NOOP("History", "The record cannot be read: %1"),
                            {QString::fromLocal8Bit(record.Error.data(), static_cast<qsizetype>(record.Error.size()))});
    return picture;
}
