// GETs per second through SnmpDevice::GetIpValue against the meter simulator on loopback,
// beside a plain net-snmp session doing the same GET, in the same run. Prints the ratio.
#include "snmp/snmp_device.h"
#include "tests/support/meter_sim_process.h"

#include <benchmark/benchmark.h>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

using namespace decimon::test;

namespace {

std::unique_ptr<MeterSimProcess> sim;

void DeviceGet(benchmark::State& state) {
    MeterDevice meter(sim->Agent().c_str());
    meter.SetTimeout(1000);
    meter.SetRetries(0);
    if (!meter.Open()) {
        state.SkipWithError("cannot open the session");
        return;
    }
    AsnInteger32 level = 0;
    for (auto _ : state) {
        if (!meter.GetIpValue(MeterDevice::LevelObject, &level)) {
            state.SkipWithError("GET failed");
            return;
        }
        benchmark::DoNotOptimize(level);
    }
    state.SetItemsProcessed(state.iterations());
}

void PlainNetSnmpGet(benchmark::State& state) {
    netsnmp_session settings;
    snmp_sess_init(&settings);
    std::string peer = "udp:" + sim->Agent();
    settings.peername = peer.data();
    settings.version = SNMP_VERSION_1;
    settings.community = reinterpret_cast<u_char*>(const_cast<char*>("mivrol"));
    settings.community_len = 6;
    settings.timeout = 1000000;
    settings.retries = 0;
    void* session = snmp_sess_open(&settings);
    if (!session) {
        state.SkipWithError("cannot open the session");
        return;
    }
    const oid level[] = {1, 3, 6, 1, 4, 1, 32473, 1, 1, 1, 6, 0};
    for (auto _ : state) {
        netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_GET);
        snmp_add_null_var(request, level, sizeof level / sizeof level[0]);
        netsnmp_pdu* response = nullptr;
        if (snmp_sess_synch_response(session, request, &response) != STAT_SUCCESS || !response ||
            response->variables->type != ASN_INTEGER) {
            state.SkipWithError("GET failed");
            return;
        }
        benchmark::DoNotOptimize(*response->variables->val.integer);
        snmp_free_pdu(response);
    }
    snmp_sess_close(session);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(PlainNetSnmpGet)->MinTime(2.0)->UseRealTime()->Repetitions(3);
BENCHMARK(DeviceGet)->MinTime(2.0)->UseRealTime()->Repetitions(3);

// The console report, plus the device's rate as a share of the plain loop's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                Rate& rate = rates_[run.run_name.function_name];
                rate.sum += run.counters.at("items_per_second");
                rate.count += 1;
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double device = Mean("DeviceGet");
        const double plain = Mean("PlainNetSnmpGet");
        if (device > 0 && plain > 0)
            std::printf("SnmpDevice reaches %.3f of the plain net-snmp loop (target: at least 0.9)\n", device / plain);
    }

private:
    struct Rate {
        double sum = 0;
        int count = 0;
    };
    double Mean(const std::string& name) const {
        const auto found = rates_.find(name);
        return found == rates_.end() || found->second.count == 0 ? 0.0 : found->second.sum / found->second.count;
    }
    std::map<std::string, Rate> rates_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    sim = std::make_unique<MeterSimProcess>(std::vector<std::string>{"--level", "853"});
    SnmpMgrStartup();
    // The first seconds of traffic run slower (the simulator and the loopback warm up):
    // spend them before either side is measured.
    {
        MeterDevice warmUp(sim->Agent().c_str());
        warmUp.Open();
        AsnInteger32 level = 0;
        for (int i = 0; i < 50000; ++i)
            warmUp.GetIpValue(MeterDevice::LevelObject, &level);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    sim.reset();
    return 0;
}
