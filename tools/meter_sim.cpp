// decimon-meter-sim: a small SNMPv1 agent that plays the sound-level meter, with a control
// channel on standard input. See --help.
#include "tools/sim_agent.h"
#include "tools/sim_options.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <vector>

int main(int argc, char** argv) {
    const auto parsed = meter_sim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::fprintf(stderr, "decimon-meter-sim: %s\nTry 'decimon-meter-sim --help'.\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options->help) {
        std::fputs(meter_sim::UsageText(), stdout);
        return 0;
    }
    if (parsed.options->version) {
        std::printf("decimon-meter-sim %s\n", DECIMON_VERSION);
        return 0;
    }
    // A controller that went away must not kill us while we write a reply; its closed pipe
    // on standard input ends the simulator in order.
    std::signal(SIGPIPE, SIG_IGN);
    const meter_sim::StopSignals stop;
    try {
        meter_sim::Agent agent(*parsed.options);
        std::printf("listening on %s\n", agent.ListenAddress().c_str());
        std::fflush(stdout);
        return agent.Run(stop);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "decimon-meter-sim: %s\n", error.what());
        return 1;
    }
}
