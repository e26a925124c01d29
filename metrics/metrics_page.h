#pragma once
// The text of the metrics page: the monitor state copied for it, in the Prometheus text format
// 0.0.4 or in OpenMetrics 1.0.0, as the scraper's Accept header asks. Names and labels are an
// interface that dashboards and alerting rules depend on: keep them as they are.

#include "monitor/monitor_state.h"

#include <string>
#include <string_view>

enum class PageFormat { PrometheusText, OpenMetrics };

// OpenMetrics when the Accept header takes application/openmetrics-text (version 1.0.0 or
// none given) at least as gladly as any other type it names; else the text format.
PageFormat FormatForAccept(std::string_view accept);
const char* ContentType(PageFormat format);

// The figures of the usual process metrics.
struct ProcessFigures {
    double CpuSeconds = 0.0;
    double ResidentBytes = 0.0;
    double OpenFds = 0.0;
    double StartTimeSeconds = 0.0;  // since the Unix epoch
};

std::string ComposeMetricsPage(const MetricsCopy& copy, const ProcessFigures& process, std::string_view version,
                               PageFormat format);

// A label value as both formats write it: backslash, double quote and line feed escaped,
// bytes that are not UTF-8 replaced by U+FFFD (the settings' texts are 8-bit).
std::string EscapeLabelValue(std::string_view value);
