#pragma once
// The password dialog of the Configure command (template 131): one box, shown as typed, and
// OK or Cancel. After IDOK, EnteredPassword holds what was typed.

#include "config/settings.h"
#include "platform/qt/dialog.h"

class CAuthDlg : public CDialog {
    Q_OBJECT

public:
    explicit CAuthDlg(QWidget* parentWnd);
    ~CAuthDlg() override;

    char EnteredPassword[PasswordCapacity] = "";

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
