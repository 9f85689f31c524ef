#pragma once

#include "BoardGeometry.h"
#include "GameDetails.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class ScoreSheet;

/// The last move read during a game, as the main window shows it.
struct LastMove {
    int game = 0;
    int ply = 0;
    QString text; ///< "12... Nf6"
    bool uncertain = false;
    /// The other moves the pictures could show, with their text, best first; offered when uncertain.
    std::vector<std::pair<QString, Move>> others;
    QStringList moves;    ///< every ply read so far, in SAN
    QString from, to;     ///< the last ply's squares ("e2", "e4")
    QString fen;          ///< the position after it
    QString result = QStringLiteral("*");
    QString pgn;          ///< the game's score as written
};

/// Reads the moves of the game being played from its pictures as they are written, on a thread of its
/// own, one picture at a time and in order, and rewrites "gameNN.pgn" after each. Neither the clocks nor
/// the pictures ever wait for it. Results reach the window's thread as `changed`.
class LiveScore final : public QObject {
    Q_OBJECT
public:
    /// folderUtf8 is the picture folder; corners the BOARD setting (none: looked for on each game's
    /// starting position); timeControl the game's PGN TimeControl.
    LiveScore(std::string folderUtf8, std::optional<BoardCorners> corners, std::string timeControl,
              QObject* parent = nullptr);
    /// Reads the pictures handed over so far, then stops.
    ~LiveScore() override;

    /// From any thread: the picture at path has been written. Names other than a game's pictures are
    /// ignored.
    void PictureWritten(const std::filesystem::path& path);
    /// The corners clicked by the user: used from the next picture on.
    void SetCorners(const BoardCorners& corners);
    /// The PGN TimeControl of the games that start from now on.
    void SetTimeControl(std::string timeControl);
    /// The players' names and the rest, for the game being read and the next ones.
    void SetDetails(const GameDetails& details);
    /// The clock saw this side's flag fall in the game: noted in its PGN.
    void SetFlag(int game, Colour side);
    /// The user's move for a ply of the game being read; the later pictures are read again.
    void Choose(int game, int ply, const Move& move);
    /// Returns when everything handed over so far has been read and written.
    void WaitUntilRead();

    const LastMove& Last() const { return m_last; }

signals:
    /// A move was read (or chosen); Last() has it.
    void changed();
    /// The board was found on a game's starting position (no BOARD setting): where it is.
    void boardFound(const BoardCorners& corners);
    /// Something the user should know: no board seen, the board covered, moved or lost, the score not
    /// written.
    void notice(const QString& text);
    /// The camera moved during a game and the board was found again: where it is now, to keep as BOARD.
    void boardMoved(const BoardCorners& corners);

private:
    void Queue(std::function<void()> job);
    void Run();
    /// On the worker: reads what pictures there are and writes the PGN.
    void Update();
    void StartGame(int game);

    std::string m_folder;
    LastMove m_last; // the window's thread's

    // The worker's own.
    std::string m_timeControl;
    GameDetails m_details;
    std::optional<BoardCorners> m_setting;
    std::unique_ptr<ScoreSheet> m_sheet;
    int m_game = -1;
    int m_written = 0; // the last ply of the game whose picture is on disk
    int m_told = 0;    // the plies whose board sight has been told
    std::optional<Colour> m_flag;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
