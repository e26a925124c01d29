// decimon-report as a site runs it, read back with poppler's pdftotext and pdfinfo: its pages,
// the meter's head with a changed offset, its shifts' figures against decimon-levels --shifts,
// the action bands at their edges, a day without minutes; the report sent to standard output, through a link and over
// one with its own mode; and outputs that cannot be written (a missing folder, a read-only and a full disk, a device),
// which leave nothing behind and an old report or the device as it was.
#include "tests/levels/record_program.h"
#include "tests/support/case_name.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QRectF>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace decimon::test;

constexpr std::int64_t Day = 86400;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A tmpfs of `size` at `folder`, read-only when asked, for the time of a test; Mounted() is
// false where the test may not mount (not root).
class TmpfsMount {
public:
    TmpfsMount(std::filesystem::path folder, const char* size, bool readOnly) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        const std::string options = std::string("size=") + size;
        mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", readOnly ? MS_RDONLY : 0, options.c_str()) == 0;
    }
    ~TmpfsMount() {
        if (mounted_)
            ::umount(folder_.c_str());
    }
    bool Mounted() const { return mounted_; }

private:
    std::filesystem::path folder_;
    bool mounted_ = false;
};

class ReportProgram : public LevelsProgram {
protected:
    // From 2025-11-27 to 2025-12-01: eight hours at 79.9, at 80.0, none, the example day
    // (LEX,8h 85.1), eight hours at 87.0.
    void RecordBandDays() {
        LevelDatabase::Make(xdg_.LevelDatabase(),
                            Joined({SteadyMinutes("press", BerlinEight - 3 * Day, 480, 79.9),
                                    SteadyMinutes("press", BerlinEight - 2 * Day, 480, 80.0), ExampleDay(),
                                    SteadyMinutes("press", BerlinEight + Day, 480, 87.0)}));
    }
    // The text of the report's pages from `first` to `last`, laid out as printed.
    std::string PdfText(int first, int last) {
        return Output({DECIMON_PDFTOTEXT, "-layout", "-f", std::to_string(first), "-l", std::to_string(last),
                       pdf_.string(), "-"});
    }
    std::string Output(const std::vector<std::string>& argv) {
        ChildProcess child(argv, ChildProcess::Stderr::Capture);
        std::string out;
        while (const auto line = child.ReadLine(Scaled(10000ms)))
            out += *line + "\n";
        EXPECT_EQ(child.WaitExit(Scaled(10000ms)), 0) << argv[0];
        return out;
    }

    std::filesystem::path pdf_ = xdg_.Root() / "report.pdf";
};

// The summary's row of `date` ("Thu 2025-11-27 8:00 ..."), with the lines of its cells that
// wrapped (indented far), its spaces collapsed to one.
std::string LineOf(const std::string& text, const std::string& date) {
    std::istringstream lines(text);
    const std::regex row("^ *[A-Z][a-z]{2} " + date + " ");
    std::string found;
    for (std::string line; std::getline(lines, line);) {
        if (found.empty() ? std::regex_search(line, row) : line.starts_with(std::string(20, ' ')))
            found += line + " ";
        else if (!found.empty())
            break;
    }
    return std::regex_replace(found, std::regex(" +"), " ");
}

std::vector<std::string> Plus(std::vector<std::string> arguments, const std::string& more) {
    arguments.push_back(more);
    return arguments;
}

// The fields of each record of a CSV after its header (none holds a quoted comma before those read).
std::vector<std::vector<std::string>> CsvRecords(const std::string& csv) {
    std::vector<std::vector<std::string>> records;
    std::istringstream lines(csv.substr(csv.find('\n') + 1));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line.substr(0, line.find('\r')));
        std::vector<std::string>& record = records.emplace_back();
        for (std::string value; std::getline(fields, value, ',');)
            record.push_back(value);
    }
    return records;
}

TEST_F(ReportProgram, ReadsBackWithTheShiftFiguresTheMeterAndTheActionBands) {
    RecordBandDays();
    {
        // The meter as it reported itself, its level offset changed at midnight to 2025-11-30.
        LevelStore store(xdg_.LevelDatabase().string());
        const std::vector<MeterRow> meters = {{"press", BerlinEight - 30 * Day, "Press 7", "Hall 3, north", 0},
                                              {"press", BerlinEight - 8 * 3600, "Press 7", "Hall 3, north", 2}};
        ASSERT_TRUE(store.WriteMeters(meters)) << store.Error();
        // The site's shifts, from Sunday the default for a setting Shifts that could not be used.
        ASSERT_TRUE(store.WriteShiftPattern({BerlinEight - 30 * Day, "08:00-16:00", ""}));
        ASSERT_TRUE(store.WriteShiftPattern({BerlinEight - 8 * 3600, "08:00-16:00", "the setting Shifts is not used"}));
    }
    const std::vector<std::string> range = {"--from", "2025-11-27", "--to", "2025-12-01", "--host", "press"};
    const Outcome run = Report(Plus(range, "--output=" + pdf_.string()));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(Output({DECIMON_PDFINFO, pdf_.string()}).find("Pages:           6\n"), std::string::npos)
        << "the summary and five days";
    const std::string summary = PdfText(1, 1);
    const std::string head = std::regex_replace(summary, std::regex(" +"), " ");
    for (const char* line : {"Meter: Press 7 (press)", "Location Hall 3, north",
                             "Level offset 0 dB, 2025-11-27 to 2025-11-29", "+2 dB, 2025-11-30 to 2025-12-01",
                             "Shifts 08:00-16:00, 2025-11-27 to 2025-11-29", "08:00-16:00, 2025-11-30 to 2025-12-01",
                             "Note: 2025-11-30 to 2025-12-01: the setting Shifts is not used.", "Page 1 of 6"})
        EXPECT_NE(head.find(line), std::string::npos) << line << "\n" << head;

    // Each shift of decimon-levels --shifts on the summary, with its uncertainty, and on its day's page.
    int shifts = 0;
    const std::map<std::string, int> pages = {
        {"2025-11-27", 2}, {"2025-11-28", 3}, {"2025-11-30", 5}, {"2025-12-01", 6}};
    const std::map<std::string, std::string> bands = {{"2025-11-27", "below the lower action value"},
                                                      {"2025-11-28", "at or above the lower action value"},
                                                      {"2025-11-30", "at or above the upper action value"},
                                                      {"2025-12-01", "87 dB(A) or more before hearing protection"}};
    for (const std::vector<std::string>& field : CsvRecords(Levels(Plus(range, "--shifts")).out)) {
        ASSERT_GE(field.size(), 22u);
        EXPECT_EQ(field[15], "4") << "the uncertainty is of the period's four judged shifts";
        const std::string row = LineOf(summary, field[0]);
        SCOPED_TRACE(row);
        // date shift Te measured (coverage %) laeq lex8h[ *] dose verdict
        const std::string highest = field[0] == "2025-12-01" ? " *" : "";
        EXPECT_NE(row.find(field[0] + " " + field[1] + " " + field[3] + " " + field[4] + " (" + field[5] + " %) " +
                           field[6] + " " + field[7] + highest + " " + field[8] + " " + bands.at(field[0])),
                  std::string::npos);
        EXPECT_NE(head.find(field[1] + " LEX,8h " + field[16] + " dB(A), U " + field[21] + " dB (N = 4;"),
                  std::string::npos);
        const int page = pages.at(field[0]);
        const std::string text = std::regex_replace(PdfText(page, page), std::regex(" +"), " ");
        for (const std::string& figure :
             {"Shift " + field[1], "LAeq " + field[6] + " dB(A)", "LEX,8h " + field[7] + " dB(A)",
              "Dose " + field[8] + " %", "polls: LAmax " + field[9] + " dB(A)", bands.at(field[0])})
            EXPECT_NE(text.find(figure), std::string::npos) << figure << "\n" << text;
        ++shifts;
    }
    EXPECT_EQ(shifts, 4);
    for (const std::vector<std::string>& week : CsvRecords(Levels(Plus(range, "--weeks")).out))  // W48, W49
        EXPECT_NE(head.find(week[0] + " " + week[1] + " " + week[3] + " " + week[5] + " dB(A) " + week[6]),
                  std::string::npos);
    EXPECT_NE(LineOf(summary, "2025-11-29").find("not judged: nothing measured"), std::string::npos);
    EXPECT_NE(PdfText(4, 4).find("No minutes were recorded on this day."), std::string::npos);
}

// Today's whole-day shift, under way: its row and day as decimon-levels --shifts gives its figures
// so far, read before and after the report (again when a minute turned between them).
TEST_F(ReportProgram, AShiftUnderWayIsNotedWithItsFiguresSoFar) {
    const std::vector<std::string> today = {"--host", "press", "--shifts", "00:00-24:00"};
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::int64_t now = std::time(nullptr);
        LevelDatabase::Make(xdg_.LevelDatabase(), SteadyMinutes("press", now - now % 60, 1, 86.0));
        const std::string before = Levels(today).out;
        const auto shifts = CsvRecords(before);
        std::vector<std::string> arguments = today;
        if (shifts.size() == 1)  // else the day turned before the minute was read
            arguments.insert(arguments.end(),
                             {"--from", shifts[0][0], "--to", shifts[0][0], "--output", pdf_.string()});
        if (shifts.size() != 1 || Report(arguments).exitCode != 0 || Levels(today).out != before)
            continue;
        const std::vector<std::string>& field = shifts[0];
        EXPECT_NE(LineOf(PdfText(1, 1), field[0])
                      .find(field[3] + " " + field[4] + " (" + field[5] + " %) " + field[6] +
                            " under way: as measured so far"),
                  std::string::npos);
        EXPECT_NE(PdfText(1, 1).find(field[22]), std::string::npos) << "too few shifts (0 of 3)";
        const std::string day = std::regex_replace(PdfText(2, 2), std::regex(" +"), " ");
        EXPECT_NE(day.find("\nDose\n"), std::string::npos) << "no unit without its number\n" << day;
        return;
    }
    FAIL() << "no report and no minute alike before and after it in three tries";
}

TEST_F(ReportProgram, AReportThatCannotBeWrittenLeavesNothingBehind) {
    RecordBandDays();
    const std::filesystem::path full = xdg_.Root() / "full";
    const std::filesystem::path readOnly = xdg_.Root() / "read-only";
    const TmpfsMount fullDisk(full, "16k", false);
    const TmpfsMount readOnlyDisk(readOnly, "16k", true);
    if (!fullDisk.Mounted() || !readOnlyDisk.Mounted())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    std::ofstream(full / "report.pdf") << "the old report";
    const std::filesystem::path device = xdg_.Root() / "null";
    ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    struct Row {
        std::filesystem::path output;
        const char* reason;
    };
    for (const Row& row : {Row{xdg_.Root() / "missing" / "report.pdf", "No such file or directory"},
                           Row{readOnly / "report.pdf", "Read-only file system"},
                           Row{full / "report.pdf", "No space left on device"}, Row{device, "not a regular file"}}) {
        const Outcome run = Report({"--from", "2025-11-01", "--to", "2025-12-01", "--output", row.output.string()});
        EXPECT_EQ(run.exitCode, 1) << row.reason;
        EXPECT_EQ(run.err, "decimon-report: cannot write " + row.output.string() + ": " + row.reason + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(xdg_.Root() / "missing"));
    EXPECT_TRUE(std::filesystem::is_empty(readOnly));
    EXPECT_EQ(ReadFile(full / "report.pdf"), "the old report") << "replaced only by a whole report";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(full), {}), 1) << "and no temporary left";
    EXPECT_TRUE(std::filesystem::is_character_file(device)) << "a device is left as it is";
}

TEST_F(ReportProgram, WritesTheReportWhereItIsSent) {
    RecordBandDays();
    const std::vector<std::string> period = {"--from", "2025-11-30", "--to", "2025-11-30", "--output"};
    const auto report = [&](const std::string& output, const char* standardOutput = nullptr) {
        std::vector<std::string> arguments = period;
        arguments.push_back(output);
        const Outcome run = Run(DECIMON_REPORT, arguments, standardOutput);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(ReadFile(pdf_).rfind("%PDF-", 0), 0u) << output;
    };
    report("-", pdf_.c_str());

    // Through a link to another folder: the file is replaced, the link stays.
    const std::filesystem::path link = xdg_.Root() / "latest.pdf";
    std::filesystem::remove(pdf_);
    std::filesystem::create_symlink(pdf_, link);
    report(link.string());
    EXPECT_TRUE(std::filesystem::is_symlink(link));

    // An existing report keeps its mode.
    ::chmod(pdf_.c_str(), 0640);
    report(pdf_.string());
    EXPECT_EQ(XdgSandbox::Mode(pdf_), 0640u);
}

// A page of the PDF as pdftotext -bbox gives it: its size and its words' boxes, in points.
struct PdfPage {
    double width = 0;
    double height = 0;
    std::vector<std::pair<std::string, QRectF>> words;
};

std::vector<PdfPage> ReadPages(const std::string& html) {
    std::vector<PdfPage> pages;
    const std::regex item(R"re(<page width="([0-9.]+)" height="([0-9.]+)">|<word xMin="([0-9.]+)" yMin="([0-9.]+)" )re"
                          R"re(xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    for (std::sregex_iterator match(html.begin(), html.end(), item), end; match != end; ++match) {
        const auto number = [&](int index) { return std::stod((*match)[index].str()); };
        if ((*match)[1].matched)
            pages.push_back({number(1), number(2), {}});
        else if (!pages.empty())
            pages.back().words.emplace_back((*match)[7].str(),
                                            QRectF(QPointF(number(3), number(4)), QPointF(number(5), number(6))));
    }
    return pages;
}

struct PageCase {
    const char* name;
    const char* shifts;
    std::vector<MinuteRow> (*minutes)();
    std::vector<const char*> shown;   // texts on the pages, whole
    std::vector<const char*> absent;  // texts on none
};

constexpr std::int64_t SundayMidnight = BerlinEight - 8 * 3600;  // 2025-11-30, Berlin

class ReportPageLayouts : public ReportProgram, public ::testing::WithParamInterface<PageCase> {};

// Every word of every page apart from the others and on the page, the texts of the layout
// whole and nothing cut short.
TEST_P(ReportPageLayouts, NothingOverlapsOrLeavesThePage) {
    LevelDatabase::Make(xdg_.LevelDatabase(), GetParam().minutes());
    {
        // The level offset changed within the period: dated within it, whatever the shifts.
        LevelStore store(xdg_.LevelDatabase().string());
        ASSERT_TRUE(
            store.WriteMeters(std::vector<MeterRow>{{"press", SundayMidnight - 30 * Day, "Press 7", "Hall 3", 0},
                                                    {"press", SundayMidnight + 12 * 3600, "Press 7", "Hall 3", 2}}));
    }
    const Outcome run = Report({"--from", "2025-11-30", "--to", "2025-12-01", "--host", "press", "--shifts",
                                GetParam().shifts, "--output", pdf_.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<PdfPage> pages = ReadPages(Output({DECIMON_PDFTOTEXT, "-bbox", pdf_.string(), "-"}));
    ASSERT_GE(pages.size(), 3u) << "the summary and two days";
    std::string text;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const auto& words = pages[page].words;
        const QRectF paper(0, 0, pages[page].width, pages[page].height);
        for (std::size_t a = 0; a < words.size(); ++a) {
            text += words[a].first + " ";
            EXPECT_TRUE(paper.contains(words[a].second)) << words[a].first << " on page " << page + 1;
            for (std::size_t b = a + 1; b < words.size(); ++b)
                EXPECT_FALSE(words[a].second.intersects(words[b].second))
                    << words[a].first << " and " << words[b].first << " on page " << page + 1;
        }
    }
    EXPECT_NE(text.find("+2 dB, 2025-11-30 to 2025-12-01 "), std::string::npos) << text;
    for (const char* shown : GetParam().shown)
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
    for (const char* absent : GetParam().absent)
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
    EXPECT_EQ(text.find("\u2026"), std::string::npos) << "cut short";
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ReportPageLayouts,
    ::testing::Values(
        // Two days at the limit value, an hour of Sunday C-weighted.
        PageCase{"EightShiftsADay",
                 "00:00-03:00,03:00-06:00,06:00-09:00,09:00-12:00,12:00-15:00,15:00-18:00,18:00-21:00,21:00-24:00",
                 [] {
                     return Joined({SteadyMinutes("press", SundayMidnight, 720, 87.0),
                                    SteadyMinutes("press", SundayMidnight + 720 * 60, 60, 101.0, "dBC"),
                                    SteadyMinutes("press", SundayMidnight + 780 * 60, 2100, 87.0)});
                 },
                 {"21:00-24:00", "LAmax 87.0 dB(A), LCmax 101.0 dB(C)", "minute Leq, dB(C)",
                  "at or above the lower action value", "too few shifts for an uncertainty (2 of 3)",
                  "not judged: 1 shift not judged", "so U is a lower bound for a person"},
                 {}},
        PageCase{"WholeDayShift", "00:00-24:00", [] { return ExampleDay(); }, {"00:00-24:00 24:00"}, {"00:00-00:00"}},
        // Sunday's night shift measured on Monday alone.
        PageCase{"LongPattern",
                 "06:00-07:00,07:00-08:00,08:00-09:00,09:00-10:00,10:00-11:00,11:00-12:00,12:00-13:00,13:00-14:00,"
                 "14:00-15:00,15:00-16:00,16:00-17:00,17:00-18:00,18:00-19:00,19:00-20:00,20:00-21:00,21:00-22:00,"
                 "22:00-06:00",
                 [] { return SteadyMinutes("press", SundayMidnight + 1440 * 60, 540, 84.0); },
                 {"20:00-21:00, 21:00-22:00, 22:00-06:00", "the 22:00-06:00 shift was measured after midnight",
                  "84.0 dB(A) at 2025-12-01 00:00"},
                 {"No minutes were recorded on this day."}}),
    CaseName());

}  // namespace
