#include "config/configure_command.h"

#include "config/auth_dlg.h"
#include "config/config_dlg.h"
#include "config/settings_store.h"
#include "monitor/meter_monitor.h"
#include "platform/fixed_text.h"
#include "platform/message_box.h"

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

void CopyIntoDialog(const Settings& settings, CConfigDlg& dialog) {
    CopyFixedText(dialog.HostName, settings.HostName);
    CopyFixedText(dialog.Password, settings.Password);
    dialog.PollingInterval = settings.PollingInterval;
    dialog.ShiftLenHours = settings.ShiftLenHours;
    dialog.LevelOffset = settings.LevelOffset;
    dialog.SnmpTimeout = settings.SnmpTimeout;
    dialog.DisplayWarning = settings.DisplayWarning;
    dialog.SnmpRetries = settings.SnmpRetries;
    CopyFixedText(dialog.WarningMessage, settings.WarningMessage);
    for (std::size_t entry = 0; entry < RecentCount; ++entry)
        CopyFixedText(dialog.Recent[entry], settings.Recent[entry]);
}

Settings CopyOutOfDialog(const CConfigDlg& dialog) {
    Settings settings{};
    CopyFixedText(settings.HostName, dialog.HostName);
    CopyFixedText(settings.Password, dialog.Password);
    settings.ShiftLenHours = dialog.ShiftLenHours;
    settings.LevelOffset = dialog.LevelOffset;
    settings.SnmpTimeout = dialog.SnmpTimeout;
    settings.DisplayWarning = dialog.DisplayWarning;
    settings.SnmpRetries = dialog.SnmpRetries;
    settings.PollingInterval = dialog.PollingInterval;
    CopyFixedText(settings.WarningMessage, dialog.WarningMessage);
    for (std::size_t entry = 0; entry < RecentCount; ++entry)
        CopyFixedText(settings.Recent[entry], dialog.Recent[entry]);
    return settings;
}

}  // namespace

void RunConfigureCommand(QWidget* view, MeterMonitor& monitor, PollTimerControl& pollTimer) {
    const Settings& current = monitor.CurrentSettings();
    if (!PassesPasswordGate(view, current))
        return;
    CConfigDlg dialog(view);
    CopyIntoDialog(current, dialog);
    if (dialog.DoModal() != IDOK)
        return;

    const bool pollingChanged = dialog.PollingInterval != current.PollingInterval ||
                                dialog.SnmpRetries != current.SnmpRetries || dialog.SnmpTimeout != current.SnmpTimeout;
    const bool hostChanged = FixedTextView(dialog.HostName) != FixedTextView(current.HostName);
    monitor.StoreSettings(CopyOutOfDialog(dialog));
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
