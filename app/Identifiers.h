#pragma once

/// Window and control identifiers. Each carries its identifier's name as its objectName, which is
/// how tests and accessibility tools find it.
enum ControlId : int {
    IDOK = 1,
    IDD_ABOUTBOX = 100,
    IDM_ABOUTBOX = 16,
    IDD_ORVELLE_DIALOG = 102,
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
    IDM_SETTINGS = 32,
    IDD_SETTINGS = 140,
    IDC_SETTINGS_CAMERA = 1030,
    IDC_SETTINGS_SOURCE = 1031,
    IDC_SETTINGS_TEST = 1032,
    IDC_SETTINGS_SIZE = 1033,
    IDC_SETTINGS_DIR = 1034,
    IDC_SETTINGS_CHOOSE_DIR = 1035,
    IDC_SETTINGS_LEFT_TIME = 1036,
    IDC_SETTINGS_RIGHT_TIME = 1037,
    IDC_SETTINGS_TIME_CONTROL = 1038,
    IDC_SETTINGS_SOUND = 1039,
    IDC_SETTINGS_DELAY_TYPE = 1040,
    IDC_SETTINGS_DELAY = 1041,
    IDC_SETTINGS_PORT = 1042,
    IDC_SETTINGS_LAN = 1043,
    IDC_SETTINGS_BROADCAST = 1044,
    IDC_SETTINGS_TOKEN = 1045,
    IDM_GAME_DETAILS = 33,
    IDM_CAMERA_PICTURE = 34,
    IDM_CAMERA_WINDOW = 35,
    IDD_GAME_DETAILS = 141,
};

/// The objectName for an identifier: ORVELLE_ID(IDC_RESET) gives "IDC_RESET", and does not compile
/// for a name that is not an identifier.
#define ORVELLE_ID(id) (static_cast<void>(ControlId::id), QStringLiteral(#id))
