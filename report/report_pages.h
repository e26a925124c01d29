#pragma once
// The report's pages drawn onto a PDF writer (A4, portrait): per meter a summary with the
// meter's head and a row per shift per day, then a page a day with the history chart, the
// shifts' boundaries marked on it, its legend, and a table of the day's shifts with all their
// figures; a page that says so when the period holds no minutes at all. A table that does not
// fit above the note continues on the next page with its head again. Every page has the note
// on how the figures are reckoned and judged, and the footer: "Page N of M", when and by which
// version it was made, the database it was read from. Texts from the record are drawn as
// ISO 8859-1, the display's code page, so any bytes come out as text.

#include "chart/history_picture.h"
#include "report/report_plan.h"
#include "report/report_table.h"

#include <QFont>
#include <QPainter>
#include <QRect>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPdfWriter;

struct ReportFooter {
    std::string Made;      // "2026-12-08T05:12:00+01:00"
    std::string Version;   // "decimon-report 1.2.0.0"
    std::string Database;  // the path it was read from
};

// What a day's page shows that only its minutes tell.
struct DayChart {
    HistoryPicture Picture;
    // The day's highest level of the polls per weighting: "LAmax 93.2 dB(A), LCmax 101.0 dB(C)";
    // empty without minutes.
    std::string Lmax;
};

class ReportPages {
public:
    ReportPages(QPdfWriter& writer, ReportFooter footer);

    // A day's chart, read as its page comes; nothing when its minutes cannot be read.
    using DayCharts = std::function<std::optional<DayChart>(const MeterReport&, const LocalDate&)>;

    // Draws every page of `plan`, laid out once before to count them; false when a day's chart
    // could not be made.
    bool Draw(const ReportPlan& plan, const DayCharts& charts);

    // Ends the document; false when the writer failed.
    bool End() { return painter_.end(); }

private:
    bool DrawPages(const ReportPlan& plan, const DayCharts& charts);
    void DrawSummary(const ReportPlan& plan, const MeterReport& meter);
    void DrawDay(const ReportPlan& plan, const MeterReport& meter, const LocalDate& date, const DayChart& chart);
    void DrawNoMinutes(const ReportPlan& plan);

    // A line of the meter's head: its label and value, a value that changed on lines of its own.
    struct HeadLine {
        QString Label;
        QString Value;
    };

    std::vector<HeadLine> MeterHead(const ReportPlan& plan, const MeterReport& meter) const;
    // Starts a page with its footer and note; the area left above the note.
    QRect NextPage();
    // Draws `text` from `top` in `font` within the content's width from `left`, wrapped at its
    // spaces; the height it took.
    int DrawText(int top, const QFont& font, const QString& text, int left = -1);
    // "Meter: NAME (HOST)", the address whole however long; the height it took.
    int DrawMeter(int top, const MeterReport& meter);
    // The summary's head: title, meter, its values, period, shifts; the height it took.
    int DrawMeterHeader(int top, const ReportPlan& plan, const MeterReport& meter, bool continued);
    // A day page's head: its date and the meter; the height it took.
    int DrawDayHeader(int top, const MeterReport& meter, const LocalDate& date, bool continued);
    int ColumnGap() const;
    // `top`, or when `height` does not fit above the note there, where `nextPage` lets go on.
    int Fit(int top, int height, const std::function<int()>& nextPage);
    // Draws `text` in `font` half a line below `top`, on the next page when it does not fit; where it ended.
    int DrawBlock(int top, const QFont& font, const QString& text, const std::function<int()>& nextPage);
    // Draws `table` from `top`, going on on pages begun by `nextPage` (which returns where the
    // table may continue) where it does not fit; where it ended.
    int DrawTable(int top, const ReportTable& table, const std::function<int()>& nextPage);
    void DrawTableRow(int top, const ReportTable& table, const TableRow& row, const TableBlock& block, bool head);

    QPdfWriter& writer_;
    QPainter painter_;
    ReportFooter footer_;
    QRect content_;   // inside the margins, above the footer
    int bottom_ = 0;  // where the page's text must end, above the note
    QFont title_, heading_, body_, table_, tableBold_, small_, scale_;
    bool counting_ = false;  // laying the pages out without drawing, to count them
    int pageCount_ = 0;
    int page_ = 0;  // the page being drawn, from 1
};
