// decimon-report: the display's record of sound levels as a PDF noise exposure report, read
// from the same database while the display writes it, without a display (Qt's offscreen
// platform), so that cron can run it. Exit status 0; 1 when the database is missing or cannot
// be read or the report cannot be written (and then no file is left behind); 2 for bad
// arguments (--shifts too).
#include "chart/history_picture.h"
#include "levels/daily_figures.h"
#include "levels/shift_length.h"
#include "platform/sys/ole_date_time.h"
#include "record/level_reader.h"
#include "record/level_schema.h"
#include "report/replacing_file.h"
#include "report/report_options.h"
#include "report/report_pages.h"
#include "report/report_plan.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPdfWriter>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr int Resolution = 600;  // dots per inch of the PDF's coordinates
constexpr double MarginMm = 16;

void Say(const std::string& message) {
    std::fprintf(stderr, "decimon-report: %s\n", message.c_str());
}

int Fail(const std::string& message) {
    Say(message);
    return 1;
}

// Qt's own notes (a missing XDG_RUNTIME_DIR, say) are no business of a cron job's mail: only
// its errors are said.
void QtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        Say(message.toStdString());
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// What only the day's minutes tell: its chart, and how many of its minutes were above 85 dB.
DayChart MakeDayChart(const std::string& host, const LocalDate& date, std::vector<MinuteRow> rows) {
    HistoryWindow window;
    window.From = LocalDayStart(date);
    window.To = LocalDayStart(NextDate(date));
    window.Minutes = static_cast<int>((window.To - window.From) / SecondsPerMinute);
    DayChart chart;
    for (const MinuteRow& row : rows)
        chart.MinutesAbove85 += std::isfinite(row.Leq) && row.Leq > DoseCriterionLevel;
    chart.Picture = MakeHistoryPicture(window, host, {true, "", std::move(rows)});
    return chart;
}

// Draws the plan's pages, reading each day's minutes as its page comes; false (with `error`)
// when the record cannot be read.
bool DrawReport(LevelReader& reader, const ReportPlan& plan, ReportPages& pages, std::string& error) {
    pages.Plan(plan);
    if (plan.Meters.empty())
        pages.DrawNoMinutes(plan);
    for (const MeterReport& meter : plan.Meters) {
        pages.DrawSummary(plan, meter);
        if (!meter.AnyMinutes)
            continue;
        for (const DayFigures& day : meter.Days) {
            const MinuteQuery query{meter.Host, LocalDayStart(day.Date), LocalDayStart(NextDate(day.Date))};
            std::optional<std::vector<MinuteRow>> rows = reader.ReadMinutes(query);
            if (!rows) {
                error = reader.Error();
                return false;
            }
            pages.DrawDay(plan, meter, day, MakeDayChart(meter.Host, day.Date, std::move(*rows)));
        }
    }
    return true;
}

std::string Title(const ReportPlan& plan) {
    std::string title = "Noise exposure report";
    if (plan.Meters.size() == 1)
        title += ", " + plan.Meters.front().Host;
    return title + ", " + FormatDate(plan.From) + (plan.From == plan.To ? "" : " to " + FormatDate(plan.To));
}

int Report(const ReportOptions& options, char** argv) {
    std::string warning;
    const double shiftLenHours = ReadShiftLength(warning);
    if (!warning.empty())
        Say(warning);
    auto shifts = ReadShifts(options.Shifts, shiftLenHours, warning);
    if (const std::string* error = std::get_if<std::string>(&shifts)) {
        Say(*error);
        return 2;
    }
    if (!warning.empty())
        Say(warning);
    const std::string path = options.Database.value_or(DefaultLevelDatabasePath());
    if (!IsFile(path))
        return Fail("no levels recorded: there is no database at " + (path.empty() ? "$XDG_DATA_HOME" : path));
    LevelReader reader(path);
    // The days' figures first, for the summary: one running sum a day, as decimon-levels --daily.
    DailySums sums;
    const MinuteQuery period{options.Host, LocalDayStart(options.From), LocalDayStart(NextDate(options.To))};
    if (!reader.IsOpen() || !reader.ForEachMinute(period, [&](const MinuteRow& row) {
            sums.Add(row);
            return true;
        }))
        return Fail("cannot read " + path + ": " + reader.Error());
    ReportPlan plan = MakeReportPlan(sums, options.Host, options.From, options.To, shiftLenHours);
    plan.Shifts = std::get<ShiftPattern>(std::move(shifts));

    // The report never needs a screen: cron runs it without X or Wayland.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QtMessage);
    int qtArgc = 1;  // Qt takes none of the report's arguments
    QGuiApplication application(qtArgc, argv);
    ReplacingFile file(options.Output);
    if (!file.Begin())
        return Fail("cannot write " + options.Output + ": " + file.Error());
    std::string error;
    {
        QPdfWriter writer(&file);
        writer.setResolution(Resolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm), QPageLayout::Millimeter));
        writer.setTitle(QString::fromLatin1(Title(plan)));
        writer.setCreator(QString::fromLatin1("decimon-report " DECIMON_VERSION));
        ReportPages pages(writer, {FormatLocalTime(std::time(nullptr)), "decimon-report " DECIMON_VERSION, path});
        const bool read = DrawReport(reader, plan, pages, error);
        pages.End();
        if (!read)
            return Fail("cannot read " + path + ": " + error);
    }
    if (!file.Commit())
        return Fail("cannot write " + options.Output + ": " + file.Error());
    return 0;
}

LocalDate Yesterday() {
    const LocalDate today = LocalDateOf(std::time(nullptr));
    return LocalDateOf(LocalDayStart(today) - 1);
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseReportOptions(std::vector<std::string>(argv + 1, argv + argc), Yesterday());
    if (const std::string* error = std::get_if<std::string>(&parsed)) {
        Say(*error + " (decimon-report --help tells the options)");
        return 2;
    }
    const ReportOptions& options = std::get<ReportOptions>(parsed);
    if (options.Help) {
        std::fputs(ReportUsage, stdout);
        return 0;
    }
    if (options.Version) {
        std::printf("decimon-report %s\n", DECIMON_VERSION);
        return 0;
    }
    return Report(options, argv);
}
