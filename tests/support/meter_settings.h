#pragma once
// Settings for a program under test: the factory defaults with the meter at `host`, then
// whatever `adjust` changes, saved where the program will load them (a test keeps them in
// its XdgSandbox). Tests always name a loopback meter: the default host would be looked up
// in the DNS.

#include "config/settings_store.h"
#include "monitor/meter_monitor.h"
#include "platform/sys/fixed_text.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string_view>

namespace decimon::test {

inline void SaveMeterSettings(std::string_view host, const std::function<void(Settings&)>& adjust = {}) {
    Settings settings;
    SetFactoryDefaults(settings);
    CopyFixedText(settings.HostName, host);
    if (adjust)
        adjust(settings);
    SettingsStore::SaveSettings(settings);
}

// A monitor with its worker started on settings for the meter at `host`, whose requests fail
// fast (100 ms, no retry) unless `adjust` says otherwise, and its first connection asked for.
inline std::unique_ptr<MeterMonitor> StartMonitor(std::string_view host,
                                                  const std::function<void(Settings&)>& adjust = {}) {
    SaveMeterSettings(host, [&](Settings& settings) {
        settings.SnmpTimeout = 100;
        settings.SnmpRetries = 0;
        if (adjust)
            adjust(settings);
    });
    auto monitor = std::make_unique<MeterMonitor>();
    EXPECT_TRUE(monitor->StartWorker());
    monitor->RequestFirstConnection();
    return monitor;
}

}  // namespace decimon::test
