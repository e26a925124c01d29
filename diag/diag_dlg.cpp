#include "diag/diag_dlg.h"

#include "diag/diag_format.h"
#include "monitor/meter_monitor.h"
#include "platform/sys/fixed_text.h"
#include "res/dialog_ids.h"
#include "res/dialog_templates.h"

CDiagDlg::CDiagDlg(QWidget* ownerView, MeterMonitor* monitor)
    : CDialog(FindDialogTemplate(IDD_DIAGNOSTICS), ownerView),
      LastErrorTime(::NoErrorTime()),
      NoErrorTime(::NoErrorTime()),
      OwnerView(ownerView),
      monitor_(monitor) {
    setObjectName(QStringLiteral("CDiagDlg"));
}

CDiagDlg::~CDiagDlg() = default;

void CDiagDlg::TakeStatistics(const DiagnosticsCopy& copy, const COleDateTimeSpan& upTime) {
    PollCount = copy.PollCount;
    ErrorCount = copy.ErrorCount;
    ReconnectCount = copy.ReconnectCount;
    ConsecutiveErrors = copy.ConsecutiveErrors;
    CopyFixedText(SysName, copy.SysName);
    CopyFixedText(SysLocation, copy.SysLocation);
    LastErrorTime = copy.LastErrorTime;
    lastErrorSteadyTime_ = copy.LastErrorSteadyTime;
    UpTime = upTime;
}

void CDiagDlg::RefreshDisplay() {
    SetDlgItemText(IDC_DIAG_POLLS, FormatThousands(PollCount).c_str());
    SetDlgItemText(IDC_DIAG_ERRORS, FormatThousands(ErrorCount).c_str());
    SetDlgItemText(IDC_DIAG_RECONNECTS, FormatThousands(ReconnectCount).c_str());
    SetDlgItemText(IDC_DIAG_SYSNAME, std::string(FixedTextView(SysName)).c_str());
    SetDlgItemText(IDC_DIAG_SYSLOCATION, std::string(FixedTextView(SysLocation)).c_str());
    SetDlgItemText(IDC_DIAG_CONSECUTIVE, FormatThousands(ConsecutiveErrors).c_str());
    SetDlgItemText(IDC_DIAG_UPTIME, FormatSpan(UpTime).c_str());
    if (LastErrorTime == NoErrorTime)
        SetDlgItemText(IDC_DIAG_SINCE_ERROR, DialogText(QT_TRANSLATE_NOOP("Dialog", "N/A")));
    else
        SetDlgItemText(IDC_DIAG_SINCE_ERROR, FormatSpan(SteadyClock::SpanSince(lastErrorSteadyTime_)).c_str());
}

void CDiagDlg::OnOK() {}

void CDiagDlg::OnCommand(int id) {
    if (id == IDC_DIAG_CLEAR)
        OnClear();
    else
        CDialog::OnCommand(id);
}

// The dialog's own copies keep their values until the next tick.
void CDiagDlg::OnClear() {
    if (!OwnerView)
        return;
    if (monitor_)
        monitor_->ClearCounters();
    OwnerView->setFocus(Qt::OtherFocusReason);
}

void CDiagDlg::OnSetFocus() {
    if (OwnerView)
        OwnerView->setFocus(Qt::OtherFocusReason);
}
