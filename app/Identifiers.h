#pragma once

/// Control identifiers. Each control's objectName is its identifier's name, which is how tests
/// and accessibility tools find it.
enum ControlId : int {
    IDOK = 1,
    IDD_ABOUTBOX = 100,
    IDS_ABOUTBOX = 101,
    IDD_ORVELLE_DIALOG = 102,
    IDR_MAINFRAME = 128,
    IDB_SPLASH = 133,
    IDD_MAKING = 134,
    IDC_LEFT_TIME = 1001,
    IDC_RIGHT_TIME = 1002,
    IDC_MAKE_VIDEO = 1003,
    IDC_TAKE_PICTURES = 1005,
    IDC_RESET = 1007,
    IDC_WEBSITE = 1016,
    IDC_FORUM_LINK = 1016,
    IDC_LEFT_MIN_SPIN = 1017,
    IDC_LEFT_SEC_SPIN = 1018,
    IDC_PROGRESS = 1018,
    IDC_RIGHT_MIN_SPIN = 1019,
    IDC_RIGHT_SEC_SPIN = 1020,
};

inline constexpr int IDM_ABOUTBOX = 16;
inline constexpr int IDT_ENCODE = 1;

/// Names a control after its identifier: ORVELLE_ID(IDC_RESET) gives "IDC_RESET".
#define ORVELLE_ID(id) QStringLiteral(#id)
