#include "config/dialogs/configure_command.h"

#include "config/dialogs/auth_dlg.h"
#include "config/dialogs/config_dlg.h"
#include "config/settings_store.h"
#include "monitor/meter_monitor.h"
#include "platform/qt/code_page.h"
#include "platform/qt/message_box.h"
#include "platform/sys/fixed_text.h"
#include "res/ui_language.h"

#include <QtGlobal>  // QT_TRANSLATE_NOOP

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

// A stop box owned by the view, with a text whose arguments are the system's words: file names
// and reasons come in the locale's encoding, the box takes the code page.
void ShowSystemError(QWidget* view, const char* text, const std::vector<std::string>& systemWords) {
    std::vector<std::string> args;
    for (const std::string& words : systemWords)
        args.push_back(ToCodePage(QString::fromLocal8Bit(words.data(), static_cast<qsizetype>(words.size()))));
    MessageBox(view, text, QT_TRANSLATE_NOOP("MessageBox", "Error"), MB_OK | MB_ICONERROR, args);
}

// True when no password is set, or the one typed matches it exactly (letter case counts).
// A password the file names on a broken line is one that no entry matches, never none.
bool PassesPasswordGate(QWidget* view, const MeterMonitor& monitor) {
    const Settings& settings = monitor.CurrentSettings();
    const std::string& unusable = monitor.UnusablePassword();
    if (unusable.empty() && FixedTextView(settings.Password).empty())
        return true;
    CAuthDlg auth(view);
    if (auth.DoModal() != IDOK)
        return false;
    if (!unusable.empty())
        ShowSystemError(view,
                        QT_TRANSLATE_NOOP("MessageBox", "No password opens the configuration: %1. Repair the file."),
                        {unusable});
    else if (FixedTextView(auth.EnteredPassword) == FixedTextView(settings.Password))
        return true;
    else
        MessageBox(view, QT_TRANSLATE_NOOP("MessageBox", "Invalid password"), QT_TRANSLATE_NOOP("MessageBox", "Error"),
                   MB_OK | MB_ICONERROR);
    return false;
}

// The session for the new host or polling settings: the poll timer stopped, the shown values
// (and with a new host the counters) reset, and a tick in 1 ms that polls on a new session.
void Reconnect(MeterMonitor& monitor, PollTimerControl& pollTimer, bool hostChanged) {
    pollTimer.KillPollTimer();
    // The tick runs on this thread and opens no nested event loop, so none is under way
    // here; the wait keeps the reset out of a tick should the tick ever run elsewhere.
    while (pollTimer.InPollTimerTick())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    monitor.ResetAfterConfigurationChange(hostChanged);
    pollTimer.SetPollTimer(1);  // the first tick requests a poll and re-arms the interval
}

}  // namespace

void UseLanguageSetting() {
    std::string warning;
    ApplyDisplayLanguage(SettingsStore::LoadLanguage(&warning));
    if (!warning.empty())
        std::fprintf(stderr, "decimon: %s\n", warning.c_str());
}

void RunConfigureCommand(QWidget* view, MeterMonitor& monitor, PollTimerControl& pollTimer) {
    UseLanguageSetting();
    // A file that could not be read may hold a password: defaults must not open the door
    // to it, nor a save write over it.
    if (const SettingsFileError* unreadable = monitor.UnreadableSettingsFile()) {
        ShowSystemError(view,
                        QT_TRANSLATE_NOOP("MessageBox", "The settings file %1 cannot be read (%2); the configuration "
                                                        "stays locked until it is repaired."),
                        {unreadable->file, unreadable->reason});
        return;
    }
    const Settings& current = monitor.CurrentSettings();
    if (!PassesPasswordGate(view, monitor))
        return;
    CConfigDlg dialog(view);
    dialog.CopyIn(current);
    if (dialog.DoModal() != IDOK)
        return;

    const bool pollingChanged = dialog.PollingInterval != current.PollingInterval ||
                                dialog.SnmpRetries != current.SnmpRetries || dialog.SnmpTimeout != current.SnmpTimeout;
    const bool hostChanged = FixedTextView(dialog.HostName) != FixedTextView(current.HostName);
    monitor.StoreSettings(dialog.CopyOut());
    SettingsFileError error;
    const bool saved = SettingsStore::SaveSettings(monitor.CurrentSettings(), &error);  // after every OK
    if (hostChanged || pollingChanged)
        Reconnect(monitor, pollTimer, hostChanged);
    // Told last, so that the new settings already run while the box is open.
    if (!saved)
        ShowSystemError(view, QT_TRANSLATE_NOOP("MessageBox", "The settings could not be saved: %1"), {error.reason});
}
