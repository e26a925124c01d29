#include "config/dialogs/auth_dlg.h"

#include "res/dialog_ids.h"
#include "res/dialog_templates.h"

CAuthDlg::CAuthDlg(QWidget* parentWnd) : CDialog(FindDialogTemplate(IDD_AUTHENTICATION), parentWnd) {
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
