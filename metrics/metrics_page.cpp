#include "metrics/metrics_page.h"

#include "monitor/dose.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <span>

namespace {

constexpr std::string_view OpenMetricsType = "application/openmetrics-text";

enum class Kind { Gauge, Counter };

struct Family {
    std::string_view name;  // without "_total" for a counter
    Kind kind;
    std::string_view unit;  // a suffix of the name; empty when the figure has none
    std::string_view help;
};

// Writes one family after another; a counter's samples get "_total", and OpenMetrics its
// UNIT lines and "# EOF".
class PageWriter {
public:
    explicit PageWriter(PageFormat format) : format_(format) {}

    void Begin(const Family& family) {
        family_ = &family;
        const bool open = format_ == PageFormat::OpenMetrics;
        const std::string_view type = family.kind == Kind::Counter ? "counter" : "gauge";
        // The text format names a counter's family like its sample, with "_total".
        const std::string name = std::string(family.name) + (family.kind == Kind::Counter && !open ? "_total" : "");
        text_ += "# HELP " + name + " " + std::string(family.help) + "\n";
        text_ += "# TYPE " + name + " " + std::string(type) + "\n";
        if (open && !family.unit.empty())
            text_ += "# UNIT " + name + " " + std::string(family.unit) + "\n";
    }

    // One sample of the family begun last; `labels` as written between the braces.
    void Sample(std::string_view labels, double value) {
        text_ += family_->name;
        if (family_->kind == Kind::Counter)
            text_ += "_total";
        if (!labels.empty())
            text_ += "{" + std::string(labels) + "}";
        text_ += ' ';
        AppendNumber(value);
        text_ += '\n';
    }

    std::string Finish() {
        if (format_ == PageFormat::OpenMetrics)
            text_ += "# EOF\n";
        return std::move(text_);
    }

private:
    // The shortest text that reads back as the same double, in the "C" locale's form.
    void AppendNumber(double value) {
        if (std::isnan(value)) {
            text_ += "NaN";
        } else if (std::isinf(value)) {
            text_ += value > 0 ? "+Inf" : "-Inf";
        } else {
            char digits[32];
            const auto result = std::to_chars(digits, digits + sizeof digits, value);
            text_.append(digits, result.ptr);
        }
    }

    PageFormat format_;
    const Family* family_ = nullptr;
    std::string text_;
};

std::string Label(std::string_view name, std::string_view value) {
    return std::string(name) + "=\"" + EscapeLabelValue(value) + "\"";
}

// The length of the UTF-8 sequence that starts `text`, or 0 when none does.
std::size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (next & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < minimum || code > 0x10FFFF || surrogate ? 0 : length;
}

// One media range of an Accept header: its type, its version parameter and its q.
struct MediaRange {
    std::string type;
    std::string version;
    double quality = 1.0;
};

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lowered;
}

MediaRange ParseMediaRange(std::string_view text) {
    MediaRange range;
    std::size_t end = text.find(';');
    range.type = Lowered(Trim(text.substr(0, end)));
    while (end != std::string_view::npos) {
        text.remove_prefix(end + 1);
        end = text.find(';');
        const std::string_view parameter = Trim(text.substr(0, end));
        const auto equals = parameter.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string name = Lowered(Trim(parameter.substr(0, equals)));
        const std::string_view value = Trim(parameter.substr(equals + 1));
        if (name == "version") {
            range.version = std::string(value);
        } else if (name == "q") {
            double q = 0.0;
            const auto result = std::from_chars(value.data(), value.data() + value.size(), q);
            range.quality = result.ec == std::errc() ? q : 0.0;
        }
    }
    return range;
}

// The families of the page, in its order.
constexpr Family Level{"decimon_sound_level_decibels", Kind::Gauge, "decibels",
                       "The sound level as the display shows it: the meter's level plus LevelOffset."};
constexpr Family Exposure{"decimon_sound_exposure_pascal_squared_seconds", Kind::Counter, "pascal_squared_seconds",
                          "Sound exposure of the good polls, each standing for the polling interval after it."};
constexpr Family Measured{"decimon_measured_seconds", Kind::Counter, "seconds", "Time the good polls stand for."};
constexpr Family Up{"decimon_meter_up", Kind::Gauge, "", "1 while the display shows a level, 0 while it shows ---."};
constexpr Family MeterInfo{"decimon_meter_info", Kind::Gauge, "",
                           "The meter's name and location (sysName, sysLocation) as it last reported them."};
constexpr Family Polls{"decimon_polls", Kind::Counter, "", "Polls of the meter."};
constexpr Family Errors{"decimon_poll_errors", Kind::Counter, "", "Failed polls of the meter."};
constexpr Family Consecutive{"decimon_consecutive_poll_errors", Kind::Gauge, "",
                             "Failed polls since the last good one."};
constexpr Family TimeToLimit{"decimon_time_to_limit_seconds", Kind::Gauge, "seconds",
                             "How long one may stay at the level shown before the shift's safe dose "
                             "is used up."};
constexpr Family Shift{"decimon_shift_seconds", Kind::Gauge, "seconds", "Length of one work shift."};
constexpr Family Pending{"decimon_record_pending_rows", Kind::Gauge, "",
                         "Rows (one a minute) of the exposure record waiting to be written, the batch "
                         "being written included."};
constexpr Family Build{"decimon_build_info", Kind::Gauge, "", "The display's version."};
constexpr Family Cpu{"process_cpu_seconds", Kind::Counter, "seconds",
                     "Total user and system CPU time spent in seconds."};
constexpr Family Resident{"process_resident_memory_bytes", Kind::Gauge, "bytes", "Resident memory size in bytes."};
constexpr Family Fds{"process_open_fds", Kind::Gauge, "", "Number of open file descriptors."};
constexpr Family Start{"process_start_time_seconds", Kind::Gauge, "seconds",
                       "Start time of the process since unix epoch in seconds."};

}  // namespace

PageFormat FormatForAccept(std::string_view accept) {
    std::optional<double> openMetrics;
    double others = 0.0;
    while (!accept.empty()) {
        const std::size_t comma = accept.find(',');
        const MediaRange range = ParseMediaRange(accept.substr(0, comma));
        accept.remove_prefix(comma == std::string_view::npos ? accept.size() : comma + 1);
        if (range.type == OpenMetricsType && (range.version.empty() || range.version == "1.0.0"))
            openMetrics = std::max(openMetrics.value_or(0.0), range.quality);
        else if (range.type != OpenMetricsType)
            others = std::max(others, range.quality);
    }
    return openMetrics && *openMetrics > 0.0 && *openMetrics >= others ? PageFormat::OpenMetrics
                                                                       : PageFormat::PrometheusText;
}

const char* ContentType(PageFormat format) {
    return format == PageFormat::OpenMetrics ? "application/openmetrics-text; version=1.0.0; charset=utf-8"
                                             : "text/plain; version=0.0.4; charset=utf-8";
}

std::string EscapeLabelValue(std::string_view value) {
    std::string escaped;
    while (!value.empty()) {
        const std::size_t length = Utf8SequenceLength(value);
        if (length == 0) {
            escaped += "\xEF\xBF\xBD";
            value.remove_prefix(1);
            continue;
        }
        const char c = value[0];
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '"')
            escaped += "\\\"";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped.append(value.substr(0, length));
        value.remove_prefix(length);
    }
    return escaped;
}

std::string ComposeMetricsPage(const MetricsCopy& copy, const ProcessFigures& process, std::string_view version,
                               PageFormat format) {
    const bool reading = copy.CurrentLevel >= 0;
    const std::string meter = Label("meter", copy.HostName);
    const std::string shown = meter + "," + Label("weighting", copy.WeightingText);
    // A level read in a poll whose weighting was not has no series: none is labelled "---".
    const bool weighted = std::string_view(copy.WeightingText) != NoValueText;

    PageWriter page(format);
    page.Begin(Level);
    if (reading && weighted)  // the value as painted, to the tenth
        page.Sample(shown, std::round((copy.CurrentLevel + copy.LevelOffset) * 10.0) / 10.0);
    // The counters of the meter named, in each weighting counted for it while the display runs.
    const std::span<const ExposureCounter> counters(copy.Exposure.Rows, copy.Exposure.Count);
    const auto countersOf = [&](double ExposureCounter::*figure) {
        for (const ExposureCounter& row : counters)
            if (std::string_view(row.Meter) == copy.HostName)
                page.Sample(meter + "," + Label("weighting", row.Weighting), row.*figure);
    };
    page.Begin(Exposure);
    countersOf(&ExposureCounter::PaSquaredSeconds);
    page.Begin(Measured);
    countersOf(&ExposureCounter::MeasuredSeconds);
    page.Begin(Up);
    page.Sample(meter, reading ? 1.0 : 0.0);
    page.Begin(MeterInfo);  // for alerts that name the meter as people there know it
    if (copy.SysName[0] != '\0' || copy.SysLocation[0] != '\0')
        page.Sample(meter + "," + Label("name", copy.SysName) + "," + Label("location", copy.SysLocation), 1.0);
    page.Begin(Polls);
    page.Sample(meter, copy.PollCount);
    page.Begin(Errors);
    page.Sample(meter, copy.ErrorCount);
    page.Begin(Consecutive);
    page.Sample(meter, copy.ConsecutiveErrors);
    page.Begin(TimeToLimit);
    if (const double seconds = TimeToLimitSeconds(copy.CurrentLevel, copy.LevelOffset, copy.ShiftLenHours);
        !std::isnan(seconds))
        page.Sample(meter, seconds);
    page.Begin(Shift);
    page.Sample({}, copy.ShiftLenHours * 3600.0);
    page.Begin(Pending);
    page.Sample({}, static_cast<double>(copy.PendingRows));
    page.Begin(Build);
    page.Sample(Label("version", version), 1.0);
    page.Begin(Cpu);
    page.Sample({}, process.CpuSeconds);
    page.Begin(Resident);
    page.Sample({}, process.ResidentBytes);
    page.Begin(Fds);
    page.Sample({}, process.OpenFds);
    page.Begin(Start);
    page.Sample({}, process.StartTimeSeconds);
    return page.Finish();
}
