#pragma once

#include "BoardGeometry.h"
#include "GameDetails.h"
#include "LiveScore.h"
#include "Settings.h"
#include "TimeControl.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

class ClockEngine;
class EngineCamera;
class PictureWriter;
class PreviewSink;
struct CameraConfig;
class SessionBridge;
class SettingsStore;
class ShiftKeys;
class Ticker;
class TypingShiftKeys;
struct ClockState;

namespace cv {
class Mat;
}

/// A game that has ended, for its video.
struct PlayedGame {
    int number = 0;
    int plies = 0;
    QString dir;           // where its pictures went
    bool pictures = false; // the camera was open at its start, so its pictures are on disk
};

/// What the session uses from outside; left empty, each is the real thing.
struct SessionSeams {
    std::shared_ptr<ShiftKeys> keys;
    std::shared_ptr<Ticker> ticker;
    std::shared_ptr<SettingsStore> store;
    /// Makes each camera from the settings, showing its frames in preview and handing its pictures to
    /// writer; left empty, a webcam or source through OpenCV.
    std::function<std::shared_ptr<EngineCamera>(const CameraConfig& config,
                                                std::shared_ptr<PreviewSink> preview,
                                                std::shared_ptr<PictureWriter> writer)>
        makeCamera;
};

/// The life of the games of one run, without a widget: the clock state and the engine thread that runs
/// it, the camera, the picture writer, the game's record and the readers of its score. It starts and ends
/// games and decides when a changed setting takes effect: the clock times and the time control at once
/// while the clocks wait (else at the next Reset), a camera, picture size or folder from the next game,
/// whose pictures and score stay in the folder it started in. A window shows it and forwards the user's
/// choices to it; everything here runs on the thread that made it.
class GameSession final : public QObject {
    Q_OBJECT
public:
    /// Reads the settings (writing the defaults on a first run) and sets the clocks; the engine waits
    /// for Start().
    explicit GameSession(SessionSeams seams = {}, QObject* parent = nullptr);
    ~GameSession() override;

    /// The stored values that could not be read (their fields kept their defaults).
    const QStringList& UnreadSettings() const { return m_unreadSettings; }
    /// Starts the engine thread.
    void Start();
    /// Stops the engine thread: run flag down, then at most one second of waiting. A worker that
    /// outlives the wait owns all it uses and can no longer reach the session.
    void Stop();

    ClockState& Clock() { return *m_clock; }
    SettingsStore& Store() { return *m_store; }
    /// The settings in force (a choice made during a game may be waiting for the next one).
    const Settings& Current() const { return m_settings; }
    /// The time control in words ("5 min + 3 s").
    const QString& ControlWords() const { return m_controlWords; }
    /// A running clock shows tenths in its last seconds: with any time control beyond the arrows' times.
    bool ShowsTenths() const { return m_tenths; }

    /// Reset: the clocks back to their presets, waiting for the next game, which takes any time control
    /// chosen meanwhile.
    void Reset();
    /// An arrow of one side (see SpinStoppedClock); true when a time changed.
    bool Spin(bool left, int iDelta, int stepSeconds);
    /// Space: pauses a running game or resumes it; false while waiting.
    bool TogglePause();
    /// A time control chosen from the menu (a PGN TimeControl text; empty: the times set with the arrows),
    /// only while the clocks wait. It is written to the settings; returns why it could not be (it holds
    /// for this run all the same), or an empty text.
    QString ChooseTimeControl(const QString& text);
    /// What the settings dialog chose (and wrote): only what changed takes effect, each when it can.
    void ApplySettings(const Settings& chosen);
    /// The "Take pictures" choice: the camera opens while the clocks wait.
    void SetTakePictures(bool on);
    /// A key typed into the camera's picture: it closes the camera, and the game goes on without it.
    void PreviewKeyTyped();
    /// The players are typing into a text field of the program: Shift is then no clock press.
    void SetTyping(bool typing);
    /// The players' names and the rest: for the game being played and the next ones.
    void SetDetails(const GameDetails& details);
    const GameDetails& Details() const { return m_details; }
    /// In the game being played (or the last one): White plays on the left.
    bool LeftIsWhite() const { return m_leftIsWhite; }
    /// Lets use() read the camera's newest frame.
    void WithFrame(const std::function<void(const cv::Mat&)>& use);
    /// The board's corners clicked on the camera's picture: kept as BOARD, and the game being played is
    /// read again with them. Returns what the user should be told (clicks that make no board, BOARD not
    /// written), or an empty text.
    QString SetBoard(const BoardCorners& corners);
    /// The board in the BOARD setting, if it holds one.
    std::optional<BoardCorners> Board() const;
    /// The user's move for an uncertain ply of the game being played.
    void ChooseMove(int game, int ply, const Move& move);

    /// The last game that ended with a Reset; another Reset keeps it. Whether "Take pictures" is
    /// still ticked does not matter: its camera may have closed during the game.
    const PlayedGame& LastGame() const { return m_lastGame; }
    /// Returns when every picture handed to the picture writer so far is on disk (or has failed).
    void WaitForPictures();
    /// Whether pictures are still on their way to the disk.
    bool PicturesPending() const;
    /// Returns when every picture written so far has been read into its game's score.
    void WaitForScore();

    // From the engine's thread, through the bridge.
    void OnGameStarted();
    void OnClocksMoved();
    void OnNoCamera(const QString& reason);
    void OnPictureWritten(const std::filesystem::path& path, const std::string& error);
    /// The camera was moved during a game and the board found again there: the corners given in BOARD
    /// follow it, for the next games too, and the camera's window draws the grid where the board is now.
    void OnBoardMoved(const BoardCorners& corners);

signals:
    /// The clocks have moved or changed: the window draws them again.
    void displayChanged();
    /// A game has started with its first press.
    void gameStarted();
    /// No camera (reason: what its source said, or empty): a slot connected directly tells the user; the
    /// engine waits until it returns.
    void noCamera(const QString& reason);
    void previewOpened();
    void previewClosed();
    /// The camera closed by itself during a run (a key typed into its picture, its source ended),
    /// during a game or while the clocks waited.
    void cameraClosed(bool duringGame);
    /// The camera has a new frame (WithFrame reads it).
    void frameReady();
    /// The time control or its words have changed.
    void controlChanged();
    /// The players' names or the game's other details have changed.
    void detailsChanged();
    /// A picture or the game's record could not be saved.
    void pictureFailed(const QString& file, const QString& reason);
    /// A move was read from the pictures (or chosen).
    void moveRead(const LastMove& last);
    /// The board was found on a game's starting position (no BOARD setting).
    void boardFound(const BoardCorners& corners);
    /// Something the user should know, shown under the clocks.
    void notice(const QString& text);

private:
    void SetTimeControl(const QString& text);
    /// The control in force in words, with the times the clocks start from.
    void DescribeControl();
    void UseTimeControl(const QString& text, DelayChoice delay);
    void UsePendingControl();
    std::shared_ptr<EngineCamera> MakeCamera();
    /// The reader of one picture folder, made on first use; a folder keeps its reader for the run, so a
    /// game that started there is read to its end wherever the next one goes.
    LiveScore& Reader(const QString& folder);
    LiveScore* ReaderOfPicture(const std::filesystem::path& picture);

    std::shared_ptr<ClockState> m_clock;
    std::shared_ptr<SettingsStore> m_store;
    decltype(SessionSeams::makeCamera) m_makeCamera;
    std::shared_ptr<Ticker> m_ticker; // the clocks', and a video file's as the camera
    Settings m_settings;
    QStringList m_unreadSettings;
    std::shared_ptr<SessionBridge> m_bridge;
    std::shared_ptr<TypingShiftKeys> m_keys;
    GameDetails m_details;
    std::shared_ptr<PictureWriter> m_writer;
    std::shared_ptr<ClockEngine> m_engine;
    std::thread m_hThread;
    std::future<void> m_threadEnded;

    QString m_controlWords;
    bool m_tenths = false;
    std::optional<std::pair<QString, DelayChoice>> m_pendingControl; // chosen during a game, for the next
    QString m_cameraDir;         // the folder of the camera last handed to the engine
    QString m_gameDir;           // the folder of the game being played, or of the last one
    bool m_cameraShown = false;  // between the camera's opening and its closing
    bool m_gamePictures = false; // the game being played has pictures
    PlayedGame m_lastGame;
    std::map<std::filesystem::path, LiveScore*> m_readers; // by the folder their pictures are in
    bool m_leftIsWhite = false; // in the game being played: White plays on the left
    int m_flagTold = 0;         // the first flag the game score has been told of (as m_nFirstFlag)
};
