#include "config/dialogs/configure_command.h"

#include "config/dialogs/auth_dlg.h"
#include "config/dialogs/config_dlg.h"
#include "config/settings_store.h"
#include "monitor/meter_monitor.h"
#include "platform/qt/message_box.h"
#include "platform/sys/fixed_text.h"

#include <chrono>
#include <thread>

namespace {

// True when no password is set, or the one typed matches it exactly (letter case counts).
bool PassesPasswordGate(QWidget* view, const Settings& settings) {
    if (FixedTextView(settings.Password).empty())
        return true;
    CAuthDlg auth(view);
    if (auth.DoModal() != IDOK)
        return false;
    if (FixedTextView(auth.EnteredPassword) == FixedTextView(settings.Password))
        return true;
    MessageBox(view, "Invalid password", "Error", MB_OK | MB_ICONERROR);
    return false;
}

}  // namespace

void RunConfigureCommand(QWidget* view, MeterMonitor& monitor, PollTimerControl& pollTimer) {
    const Settings& current = monitor.CurrentSettings();
    if (!PassesPasswordGate(view, current))
        return;
    CConfigDlg dialog(view);
    dialog.CopyIn(current);
    if (dialog.DoModal() != IDOK)
        return;

    const bool pollingChanged = dialog.PollingInterval != current.PollingInterval ||
                                dialog.SnmpRetries != current.SnmpRetries || dialog.SnmpTimeout != current.SnmpTimeout;
    const bool hostChanged = FixedTextView(dialog.HostName) != FixedTextView(current.HostName);
    monitor.StoreSettings(dialog.CopyOut());
    SettingsStore::SaveSettings(monitor.CurrentSettings());  // after every OK, changed or not
    if (!hostChanged && !pollingChanged)
        return;
    pollTimer.KillPollTimer();
    // The tick runs on this thread and opens no nested event loop, so none is under way
    // here; the wait keeps the reset out of a tick should the tick ever run elsewhere.
    while (pollTimer.InPollTimerTick())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    monitor.ResetAfterConfigurationChange(hostChanged);
    pollTimer.SetPollTimer(1);  // the first tick requests a poll and re-arms the interval
}
