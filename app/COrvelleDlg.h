#pragma once

#include "CameraView.h"
#include "GameSession.h"

#include <QDialog>
#include <array>
#include <memory>

class LiveFeed;
class WindowKeys;
class LastMoveView;
class ClockFace;
class QCheckBox;
class QLabel;
class QPushButton;
class PreviewWindow;
class ScreenAwake;
class TimeControlMenu;
struct ClockState;

/// What the main window uses from outside; left empty, each is the real thing.
using DialogSeams = SessionSeams;

/// The main window: two clocks, their spinners, Reset, picture taking and the video maker. It shows the
/// game session and forwards the players' choices to it.
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
    void ChooseTimeControl(const QString& text);
    /// "Other...": asks for a time control and chooses it.
    void OtherTimeControl();
    /// Runs the settings dialog; what it changed is written, and handed to the session.
    void OnSettings();
    /// "Game details...": the names and the rest, for the PGN and above the clocks.
    void OnGameDetails();
    /// Stops the engine thread: run flag down, then at most one second of waiting.
    void OnDestroy();
    /// Escape, Alt+F4 and the close button: during a game, or while its pictures are being written, only
    /// when the players say so.
    void reject() override;

    GameSession& Session() { return *m_session; }
    ClockState& Clock() { return m_session->Clock(); }
    PreviewWindow& Preview() { return m_camera->Window(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void CreateControls();
    void ConnectSession();
    void OnSpin(bool left, int iDelta, int stepSeconds);
    void OnGameStarted();
    void ShowNoCameraMessage(const QString& reason);
    void ShowNotice(const QString& text);
    void ShowPlayers();

    std::unique_ptr<GameSession> m_session;
    ScreenAwake* m_awake = nullptr;
    WindowKeys* m_keys = nullptr; // goes before the session: it speaks to it whenever the focus moves
    bool m_splashShown = false;
    std::array<long long, 10> m_shown{}; // what the display shows, to skip updates that change nothing

    QPushButton* m_reset = nullptr;
    QCheckBox* m_takePictures = nullptr;
    QPushButton* m_makeVideo = nullptr;
    ClockFace* m_left = nullptr;
    ClockFace* m_right = nullptr;
    QLabel* m_notice = nullptr;
    QLabel* m_status = nullptr; // "Paused", or the move number and the moves to the next control
    QLabel* m_controlText = nullptr;
    CameraView* m_camera = nullptr;
    LiveFeed* m_live = nullptr;
    QLabel* m_liveStatus = nullptr; // the address to open, and how the broadcast goes
    LastMoveView* m_lastMove = nullptr;
};
