// The metrics page's text in both formats, the choice between them, and the endpoint's
// address as the settings file gives it.
#include "metrics/metrics_address.h"
#include "metrics/metrics_page.h"

#include "platform/sys/fixed_text.h"
#include "tests/support/process_locale.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

MetricsCopy Reading(const char* host, double level, const char* weighting) {
    MetricsCopy copy;
    CopyFixedText(copy.HostName, host);
    copy.CurrentLevel = level;
    CopyFixedText(copy.WeightingText, weighting);
    copy.ShiftLenHours = 8.0;
    copy.PollCount = 12;
    copy.ErrorCount = 2;
    copy.ConsecutiveErrors = 1;
    return copy;
}

struct PageCase {
    const char* name;
    MetricsCopy copy;
    PageFormat format;
    std::vector<std::string> lines;   // each a whole line of the page
    std::vector<std::string> absent;  // no line starts with any of these
};

MetricsCopy WithOffset(MetricsCopy copy, int offset) {
    copy.LevelOffset = offset;
    return copy;
}

// A row of counters of `meter` (of the copy's host when null) added to the copy's.
MetricsCopy WithExposure(MetricsCopy copy, const char* weighting, double exposure, double seconds,
                         const char* meter = nullptr) {
    ExposureCounter& row = copy.Exposure.Rows[copy.Exposure.Count++];
    CopyFixedText(row.Meter, meter ? std::string_view(meter) : FixedTextView(copy.HostName));
    CopyFixedText(row.Weighting, weighting);
    row.PaSquaredSeconds = exposure;
    row.MeasuredSeconds = seconds;
    copy.PendingRows = 3;
    return copy;
}

class PageTable : public ::testing::TestWithParam<PageCase> {};

TEST_P(PageTable, HoldsTheLinesOfTheState) {
    const PageCase& c = GetParam();
    const ProcessFigures process{1.5, 4096.0, 9.0, 1.7e9};
    const std::string page = ComposeMetricsPage(c.copy, process, "1.2.0.0", c.format);
    for (const std::string& line : c.lines)
        EXPECT_NE(("\n" + page).find("\n" + line + "\n"), std::string::npos) << "no line " << line << " in\n" << page;
    for (const std::string& start : c.absent)
        EXPECT_EQ(("\n" + page).find("\n" + start), std::string::npos) << "a line " << start << " in\n" << page;
    EXPECT_EQ(page.back(), '\n');
}

const std::string TextHelp = "# HELP decimon_sound_level_decibels The sound level as the display shows it: the "
                             "meter's level plus LevelOffset.";

INSTANTIATE_TEST_SUITE_P(
    States, PageTable,
    ::testing::Values(
        PageCase{"Reading",
                 Reading("press", 85.3, "dBA"),
                 PageFormat::PrometheusText,
                 {TextHelp, "# TYPE decimon_sound_level_decibels gauge",
                  "decimon_sound_level_decibels{meter=\"press\",weighting=\"dBA\"} 85.3",
                  "decimon_meter_up{meter=\"press\"} 1", "# TYPE decimon_polls_total counter",
                  "decimon_polls_total{meter=\"press\"} 12", "decimon_poll_errors_total{meter=\"press\"} 2",
                  "decimon_consecutive_poll_errors{meter=\"press\"} 1", "decimon_shift_seconds 28800",
                  "decimon_record_pending_rows 0", "decimon_build_info{version=\"1.2.0.0\"} 1",
                  "process_cpu_seconds_total 1.5", "process_resident_memory_bytes 4096", "process_open_fds 9",
                  "process_start_time_seconds 1.7e+09"},
                 // No good poll counted yet: no exposure series; no name; no OpenMetrics lines.
                 {"decimon_sound_exposure_pascal_squared_seconds_total{", "decimon_measured_seconds_total{",
                  "decimon_meter_info{", "# UNIT", "# EOF"}},
        PageCase{"Named",
                 [] {
                     MetricsCopy copy = Reading("press", 85.3, "dBA");
                     CopyFixedText(copy.SysName, "Press shop");
                     CopyFixedText(copy.SysLocation, "Hall 3");
                     return copy;
                 }(),
                 PageFormat::PrometheusText,
                 {"decimon_meter_info{meter=\"press\",name=\"Press shop\",location=\"Hall 3\"} 1"},
                 {}},
        // 95 dB on the meter with 10 added shows 105 dB: a tenth of the time of 95 dB.
        PageCase{"LevelOffset",
                 WithOffset(Reading("press", 95.0, "dBC"), 10),
                 PageFormat::PrometheusText,
                 {"decimon_sound_level_decibels{meter=\"press\",weighting=\"dBC\"} 105",
                  "decimon_time_to_limit_seconds{meter=\"press\"} 288"},
                 {}},
        // The level as painted, to the tenth, where the sum in binary is not.
        PageCase{"ShownToTheTenth",
                 WithOffset(Reading("press", 82.2, "dBA"), 3),
                 PageFormat::PrometheusText,
                 {"decimon_sound_level_decibels{meter=\"press\",weighting=\"dBA\"} 85.2"},
                 {}},
        PageCase{"NoReading",
                 Reading("press", NoReading, "dBA"),
                 PageFormat::PrometheusText,
                 {TextHelp, "decimon_meter_up{meter=\"press\"} 0"},
                 {"decimon_sound_level_decibels{", "decimon_time_to_limit_seconds{"}},
        PageCase{"Counted",
                 WithExposure(Reading("press", 88.0, "dBA"), "dBA", 0.25, 60.0),
                 PageFormat::PrometheusText,
                 {"# TYPE decimon_sound_exposure_pascal_squared_seconds_total counter",
                  "decimon_sound_exposure_pascal_squared_seconds_total{meter=\"press\",weighting=\"dBA\"} 0.25",
                  "decimon_measured_seconds_total{meter=\"press\",weighting=\"dBA\"} 60",
                  "decimon_record_pending_rows 3"},
                 {}},
        // Every weighting counted for the meter polled now, none of another meter's, and no
        // level series while the weighting could not be read.
        PageCase{"WeightingsOfTheMeterPolledNow",
                 WithExposure(WithExposure(WithExposure(Reading("press", 88.0, "---"), "dBA", 0.25, 60.0), "dBC", 0.5,
                                           2.0, "saw"),
                              "dBC", 0.125, 3.0),
                 PageFormat::PrometheusText,
                 {"decimon_sound_exposure_pascal_squared_seconds_total{meter=\"press\",weighting=\"dBA\"} 0.25",
                  "decimon_sound_exposure_pascal_squared_seconds_total{meter=\"press\",weighting=\"dBC\"} 0.125",
                  "decimon_measured_seconds_total{meter=\"press\",weighting=\"dBC\"} 3",
                  "decimon_meter_up{meter=\"press\"} 1"},
                 {"decimon_sound_level_decibels{", "decimon_measured_seconds_total{meter=\"saw\""}},
        // Tiny and huge figures keep every digit a double has.
        PageCase{"FullPrecision",
                 WithExposure(Reading("press", 20.0, "dBz"), "dBz", 4.000000000000001e-8, 31536000123.5),
                 PageFormat::PrometheusText,
                 {"decimon_sound_exposure_pascal_squared_seconds_total{meter=\"press\",weighting=\"dBz\"} "
                  "4.000000000000001e-08",
                  "decimon_measured_seconds_total{meter=\"press\",weighting=\"dBz\"} 31536000123.5"},
                 {}},
        PageCase{"OpenMetrics",
                 WithExposure(Reading("press", 85.3, "dBA"), "dBA", 0.25, 60.0),
                 PageFormat::OpenMetrics,
                 {"# TYPE decimon_sound_level_decibels gauge", "# UNIT decimon_sound_level_decibels decibels",
                  "# TYPE decimon_sound_exposure_pascal_squared_seconds counter",
                  "# UNIT decimon_sound_exposure_pascal_squared_seconds pascal_squared_seconds",
                  "decimon_sound_exposure_pascal_squared_seconds_total{meter=\"press\",weighting=\"dBA\"} 0.25",
                  "# TYPE decimon_measured_seconds counter", "# UNIT decimon_measured_seconds seconds",
                  "# TYPE decimon_polls counter", "decimon_polls_total{meter=\"press\"} 12",
                  "# TYPE process_cpu_seconds counter", "process_cpu_seconds_total 1.5", "# EOF"},
                 {"# TYPE decimon_polls_total", "# UNIT decimon_meter_up", "# UNIT decimon_polls"}},
        // A hand-edited host name: escaped, and bytes that are not UTF-8 replaced.
        PageCase{"EscapedMeter",
                 Reading("a\"b\\c\nd \xE9 \xC3\xA9", 70.0, "dBA"),
                 PageFormat::PrometheusText,
                 {"decimon_meter_up{meter=\"a\\\"b\\\\c\\nd \xEF\xBF\xBD \xC3\xA9\"} 1"},
                 {}}),
    [](const ::testing::TestParamInfo<PageCase>& row) { return std::string(row.param.name); });

TEST(Page, NumbersAreWrittenTheSameInAGermanDesktopLanguage) {
    const MetricsCopy copy = WithExposure(Reading("press", 85.3, "dBA"), "dBA", 0.25, 60.0);
    const std::string c = ComposeMetricsPage(copy, {1.5, 4096, 9, 1.7e9}, "1.2.0.0", PageFormat::OpenMetrics);
    const ProcessLocale german(GermanLocale);
    ASSERT_TRUE(german.Active()) << GermanLocale << " is not generated";
    EXPECT_EQ(ComposeMetricsPage(copy, {1.5, 4096, 9, 1.7e9}, "1.2.0.0", PageFormat::OpenMetrics), c);
}

struct AcceptCase {
    const char* accept;
    PageFormat format;
};

class AcceptTable : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptTable, ChoosesTheFormat) {
    EXPECT_EQ(FormatForAccept(GetParam().accept), GetParam().format) << GetParam().accept;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, AcceptTable,
    ::testing::Values(
        AcceptCase{"", PageFormat::PrometheusText}, AcceptCase{"*/*", PageFormat::PrometheusText},
        AcceptCase{"text/plain;version=0.0.4", PageFormat::PrometheusText},
        // What Prometheus sends.
        AcceptCase{"application/openmetrics-text;version=1.0.0,application/openmetrics-text;version=0.0.1;q=0.75,"
                   "text/plain;version=0.0.4;q=0.5,*/*;q=0.1",
                   PageFormat::OpenMetrics},
        AcceptCase{"Application/OpenMetrics-Text; Version=1.0.0", PageFormat::OpenMetrics},
        AcceptCase{"application/openmetrics-text", PageFormat::OpenMetrics},
        AcceptCase{"application/openmetrics-text;version=0.0.1", PageFormat::PrometheusText},
        AcceptCase{"application/openmetrics-text;q=0", PageFormat::PrometheusText},
        AcceptCase{"application/openmetrics-text;q=0.2, text/plain", PageFormat::PrometheusText},
        AcceptCase{"text/plain;q=0.3, application/openmetrics-text;q=junk", PageFormat::PrometheusText}));

struct AddressCase {
    const char* text;
    bool valid;
    const char* host;
    int port;
};

AddressCase Malformed(const char* text) {
    return {text, false, "", 0};
}

class AddressTable : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressTable, ParsesTheThreeFormsAndNothingElse) {
    const AddressCase& c = GetParam();
    std::string reason;
    const auto address = ParseMetricsAddress(c.text, &reason);
    ASSERT_EQ(address.has_value(), c.valid) << c.text;
    if (address) {
        EXPECT_EQ(address->host, c.host) << c.text;
        EXPECT_EQ(address->port, c.port) << c.text;
    } else {
        EXPECT_FALSE(reason.empty()) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, AddressTable,
                         ::testing::Values(AddressCase{"127.0.0.1:9100", true, "127.0.0.1", 9100},
                                           AddressCase{"[::1]:9100", true, "::1", 9100},
                                           AddressCase{":9100", true, "", 9100},
                                           AddressCase{"display-7.plant:65535", true, "display-7.plant", 65535},
                                           AddressCase{"[2001:db8::5]:1", true, "2001:db8::5", 1}, Malformed("9100"),
                                           Malformed("127.0.0.1:"), Malformed("127.0.0.1:0"), Malformed(":65536"),
                                           Malformed(":9100x"), Malformed(": 9100"), Malformed("::1:9100"),
                                           Malformed("[::1]9100"), Malformed("[::1]"), Malformed("[]:9100"),
                                           Malformed("[press]:9100"), Malformed("127.0.0.1 :9730"),
                                           Malformed("display 7:9100")));

// Binding: a name at its addresses, and the two faults of a site's address.
TEST(Listen, BindsANameAndReportsATakenPortAndAForeignAddress) {
    std::string reason;
    const int first = ListenOn({"localhost", 0}, &reason);
    ASSERT_GE(first, 0) << reason;
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ASSERT_EQ(getsockname(first, reinterpret_cast<sockaddr*>(&bound), &length), 0);
    const std::string host = bound.ss_family == AF_INET6 ? "::1" : "127.0.0.1";

    EXPECT_EQ(ListenOn({host, BoundPort(first)}, &reason), -1);
    EXPECT_EQ(reason, "Address already in use");
    // An address of the documentation range, on no interface of this machine: nothing is sent.
    EXPECT_EQ(ListenOn({"192.0.2.1", BoundPort(first)}, &reason), -1);
    EXPECT_EQ(reason, "Cannot assign requested address");
    close(first);
}

}  // namespace
