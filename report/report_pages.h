#pragma once
// The report's pages drawn onto a PDF writer (A4, portrait): per meter a summary with the
// meter's head and a row per shift per day (over several pages when they do not fit on one),
// then a page a day with the history chart, the shifts' boundaries marked on it, and a table
// of the day's shifts with all their figures; a page that says so when the period holds no
// minutes at all. Every page has the note on how the figures are reckoned and judged, and the
// footer: "Page N of M", when and by which version it was made, the database it was read
// from. Texts from the record are drawn as ISO 8859-1, the display's code page, so any bytes
// come out as text.

#include "chart/history_picture.h"
#include "report/report_plan.h"

#include <QFont>
#include <QPainter>
#include <QRect>

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
    std::string Lmax;  // the day's loudest level per weighting: "93.2 dBA"; empty without minutes
};

class ReportPages {
public:
    ReportPages(QPdfWriter& writer, ReportFooter footer);

    // Counts the pages the plan takes, for the footers: before the first page is drawn.
    void Plan(const ReportPlan& plan) { pageCount_ = PageCount(plan); }

    void DrawSummary(const ReportPlan& plan, const MeterReport& meter);
    void DrawDay(const ReportPlan& plan, const MeterReport& meter, const LocalDate& date, const DayChart& chart);
    void DrawNoMinutes(const ReportPlan& plan);

    // Ends the document; false when the writer failed.
    bool End() { return painter_.end(); }

private:
    // A line of the meter's head: its label and value, a value that changed on lines of its own.
    struct HeadLine {
        QString Label;
        QString Value;
    };

    int PageCount(const ReportPlan& plan) const;
    std::vector<HeadLine> MeterHead(const ReportPlan& plan, const MeterReport& meter) const;
    int SummaryRowsPerPage(const ReportPlan& plan, const MeterReport& meter) const;
    int SummaryPages(const ReportPlan& plan, const MeterReport& meter) const;
    int NoteHeight() const;
    // Starts a page (after the first) with its footer; the area left above the footer.
    QRect NextPage();
    // Draws `text` from `top` in `font` within the content's width, cut short to fit unless
    // `elide` says otherwise; the height it took.
    int DrawLine(int top, const QFont& font, const QString& text, int left = -1,
                 Qt::TextElideMode elide = Qt::ElideRight);
    // "Meter: NAME (HOST)", the address whole however long; the height it took.
    int DrawMeter(int top, const MeterReport& meter);
    // The note on the figures, ending at `bottom`.
    void DrawNote(int bottom);
    void DrawTableRow(int top, const std::vector<QString>& cells, const QFont& font);
    // The summary's head: title, meter, its values, period, shifts; the height it took.
    int DrawMeterHeader(int top, const ReportPlan& plan, const MeterReport& meter, bool continued);
    void DrawSummaryRow(int top, const ShiftFigures& shift, bool highest);
    // The day's shifts, a column each, a row per figure, from `top`; the height it took.
    int DrawShiftTable(int top, const std::vector<ShiftFigures>& shifts);

    QPdfWriter& writer_;
    QPainter painter_;
    ReportFooter footer_;
    QRect content_;  // inside the margins, above the footer
    QFont title_, heading_, body_, table_, tableBold_, small_, scale_;
    int pageCount_ = 0;
    int page_ = 0;  // the page being drawn, from 1
};
