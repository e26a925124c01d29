#include "app/about_dlg.h"

#include "res/dialog_ids.h"
#include "res/dialog_templates.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(FindDialogTemplate(IDD_ABOUTBOX), parent) {}
