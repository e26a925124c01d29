// Prints the metrics page in the text format for the state named by the argument: "reading"
// (a level, counted exposure, a host name to escape) or "none" (no reading, nothing counted).
#include "metrics/metrics_page.h"
#include "metrics/process_figures.h"
#include "platform/sys/fixed_text.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    MetricsCopy copy;
    CopyFixedText(copy.HostName, "press \"3\"\\hall");
    CopyFixedText(copy.WeightingText, "dBA");
    copy.ShiftLenHours = 8.0;
    copy.PollCount = 7;
    if (argc > 1 && std::strcmp(argv[1], "reading") == 0) {
        copy.CurrentLevel = 85.3;
        ExposureCounter& counted = copy.Exposure.Rows[copy.Exposure.Count++];
        CopyFixedText(counted.Meter, copy.HostName);
        CopyFixedText(counted.Weighting, "dBA");
        counted.PaSquaredSeconds = 0.27;
        counted.MeasuredSeconds = 7;
    }
    std::fputs(ComposeMetricsPage(copy, ReadProcessFigures(), "1.2.0.0", PageFormat::PrometheusText).c_str(), stdout);
    return 0;
}
