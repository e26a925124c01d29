#pragma once
// The diagnostics dialog: a small modeless child window of the meter view that shows the
// meter's sysName and sysLocation and the polling statistics, with Clear for the counters.
// It holds its own copies of the values; the view's poll-timer tick writes them
// (TakeStatistics) and then calls RefreshDisplay, whether the dialog is shown or not.

#include "monitor/monitor_state.h"
#include "platform/qt/dialog.h"
#include "platform/sys/ole_date_time.h"
#include "platform/sys/steady_clock.h"

#include <cstdint>

class MeterMonitor;

class CDiagDlg : public CDialog {
    Q_OBJECT

public:
    // `ownerView` gets the focus back and `monitor` the Clear; neither is owned.
    CDiagDlg(QWidget* ownerView, MeterMonitor* monitor);
    ~CDiagDlg() override;

    // Create(parentView), inherited, makes the window from template 132: a hidden child of
    // the view at the top-left corner of its client area, clipped to it.

    // The tick's hand-over: the monitor state's values and the up-time it computed.
    void TakeStatistics(const DiagnosticsCopy& copy, const COleDateTimeSpan& upTime);
    // Writes every field into its control; "Time Since Last Error" is measured up to now on
    // the monotonic clock.
    void RefreshDisplay();

    std::int32_t PollCount = 0;
    std::int32_t ErrorCount = 0;
    std::int32_t ReconnectCount = 0;
    std::int32_t ConsecutiveErrors = 0;  // the first tick sets it before any display
    char SysName[256] = "---";
    char SysLocation[256] = "---";
    COleDateTimeSpan UpTime;
    COleDateTime LastErrorTime;
    COleDateTime NoErrorTime;

protected:
    void OnOK() override;  // Enter does nothing
    void OnCommand(int id) override;
    void OnSetFocus() override;

private:
    void OnClear();

    QWidget* OwnerView;
    MeterMonitor* monitor_;
    SteadyTime lastErrorSteadyTime_;  // the monotonic reading taken with LastErrorTime
};
