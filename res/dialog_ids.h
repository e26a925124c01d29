#pragma once
// Identifiers of the dialog templates and of the controls the program addresses.

// Diagnostics dialog.
inline constexpr int IDD_DIAGNOSTICS = 132;
inline constexpr int IDC_DIAG_SYSNAME = 1004;
inline constexpr int IDC_DIAG_SYSLOCATION = 1005;
inline constexpr int IDC_DIAG_POLLS = 1006;
inline constexpr int IDC_DIAG_ERRORS = 1007;
inline constexpr int IDC_DIAG_RECONNECTS = 1008;
inline constexpr int IDC_DIAG_UPTIME = 1009;
inline constexpr int IDC_DIAG_SINCE_ERROR = 1010;
inline constexpr int IDC_DIAG_CONSECUTIVE = 1011;
inline constexpr int IDC_DIAG_CLEAR = 1014;

// About box.
inline constexpr int IDD_ABOUTBOX = 100;
