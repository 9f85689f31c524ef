#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QSettings;

/// One capture size, by its settings code and its packed form (the width's digits followed by the height's).
struct Resolution {
    int code;
    int packed;
    int width;
    int height;
};

inline constexpr std::array<Resolution, 5> kResolutions{{
    {0, 320240, 320, 240},
    {1, 640480, 640, 480},
    {2, 960720, 960, 720},
    {3, 1024768, 1024, 768},
    {4, 16001200, 1600, 1200},
}};

/// The row of a packed size; none for a value no code gives.
std::optional<Resolution> ResolutionFromPacked(int packed);

/// The settings fields of the main window, with their values before anything is read.
struct Settings {
    int m_nCamera = 0;
    int m_nDelayType = 0;  // none, Fischer, Bronstein or simple delay
    int m_nDelayDelta = 0; // the delay's or increment's seconds
    QString m_strDir;      // empty, or ends in a separator
    int m_nResolution = 640480;
    QString m_strCamUrl;      // when not empty, the camera is opened from this source instead of by index
    QString m_strTimeControl; // when not empty, the game's time control in the PGN TimeControl syntax
    bool m_bSound = false;    // a sound at 10 s left and when a clock runs out
    double m_fLeftPreset = 60.0;
    double m_fRightPreset = 60.0;
    bool m_bVideoClocks = false; // VIDEO_CLOCKS: draw both clocks into the video's frames
    QString m_strBoard;          // BOARD: the board's corners as fractions; empty: looked for on the pictures
    int m_nServePort = 0;        // SERVE_PORT: the live web server's port; 0: no server
    bool m_bServeLan = false;    // SERVE_LAN: the server listens on every interface, not on 127.0.0.1 alone
    QString m_strBroadcastUrl;   // BROADCAST_URL: a lichess broadcast round's push address; empty: none
};

/// One stored value: its name and the text written on first run (null: DefaultPictureFolder()).
/// How each text becomes its field is the reading table in Settings.cpp.
struct SettingDef {
    const char* name;
    const char* defaultText;
};

/// Every value, in the order the defaults are written.
inline constexpr std::array<SettingDef, 7> kSettingDefs{{
    {"CAM_REF", "0"},
    {"DELAY_TYPE", "0"},
    {"DELAY_DELTA", "12"},
    {"RESOLUTION_REF", "1"},
    {"LTIME", "300"},
    {"RTIME", "300"},
    {"DIR", nullptr},
}};

/// Optional values: their absence is no error and no default is written for them.
inline constexpr char kCamUrlName[] = "CAM_URL";
/// Optional: 1 draws the clocks into the video's frames; absent or 0 leaves the pictures untouched.
inline constexpr char kVideoClocksName[] = "VIDEO_CLOCKS";
inline constexpr char kTimeControlName[] = "TIME_CONTROL";
inline constexpr char kSoundName[] = "SOUND";
/// Optional: where the board lies in the camera's picture, "a1x,a1y,h1x,h1y,h8x,h8y,a8x,a8y" as fractions
/// of the picture's width and height; absent, the board is looked for on each game's first picture.
inline constexpr char kBoardName[] = "BOARD";
/// Optional: the live web server's port (absent or 0: off), and whether every interface hears it.
inline constexpr char kServePortName[] = "SERVE_PORT";
inline constexpr char kServeLanName[] = "SERVE_LAN";
/// Optional: the push address of a lichess broadcast round; its token is in a file of its own.
inline constexpr char kBroadcastUrlName[] = "BROADCAST_URL";

/// A decimal integer as the classic C runtime reads one: leading white space, an optional sign,
/// digits up to the first non-digit; no number gives 0 and overflow saturates.
int ParseInt(QStringView text);

/// A preset from its stored number: 300 s for zero or less, 3599 s from 3600 up.
double PresetFromInt(int n);

/// A folder text with the separator appended when it is missing; empty stays empty.
QString NormaliseDir(const QString& dir);

/// The folder written on first run: the user's pictures folder, subfolder Orvelle.
QString DefaultPictureFolder();

/// The persistent settings over QSettings, organisation Kadrith, application Orvelle: on Linux
/// $XDG_CONFIG_HOME/Kadrith/Orvelle.conf over /etc/xdg/Kadrith/Orvelle.conf (see ConfFile.h for how
/// their values are read), on Windows the registry.
class SettingsStore {
public:
    /// The user's settings, with the machine-wide file read for values the user has not set.
    SettingsStore();
    /// One settings file and nothing else.
    explicit SettingsStore(const QString& iniFile);
    ~SettingsStore();

    /// Writes the seven defaults when none of the values exists yet.
    void CreateDefaultSettings();
    /// Fills the fields from the stored values; false when any of the seven could not be read
    /// (those fields keep their values, and unread gets their names).
    bool LoadSettings(Settings& settings, QStringList* unread = nullptr);
    /// Writes what a user's choice changed: each value whose text differs from the stored one; an
    /// optional value chosen empty is removed, as absent means its default. Nothing else is touched, and
    /// nothing at all when one text cannot be held. Returns why it could not write (a text the settings
    /// cannot hold, a file that cannot be written), or an empty text.
    QString WriteSettings(const std::vector<std::pair<const char*, QString>>& values);
    /// Where the settings are: a file, or on Windows the registry key.
    QString FileName() const;

private:
    std::optional<QString> Read(const char* name) const;
    std::unique_ptr<QSettings> m_settings;
};
