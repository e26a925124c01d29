#pragma once
// Settings for a program under test: the factory defaults with the meter at `host`, then
// whatever `adjust` changes, saved where the program will load them (a test keeps them in
// its XdgSandbox). Tests always name a loopback meter: the default host would be looked up
// in the DNS.

#include "config/settings_store.h"
#include "platform/sys/fixed_text.h"

#include <functional>
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

}  // namespace decimon::test
