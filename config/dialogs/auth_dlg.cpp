#include "config/dialogs/auth_dlg.h"

#include "res/dialog_ids.h"

CAuthDlg::CAuthDlg(QWidget* parentWnd) : CDialog(IDD_AUTHENTICATION, parentWnd) {
    setObjectName(QStringLiteral("CAuthDlg"));
}

CAuthDlg::~CAuthDlg() = default;

bool CAuthDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    EnteredPassword[0] = '\0';
    SetDlgItemText(IDC_AUTH_PASSWORD, "");
    return true;
}

void CAuthDlg::OnOK() {
    GetDlgItemText(IDC_AUTH_PASSWORD, EnteredPassword, sizeof EnteredPassword);
    CDialog::OnOK();
}
