// The dialog templates of the program, as a resource script would give them. Their captions
// and texts are English sources that the dialog builder translates.

#include "res/dialog_templates.h"

#include "res/dialog_ids.h"

#include <QtGlobal>  // QT_TRANSLATE_NOOP

namespace {

using namespace ControlStyle;
using K = ControlKind;

// Every edit of the diagnostics dialog: read-only, bordered, scrolling, no tab stop.
constexpr std::uint32_t DiagEdit = ReadOnly | Border | AutoHScroll;

constexpr DialogControl DiagnosticsControls[] = {
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "sysName"), {7, 7, 30, 8}, 0},
    {IDC_DIAG_SYSNAME, K::Edit, "", {7, 18, 135, 14}, DiagEdit},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "sysLocation"), {149, 6, 38, 8}, 0},
    {IDC_DIAG_SYSLOCATION, K::Edit, "", {149, 17, 135, 14}, DiagEdit},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Polls"), {97, 38, 15, 8}, 0},
    {IDC_DIAG_POLLS, K::Edit, "", {97, 48, 65, 14}, DiagEdit},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Errors"), {97, 70, 20, 8}, 0},
    {IDC_DIAG_ERRORS, K::Edit, "", {97, 80, 65, 14}, DiagEdit},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Reconnects"), {170, 38, 38, 8}, Hidden},
    {IDC_DIAG_RECONNECTS, K::Edit, "", {170, 48, 65, 14}, DiagEdit | Hidden},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Up-Time"), {7, 38, 27, 8}, 0},
    {IDC_DIAG_UPTIME, K::Edit, "", {7, 48, 82, 14}, DiagEdit},
    {IDC_DIAG_CLEAR, K::PushButton, QT_TRANSLATE_NOOP("Dialog", "Clear"), {121, 105, 50, 14}, TabStop},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Time Since Last Error"), {7, 70, 68, 8}, 0},
    {IDC_DIAG_SINCE_ERROR, K::Edit, "", {7, 80, 82, 14}, DiagEdit},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Consecutive"), {170, 70, 40, 8}, 0},
    {IDC_DIAG_CONSECUTIVE, K::Edit, "", {170, 80, 65, 14}, DiagEdit},
};

constexpr DialogControl AboutControls[] = {
    {IDC_STATIC, K::Icon, "", {11, 17, 0, 0}, 0},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Decimon Version 1.2"), {40, 10, 119, 8}, NoPrefix},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Copyright (C) 2026 Corvanta Acoustics"), {40, 25, 155, 8}, 0},
    {IDOK, K::DefPushButton, QT_TRANSLATE_NOOP("Dialog", "OK"), {178, 7, 50, 16}, TabStop},
};

// The boxes of the configuration dialog: bordered, with a tab stop.
constexpr std::uint32_t Box = Border | TabStop | AutoHScroll;
constexpr std::uint32_t Spin = ArrowKeys;

constexpr DialogControl ConfigureControls[] = {
    {IDC_STATIC, K::GroupBox, QT_TRANSLATE_NOOP("Dialog", "Host"), {7, 7, 279, 86}, 0},
    {IDC_CFG_HOST_LIST, K::ListBox, "", {13, 21, 94, 66}, Border | VScroll | TabStop},
    {IDC_CFG_NEW, K::PushButton, QT_TRANSLATE_NOOP("Dialog", "New->"), {109, 21, 37, 14}, TabStop},
    {IDC_CFG_EDIT, K::PushButton, QT_TRANSLATE_NOOP("Dialog", "Edit->"), {109, 56, 37, 14}, TabStop},
    {IDC_CFG_DELETE, K::PushButton, QT_TRANSLATE_NOOP("Dialog", "Delete..."), {109, 73, 37, 14}, TabStop},
    {IDC_CFG_HOST, K::Edit, "", {158, 21, 121, 14}, Box},
    {IDC_CFG_ADD, K::PushButton, QT_TRANSLATE_NOOP("Dialog", "<-Add"), {158, 38, 37, 14}, TabStop},
    {IDC_CFG_HOST_CANCEL, K::PushButton, QT_TRANSLATE_NOOP("Dialog", "Cancel"), {242, 38, 37, 14}, TabStop},
    {IDC_STATIC, K::GroupBox, QT_TRANSLATE_NOOP("Dialog", "Options"), {7, 97, 138, 160}, 0},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Shift Length (Hours)"), {47, 112, 66, 8}, 0},
    {IDC_CFG_SHIFT, K::Edit, "", {47, 122, 38, 14}, Box},
    {IDC_CFG_SHIFT_SPIN, K::UpDown, "", {86, 122, 11, 14}, Spin},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Polling Interval (Seconds)"), {47, 139, 82, 8}, 0},
    {IDC_CFG_POLLING, K::Edit, "", {47, 149, 38, 14}, Box},
    {IDC_CFG_POLLING_SPIN, K::UpDown, "", {86, 149, 11, 14}, Spin},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Level Offset (dB)"), {47, 166, 56, 8}, 0},
    {IDC_CFG_OFFSET, K::Edit, "", {47, 176, 38, 14}, Box},
    {IDC_CFG_OFFSET_SPIN, K::UpDown, "", {86, 176, 11, 14}, Spin},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "SNMP Timeout (ms)"), {47, 193, 62, 8}, 0},
    {IDC_CFG_TIMEOUT, K::Edit, "", {47, 203, 38, 14}, Box},
    {IDC_CFG_TIMEOUT_SPIN, K::UpDown, "", {86, 203, 11, 14}, Spin},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "SNMP Retries"), {47, 220, 44, 8}, 0},
    {IDC_CFG_RETRIES, K::Edit, "", {47, 230, 38, 14}, Box},
    {IDC_CFG_RETRIES_SPIN, K::UpDown, "", {86, 230, 11, 14}, Spin},
    {IDC_STATIC, K::GroupBox, QT_TRANSLATE_NOOP("Dialog", "Configuration Password"), {152, 97, 134, 71}, 0},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Password"), {158, 110, 32, 8}, 0},
    {IDC_CFG_PASSWORD, K::Edit, "", {158, 120, 121, 14}, Box | Password},
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Confirm Password"), {158, 137, 58, 8}, 0},
    {IDC_CFG_CONFIRM, K::Edit, "", {158, 147, 121, 14}, Box | Password},
    {IDC_STATIC, K::GroupBox, QT_TRANSLATE_NOOP("Dialog", "Warning"), {152, 170, 134, 54}, 0},
    {IDC_CFG_DISPLAY_WARNING, K::CheckBox, QT_TRANSLATE_NOOP("Dialog", "Display Message"), {158, 182, 69, 10}, TabStop},
    {IDC_CFG_WARNING, K::Edit, "", {158, 196, 121, 21}, Box | MultiLine | Centered | UpperCase},
    {IDOK, K::DefPushButton, QT_TRANSLATE_NOOP("Dialog", "OK"), {96, 263, 50, 14}, TabStop},
    {IDCANCEL, K::PushButton, QT_TRANSLATE_NOOP("Dialog", "Cancel"), {152, 263, 50, 14}, TabStop},
    {IDC_CFG_RESTORE,
     K::PushButton,
     QT_TRANSLATE_NOOP("Dialog", "Restore to Factory Defaults..."),
     {158, 237, 121, 14},
     TabStop},
    {IDC_STATIC, K::GroupBox, QT_TRANSLATE_NOOP("Dialog", "Restore"), {152, 227, 134, 30}, 0},
};

constexpr DialogControl AuthenticationControls[] = {
    {IDC_STATIC, K::Static, QT_TRANSLATE_NOOP("Dialog", "Password"), {8, 8, 32, 8}, 0},
    {IDC_AUTH_PASSWORD, K::Edit, "", {8, 19, 109, 14}, Box},
    {IDOK, K::DefPushButton, QT_TRANSLATE_NOOP("Dialog", "OK"), {129, 7, 50, 14}, TabStop},
    {IDCANCEL, K::PushButton, QT_TRANSLATE_NOOP("Dialog", "Cancel"), {129, 24, 50, 14}, TabStop},
};

constexpr std::uint32_t ModalDialog = DialogStyle::Caption | DialogStyle::SystemMenu | DialogStyle::ModalFrame;

constexpr DialogTemplate Templates[] = {
    {IDD_ABOUTBOX,
     QT_TRANSLATE_NOOP("Dialog", "About Decimon"),
     {0, 0, 235, 55},
     {"MS Shell Dlg", 8},
     ModalDialog,
     AboutControls},
    {IDD_CONFIGURE,
     QT_TRANSLATE_NOOP("Dialog", "Configure..."),
     {0, 0, 293, 284},
     {"MS Shell Dlg", 8},
     ModalDialog,
     ConfigureControls},
    {IDD_AUTHENTICATION,
     QT_TRANSLATE_NOOP("Dialog", "Configuration Authentication..."),
     {0, 0, 186, 46},
     {"MS Shell Dlg", 8},
     ModalDialog,
     AuthenticationControls},
    {IDD_DIAGNOSTICS,
     QT_TRANSLATE_NOOP("Dialog", "Diagnostics..."),
     {0, 0, 291, 126},
     {"MS Shell Dlg", 8},
     DialogStyle::Child | DialogStyle::Caption | DialogStyle::ModalFrame | DialogStyle::ToolWindow,
     DiagnosticsControls},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& candidate : Templates) {
        if (candidate.id == id)
            return &candidate;
    }
    return nullptr;
}
