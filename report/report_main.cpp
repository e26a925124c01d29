// decimon-report: the display's record of sound levels as a PDF noise exposure report, read
// from the same database while the display writes it, without a display (Qt's offscreen
// platform), so that cron can run it. Exit status 0; 1 when the database is missing or cannot
// be read, --host names a host it does not hold or the report cannot be written (and then no
// file is left behind); 2 for bad arguments (--shifts too).
#include "chart/history_picture.h"
#include "exposure/level_math.h"
#include "exposure/printed_figures.h"
#include "levels/record_tool.h"
#include "platform/sys/command_line_manner.h"
#include "platform/sys/ole_date_time.h"
#include "platform/sys/replacing_file.h"
#include "report/report_options.h"
#include "report/report_pages.h"
#include "report/report_plan.h"
#include "report/stream_device.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Resolution = 600;  // dots per inch of the PDF's coordinates
constexpr double MarginMm = 16;

RecordTool Tool("decimon-report");  // its messages, and the record it reads

// Qt's own notes (a missing XDG_RUNTIME_DIR, say) are no business of a cron job's mail: only
// its errors are said.
void QtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        Tool.Say(message.toStdString());
}

// A new report is a document like any other the user writes; an existing one keeps its mode.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Where the PDF goes: standard output for "-", else a file replaced only by a whole report.
class ReportOutput {
public:
    explicit ReportOutput(const std::string& name) : name_(name) {
        if (name != "-")
            file_ = std::make_unique<ReplacingFile>(name, NewFileMode(), true);
    }
    OutputStream& Stream() { return file_ ? static_cast<OutputStream&>(*file_) : standardOutput_; }
    bool Begin() { return !file_ || file_->Begin(); }
    bool Commit() { return file_ ? file_->Commit() : standardOutput_.Flush(); }
    // The exit status 1 after one line naming the output and why it failed.
    int Failed() const {
        return Tool.Fail("cannot write " + (file_ ? name_ : std::string("the report to standard output")) + ": " +
                         (file_ ? file_->Error() : standardOutput_.Error()));
    }

private:
    std::string name_;
    std::unique_ptr<ReplacingFile> file_;
    StandardOutput standardOutput_;
};

// The highest level of a minute's polls by its weighting: "LAmax", "LCmax"; "Lmax" for others.
std::string MaxName(const std::string& weighting) {
    const std::string unit = WeightingUnit(weighting);
    return unit.size() == 5 && unit.starts_with("dB(") ? "L" + unit.substr(3, 1) + "max" : "Lmax";
}

// What only the day's minutes tell: its chart with the shifts' boundaries, and its loudest
// level per weighting.
DayChart MakeDayChart(const ReportPlan& plan, const std::string& host, const LocalDate& date,
                      const std::vector<MinuteRow>& rows) {
    HistoryWindow window;
    window.From = LocalDayStart(date);
    window.To = LocalDayStart(NextDate(date));
    window.Minutes = static_cast<int>((window.To - window.From) / SecondsPerMinute);
    DayChart chart;
    chart.Picture = MakeHistoryChart(window, host, rows);
    // The day's shifts and the one of the day before that may end in it.
    for (const LocalDate& day : {LocalDateOf(window.From - 1), date})
        for (const ShiftWindow& shift : ShiftWindows(PatternOfDay(plan.Patterns, day), day))
            chart.Picture.Boundaries.insert(chart.Picture.Boundaries.end(), {shift.From, shift.To});
    std::map<std::string, double> loudest;
    for (const MinuteRow& row : rows) {
        if (!std::isfinite(row.Lmax))
            continue;
        const auto [level, added] = loudest.try_emplace(row.Weighting, row.Lmax);
        if (!added)
            level->second = std::max(level->second, row.Lmax);
    }
    for (const auto& [weighting, level] : loudest)
        chart.Lmax += (chart.Lmax.empty() ? "" : ", ") + MaxName(weighting) + " " + FormatTenths(level) + " " +
                      WeightingUnit(weighting);
    return chart;
}

// Draws the plan's pages, reading each day's minutes as its page comes; false when the record
// cannot be read.
bool DrawReport(LevelReader& reader, const ReportPlan& plan, ReportPages& pages) {
    return pages.Draw(plan, [&](const MeterReport& meter, const LocalDate& date) -> std::optional<DayChart> {
        const MinuteQuery query{meter.Host, LocalDayStart(date), LocalDayStart(NextDate(date))};
        const std::optional<std::vector<MinuteRow>> rows = reader.ReadMinutes(query);
        if (!rows)
            return std::nullopt;
        return MakeDayChart(plan, meter.Host, date, *rows);
    });
}

std::string Title(const ReportPlan& plan) {
    std::string title = "Noise exposure report";
    if (plan.Meters.size() == 1)
        title += ", " + plan.Meters.front().Host;
    return title + ", " + FormatDate(plan.From) + (plan.From == plan.To ? "" : " to " + FormatDate(plan.To));
}

int Report(const ReportOptions& options, char** argv) {
    const double shiftLenHours = Tool.ShiftLength();
    const std::optional<ShiftPattern> shifts = Tool.Shifts(options.Shifts, shiftLenHours);
    if (!shifts)
        return 2;
    const std::unique_ptr<LevelReader> reader = Tool.OpenRecord(options);
    if (!reader)
        return 1;
    // The shifts' figures first, for the summary: summed as decimon-levels --shifts sums them.
    const auto patterns = Tool.PatternsByDate(*reader, *shifts, options.Shifts.has_value(), options.From, options.To);
    if (!patterns)
        return 1;
    const std::optional<ReportPlan> plan = MakeReportPlan(*reader, options.Host, options.From, options.To, *patterns,
                                                          COleDateTime::GetCurrentCalendarTime(), Tool.MeterClass());
    if (!plan)
        return Tool.ReadFailed(*reader);

    // The report never needs a screen: cron runs it without X or Wayland.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QtMessage);
    int qtArgc = 1;  // Qt takes none of the report's arguments
    QGuiApplication application(qtArgc, argv);
    ReportOutput output(options.Output);
    if (!output.Begin())
        return output.Failed();
    {
        StreamDevice device(output.Stream());
        QPdfWriter writer(&device);
        writer.setResolution(Resolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm), QPageLayout::Millimeter));
        writer.setTitle(QString::fromLatin1(Title(*plan)));
        writer.setCreator(QString::fromLatin1("decimon-report " DECIMON_VERSION));
        ReportPages pages(writer,
                          {FormatLocalTime(std::time(nullptr)), "decimon-report " DECIMON_VERSION, Tool.Path()});
        const bool read = DrawReport(*reader, *plan, pages);
        pages.End();
        if (!read)
            return Tool.ReadFailed(*reader);
    }
    return output.Commit() ? 0 : output.Failed();
}

LocalDate Yesterday() {
    const LocalDate today = LocalDateOf(std::time(nullptr));
    return LocalDateOf(LocalDayStart(today) - 1);
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseReportOptions(std::vector<std::string>(argv + 1, argv + argc), Yesterday());
    if (const std::string* error = std::get_if<std::string>(&parsed))
        return RefuseArguments("decimon-report", *error);
    const ReportOptions& options = std::get<ReportOptions>(parsed);
    if (options.Help)
        return ShowUsage(ReportUsage);
    if (options.Version)
        return ShowVersion("decimon-report", DECIMON_VERSION);
    return Report(options, argv);
}
