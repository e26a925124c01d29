#pragma once
// The About box (template 100): the program's icon, name and version, year and maker.

#include "platform/qt/dialog.h"

class CAboutDlg : public CDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
