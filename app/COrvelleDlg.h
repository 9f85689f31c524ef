#pragma once

#include "Settings.h"
#include "TimeControl.h"

#include <QDialog>
#include <array>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <thread>

class COrvelleDlg;
class ClockEngine;
class DialogBridge;
class EngineCamera;
class LiveScore;
class PictureWriter;
class PreviewWindow;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class ScreenAwake;
class SettingsStore;
class ShiftKeys;
class SpinArrows;
class Ticker;
struct ClockState;

/// What the main window uses from outside; left empty, each is the real thing.
struct DialogSeams {
    std::shared_ptr<ShiftKeys> keys;
    std::shared_ptr<Ticker> ticker;
    std::shared_ptr<SettingsStore> store;
    /// Replaces the webcam (the real one is made from the settings).
    std::shared_ptr<EngineCamera> camera;
};

/// The main window: two clocks, their spinners, Reset, picture taking and the video maker.
/// It owns the clock state and the engine thread that runs the clocks.
class COrvelleDlg final : public QDialog {
    Q_OBJECT
public:
    explicit COrvelleDlg(DialogSeams seams = {}, QWidget* parent = nullptr);
    ~COrvelleDlg() override;

    /// Writes both clock texts from the current times.
    void UpdateTimeDisplay();
    void OnBnClickedReset();
    void OnDeltaposLeftMinSpin(int iDelta);
    void OnDeltaposLeftSecSpin(int iDelta);
    void OnDeltaposRightMinSpin(int iDelta);
    void OnDeltaposRightSecSpin(int iDelta);
    void OnBnClickedMakeVideo();
    void OpenAboutBox();
    /// Space: pauses a running game or resumes it; the arrows correct the times while paused.
    void OnPause();
    /// F11: full screen or back.
    void ToggleFullScreen();
    /// A choice of the time-control menu (a PGN TimeControl text; empty: the times set with the arrows).
    /// Only while the clocks wait; the choice is written to the settings.
    void ChooseTimeControl(const QString& text);
    /// "Other...": asks for a time control and chooses it.
    void OtherTimeControl();
    /// Runs the settings dialog; what it changed is written, and applied (ApplySettings).
    void OnSettings();
    /// What the settings dialog chose: the sound at once, the clock times and the time control while the
    /// clocks wait (now, or at the next Reset), a new camera, picture size or folder from the next game.
    void ApplySettings(const Settings& chosen);

    /// Called through the engine: a game has started.
    void DisableForGame();
    /// Called through the engine: no camera; returns when the user has dismissed the message.
    void ShowNoCameraMessage();

    /// Called through the camera: shows the preview beside this window.
    void ShowPreview();
    /// Called through the picture writer: a picture could not be saved.
    void ShowPictureNotice(const QString& file, const QString& reason);
    /// Called through the picture writer: a picture is on disk, for the game score to read.
    void OnPictureWritten(const std::filesystem::path& path);
    /// "Board...": the next four clicks on the preview are the board's corners.
    void OnBoard();
    /// The corners clicked on the preview: kept as BOARD, drawn as a grid, used to read the moves.
    void OnBoardPicked(const QList<QPointF>& corners);
    /// The game score's reader, when pictures are taken.
    LiveScore* Score() { return m_liveScore; }

    ClockState& Clock() { return *m_clock; }
    PreviewWindow& Preview() { return *m_preview; }
    /// Returns when every picture handed to the picture writer so far is on disk (or has failed).
    void WaitForPictures();
    /// Stops the engine thread: run flag down, then at most one second of waiting.
    void OnDestroy();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnInitDialog(DialogSeams& seams);
    void CreateControls();
    void FitDigits();
    void FitDigits(QLineEdit* clock);
    void CreateTimeControlMenu();
    void SetTimeControl(const QString& text);
    void EnableSpinners(bool enabled);
    void UseTimeControl(const QString& text, DelayChoice delay);
    void UsePendingControl();
    void ShowLastMove();
    void ShowBoardOnPreview();
    std::shared_ptr<EngineCamera> MakeCamera();

    std::shared_ptr<ClockState> m_clock;
    Settings m_settings;
    std::shared_ptr<SettingsStore> m_store;
    std::shared_ptr<DialogBridge> m_bridge;
    std::shared_ptr<ShiftKeys> m_keys;
    std::shared_ptr<PictureWriter> m_writer;
    std::shared_ptr<ClockEngine> m_engine;
    QString m_cameraDir; // the folder of the camera last handed to the engine
    QString m_gameDir;   // the folder of the last game's pictures, for its video
    std::optional<std::pair<QString, DelayChoice>> m_pendingControl; // chosen during a game, for the next
    ScreenAwake* m_awake = nullptr;
    std::array<long long, 10> m_shown{}; // what the display shows, to skip updates that change nothing
    QString m_heard[2];                  // what assistive technology last heard of each clock
    bool m_tenths = false;             // tenths in the last 10 s: with a time control of more than the arrows
    bool m_warned[2] = {false, false}; // the 10-seconds sound has been given (left, right)
    bool m_flagSounded[2] = {false, false};
    std::thread m_hThread;
    std::future<void> m_threadEnded;
    bool m_splashShown = false;

    QFont m_font;
    QLabel* m_instructions = nullptr;
    QPushButton* m_reset = nullptr;
    QCheckBox* m_takePictures = nullptr;
    QPushButton* m_makeVideo = nullptr;
    QLineEdit* m_leftTime = nullptr;
    QLineEdit* m_rightTime = nullptr;
    SpinArrows* m_leftMinSpin = nullptr;
    SpinArrows* m_leftSecSpin = nullptr;
    SpinArrows* m_rightMinSpin = nullptr;
    SpinArrows* m_rightSecSpin = nullptr;
    QPushButton* m_website = nullptr;
    QLabel* m_notice = nullptr;
    QLabel* m_leftInfo = nullptr; // under each clock: its flag, or its simple delay counting down
    QLabel* m_rightInfo = nullptr;
    QLabel* m_status = nullptr; // "Paused", or the move number and the moves to the next control
    QLabel* m_controlText = nullptr;
    QMenu* m_controlMenu = nullptr;
    PreviewWindow* m_preview = nullptr;
    LiveScore* m_liveScore = nullptr;
    QLabel* m_lastMove = nullptr;      // the last move read from the pictures, shown once there is one
    QToolButton* m_moveMark = nullptr; // "?" when that move is uncertain: offers the other candidates
    bool m_leftIsWhite = false;        // in the game being played: White plays on the left
    int m_flagTold = 0;                // the first flag the game score has been told of (as m_nFirstFlag)
};
