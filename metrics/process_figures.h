#pragma once
// The usual process metrics of the calling process, read from /proc as Prometheus' client
// libraries read them.

#include "metrics/metrics_page.h"

// Figures it cannot read stay 0.
ProcessFigures ReadProcessFigures();
