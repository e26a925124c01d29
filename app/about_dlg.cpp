#include "app/about_dlg.h"

#include "res/dialog_ids.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(IDD_ABOUTBOX, parent) {}
