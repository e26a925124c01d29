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

// Configuration dialog.
inline constexpr int IDD_CONFIGURE = 130;
inline constexpr int IDC_CFG_PASSWORD = 1002;
inline constexpr int IDC_CFG_SHIFT_SPIN = 1003;
inline constexpr int IDC_CFG_CONFIRM = 1004;
inline constexpr int IDC_CFG_SHIFT = 1005;
inline constexpr int IDC_CFG_OFFSET = 1006;
inline constexpr int IDC_CFG_OFFSET_SPIN = 1007;
inline constexpr int IDC_CFG_POLLING = 1008;
inline constexpr int IDC_CFG_POLLING_SPIN = 1009;
inline constexpr int IDC_CFG_DISPLAY_WARNING = 1012;
inline constexpr int IDC_CFG_WARNING = 1013;
inline constexpr int IDC_CFG_TIMEOUT = 1014;
inline constexpr int IDC_CFG_HOST_LIST = 1015;
inline constexpr int IDC_CFG_RETRIES = 1016;
inline constexpr int IDC_CFG_NEW = 1017;
inline constexpr int IDC_CFG_HOST = 1018;
inline constexpr int IDC_CFG_ADD = 1019;
inline constexpr int IDC_CFG_DELETE = 1020;
inline constexpr int IDC_CFG_EDIT = 1021;
inline constexpr int IDC_CFG_HOST_CANCEL = 1022;
inline constexpr int IDC_CFG_TIMEOUT_SPIN = 1023;
inline constexpr int IDC_CFG_RETRIES_SPIN = 1024;
inline constexpr int IDC_CFG_RESTORE = 1025;

// Password dialog of the Configure command.
inline constexpr int IDD_AUTHENTICATION = 131;
inline constexpr int IDC_AUTH_PASSWORD = 1000;
