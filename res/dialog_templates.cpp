// The dialog templates of the program, as a resource script would give them.

#include "res/dialog_templates.h"

#include "res/dialog_ids.h"

namespace {

using namespace ControlStyle;
using K = ControlKind;

// Every edit of the diagnostics dialog: read-only, bordered, scrolling, no tab stop.
constexpr std::uint32_t DiagEdit = ReadOnly | Border | AutoHScroll;

constexpr DialogControl DiagnosticsControls[] = {
    {IDC_STATIC, K::Static, "sysName", {7, 7, 30, 8}, 0},
    {IDC_DIAG_SYSNAME, K::Edit, "", {7, 18, 135, 14}, DiagEdit},
    {IDC_STATIC, K::Static, "sysLocation", {149, 6, 38, 8}, 0},
    {IDC_DIAG_SYSLOCATION, K::Edit, "", {149, 17, 135, 14}, DiagEdit},
    {IDC_STATIC, K::Static, "Polls", {97, 38, 15, 8}, 0},
    {IDC_DIAG_POLLS, K::Edit, "", {97, 48, 65, 14}, DiagEdit},
    {IDC_STATIC, K::Static, "Errors", {97, 70, 20, 8}, 0},
    {IDC_DIAG_ERRORS, K::Edit, "", {97, 80, 65, 14}, DiagEdit},
    {IDC_STATIC, K::Static, "Reconnects", {170, 38, 38, 8}, Hidden},
    {IDC_DIAG_RECONNECTS, K::Edit, "", {170, 48, 65, 14}, DiagEdit | Hidden},
    {IDC_STATIC, K::Static, "Up-Time", {7, 38, 27, 8}, 0},
    {IDC_DIAG_UPTIME, K::Edit, "", {7, 48, 82, 14}, DiagEdit},
    {IDC_DIAG_CLEAR, K::PushButton, "Clear", {121, 105, 50, 14}, TabStop},
    {IDC_STATIC, K::Static, "Time Since Last Error", {7, 70, 68, 8}, 0},
    {IDC_DIAG_SINCE_ERROR, K::Edit, "", {7, 80, 82, 14}, DiagEdit},
    {IDC_STATIC, K::Static, "Consecutive", {170, 70, 40, 8}, 0},
    {IDC_DIAG_CONSECUTIVE, K::Edit, "", {170, 80, 65, 14}, DiagEdit},
};

constexpr DialogControl AboutControls[] = {
    {IDC_STATIC, K::Icon, "", {11, 17, 0, 0}, 0},
    {IDC_STATIC, K::Static, "Decimon Version 1.2", {40, 10, 119, 8}, NoPrefix},
    {IDC_STATIC, K::Static, "Copyright (C) 2026 Corvanta Acoustics", {40, 25, 155, 8}, 0},
    {IDOK, K::DefPushButton, "OK", {178, 7, 50, 16}, TabStop},
};

constexpr DialogTemplate Templates[] = {
    {IDD_ABOUTBOX,
     "About Decimon",
     {0, 0, 235, 55},
     {"MS Shell Dlg", 8},
     DialogStyle::Caption | DialogStyle::SystemMenu | DialogStyle::ModalFrame,
     AboutControls},
    {IDD_DIAGNOSTICS,
     "Diagnostics...",
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
