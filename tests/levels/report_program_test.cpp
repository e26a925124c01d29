// decimon-report as a site runs it, read back with poppler's pdftotext and pdfinfo: its pages,
// the meter's head with a changed offset, its shifts' figures against decimon-levels --shifts,
// the action bands at their edges, a day without minutes; the report sent to standard output, through a link and over
// one with its own mode; and outputs that cannot be written (a missing folder, a read-only and a full disk, a device),
// which leave nothing behind and an old report or the device as it was.
#include "tests/levels/record_program.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

// The summary's row of `date` ("Thu 2025-11-27 8:00 ..."), its spaces collapsed to one.
std::string LineOf(const std::string& text, const std::string& date) {
    std::istringstream lines(text);
    const std::regex row("^ *[A-Z][a-z]{2} " + date + " ");
    for (std::string line; std::getline(lines, line);)
        if (std::regex_search(line, row))
            return std::regex_replace(line, std::regex(" +"), " ");
    return {};
}

TEST_F(ReportProgram, ReadsBackWithTheShiftFiguresTheMeterAndTheActionBands) {
    RecordBandDays();
    {
        // The meter as it reported itself, its level offset changed at midnight to 2025-11-30.
        LevelStore store(xdg_.LevelDatabase().string());
        const std::vector<MeterRow> meters = {{"press", BerlinEight - 30 * Day, "Press 7", "Hall 3, north", 0},
                                              {"press", BerlinEight - 8 * 3600, "Press 7", "Hall 3, north", 2}};
        ASSERT_TRUE(store.WriteMeters(meters)) << store.Error();
    }
    const std::vector<std::string> range = {"--from", "2025-11-27", "--to",     "2025-12-01",
                                            "--host", "press",      "--shifts", "08:00-16:00"};
    std::vector<std::string> arguments = range;
    arguments.insert(arguments.end(), {"--output", pdf_.string()});
    const Outcome run = Report(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(Output({DECIMON_PDFINFO, pdf_.string()}).find("Pages:           6\n"), std::string::npos)
        << "the summary and five days";
    const std::string summary = PdfText(1, 1);
    const std::string head = std::regex_replace(summary, std::regex(" +"), " ");
    for (const char* line :
         {"Meter: Press 7 (press)", "Location Hall 3, north", "Level offset 0 dB, 2025-11-27 to 2025-11-29",
          "+2 dB, 2025-11-30 to 2025-12-01", "Shifts 08:00-16:00", "Page 1 of 6"})
        EXPECT_NE(head.find(line), std::string::npos) << line << "\n" << head;

    // Each shift of decimon-levels --shifts on the summary and on its day's page.
    std::istringstream csv(Levels(range).out);
    std::string line;
    std::getline(csv, line);  // the header
    int shifts = 0;
    const std::map<std::string, int> pages = {
        {"2025-11-27", 2}, {"2025-11-28", 3}, {"2025-11-30", 5}, {"2025-12-01", 6}};
    const std::map<std::string, std::string> bands = {{"2025-11-27", "below the lower action value"},
                                                      {"2025-11-28", "at or above the lower action value"},
                                                      {"2025-11-30", "at or above the upper action value"},
                                                      {"2025-12-01", "at or above the exposure limit value"}};
    while (std::getline(csv, line)) {
        std::vector<std::string> field;
        std::istringstream fields(line.substr(0, line.find('\r')));
        for (std::string value; std::getline(fields, value, ',');)
            field.push_back(value);
        ASSERT_GE(field.size(), 16u) << line;
        EXPECT_EQ(field[15], "4") << "the uncertainty is of the period's four judged shifts";
        const std::string row = LineOf(summary, field[0]);
        SCOPED_TRACE(row + " / " + line);
        // date shift measured (coverage %) laeq lex8h[ *] dose verdict
        const std::string highest = field[0] == "2025-12-01" ? " *" : "";
        EXPECT_NE(row.find(field[0] + " " + field[1] + " " + field[4] + " (" + field[5] + " %) " + field[6] + " " +
                           field[7] + highest + " " + field[8] + " " + bands.at(field[0])),
                  std::string::npos);
        const int page = pages.at(field[0]);
        const std::string text = std::regex_replace(PdfText(page, page), std::regex(" +"), " ");
        for (const std::string& figure :
             {"Shift " + field[1], "LAeq " + field[6] + " dB(A)", "LEX,8h " + field[7] + " dB(A)",
              "Dose " + field[8] + " %", "Lmax of the day " + field[9] + " dBA", bands.at(field[0])})
            EXPECT_NE(text.find(figure), std::string::npos) << figure << "\n" << text;
        ++shifts;
    }
    EXPECT_EQ(shifts, 4);
    EXPECT_NE(LineOf(summary, "2025-11-29").find("not judged: nothing measured"), std::string::npos);
    EXPECT_NE(PdfText(4, 4).find("No minutes were recorded on this day."), std::string::npos);
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

}  // namespace
