#pragma once

#include "tools/sim_objects.h"

#include <optional>
#include <string>
#include <vector>

namespace meter_sim {

struct SimOptions {
    std::string address = "127.0.0.1";
    int port = 0;
    std::string community = "mivrol";
    InitialValues initial;
    bool help = false;     // -h or --help: the usage, nothing else
    bool version = false;  // --version: the version, nothing else
};

struct ParsedOptions {
    std::optional<SimOptions> options;  // none: `error` says why
    std::string error;
};

ParsedOptions ParseOptions(const std::vector<std::string>& args);
const char* UsageText();

}  // namespace meter_sim
