#include "LiveScore.h"

#include "BoardFinder.h"
#include "Notation.h"
#include "PictureNames.h"
#include "ScoreSheet.h"

#include <QCoreApplication>
#include <algorithm>
#include <regex>

LiveScore::LiveScore(std::string folderUtf8, std::optional<BoardCorners> corners, std::string timeControl,
                     QObject* parent)
    : QObject(parent), m_folder(std::move(folderUtf8)), m_timeControl(std::move(timeControl)),
      m_setting(std::move(corners)), m_thread([this] { Run(); })
{}

LiveScore::~LiveScore()
{
    {
        std::lock_guard lock(m_mutex);
        // What is queued is read first: those pictures are a game's score.
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void LiveScore::Queue(std::function<void()> job)
{
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_changed.notify_all();
}

void LiveScore::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty())
            return;
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        job();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

void LiveScore::WaitUntilRead()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void LiveScore::PictureWritten(const std::filesystem::path& path)
{
    static const std::regex kName(R"(game(\d+)move(\d+)([ab])\.jpg)");
    std::smatch match;
    const std::string name = path.filename().string();
    if (!std::regex_match(name, match, kName))
        return;
    const int game = std::stoi(match[1]);
    const int ply = 2 * std::stoi(match[2]) - (match[3] == "a" ? 1 : 0);
    Queue([this, game, ply] {
        if (ply == 0 || game != m_game)
            StartGame(game);
        // Only the pictures written in this game: later ones of the same name may be an earlier run's.
        m_written = std::max(m_written, ply);
        if (ply > 0)
            Update();
    });
}

void LiveScore::SetCorners(const BoardCorners& corners)
{
    Queue([this, corners] {
        m_setting = corners;
        // The game being played is read again from its start with the corners the user has just shown.
        if (m_game >= 0) {
            const int written = m_written;
            const std::optional<Colour> flag = m_flag;
            StartGame(m_game);
            m_written = written;
            m_flag = flag;
            Update();
        }
    });
}

void LiveScore::SetTimeControl(std::string timeControl)
{
    Queue([this, timeControl = std::move(timeControl)] { m_timeControl = timeControl; });
}

void LiveScore::SetDetails(const GameDetails& details)
{
    Queue([this, details] {
        m_details = details;
        if (m_sheet) {
            m_sheet->SetDetails(details);
            Update();
        }
    });
}

void LiveScore::SetFlag(int game, Colour side)
{
    Queue([this, game, side] {
        if (game == m_game) {
            m_flag = side;
            Update();
        }
    });
}

void LiveScore::Choose(int game, int ply, const Move& move)
{
    Queue([this, game, ply, move] {
        if (m_sheet && game == m_game && m_sheet->Score().Choose(ply, move))
            Update();
    });
}

void LiveScore::StartGame(int game)
{
    m_game = game;
    m_written = 0;
    m_told = 0;
    m_flag.reset();
    m_sheet.reset();
    std::optional<BoardCorners> corners = m_setting;
    if (!corners) {
        const cv::Mat start = GamePictures(m_folder, game)(0);
        corners = start.empty() ? std::nullopt : FindBoardCorners(start);
    }
    if (!corners) {
        const QString text = QCoreApplication::translate(
                                 "LiveScore", "No board can be seen on %1, so the moves are not read. "
                                              "\"Board...\" in the preview lets you click its corners.")
                                 .arg(QString::fromStdString(FormatPictureName(game, 0)));
        QMetaObject::invokeMethod(
            this, [this, text] { emit notice(text); }, Qt::QueuedConnection);
        return;
    }
    if (!m_setting)
        QMetaObject::invokeMethod(
            this, [this, found = *corners] { emit boardFound(found); }, Qt::QueuedConnection);
    m_sheet = std::make_unique<ScoreSheet>(m_folder, game, *corners, m_timeControl);
    m_sheet->SetDetails(m_details);
}

void LiveScore::Update()
{
    if (!m_sheet)
        return;
    GameScore& score = m_sheet->Score();
    score.ReadAll(m_written);
    const PgnGame game = m_sheet->Game(m_sheet->ReadRecord(), m_flag);
    const std::string pgn = WritePgn(game);
    const QString error = m_sheet->Write(pgn);
    LastMove last;
    last.game = m_game;
    last.ply = int(score.Plies().size());
    last.pgn = QString::fromStdString(pgn);
    last.result = QString::fromStdString(PgnResult(game));
    Position reached = score.Start();
    for (const ScoredPly& ply : score.Plies()) {
        last.moves << QString::fromStdString(ToSan(reached, ply.move));
        reached = reached.play(ply.move);
    }
    last.fen = QString::fromStdString(ToFen(reached));
    if (last.ply > 0) {
        const ScoredPly& ply = score.Plies().back();
        const Position before = score.PositionAfter(last.ply - 1);
        last.text = QString::fromStdString(PlyText(score, last.ply, false));
        last.uncertain = ply.uncertain;
        last.from = QString::fromStdString(SquareName(ply.move.from));
        last.to = QString::fromStdString(SquareName(ply.move.to));
        for (const MoveCandidate& c : ply.reading.candidates)
            if (!(c.move == ply.move) && last.others.size() < 5)
                last.others.emplace_back(QString::fromStdString(ToSan(before, c.move)), c.move);
    }
    // What the camera saw of the board in the new pictures, said in words: silence would look like a
    // board read as usual.
    QString sight;
    std::optional<BoardCorners> moved;
    for (; m_told < last.ply; ++m_told) {
        const MoveReading& reading = score.Plies()[size_t(m_told)].reading;
        const QString picture = QString::fromStdString(FormatPictureName(m_game, m_told + 1));
        if (reading.sight == BoardSight::Covered)
            sight = QCoreApplication::translate("LiveScore", "The board is partly covered on %1: the move is "
                                                             "read from what can be seen.")
                        .arg(picture);
        else if (reading.sight == BoardSight::Moved) {
            sight =
                QCoreApplication::translate("LiveScore", "The camera moved before %1: the board was found "
                                                         "again and its new corners are kept.")
                    .arg(picture);
            moved = reading.corners;
        } else if (reading.sight == BoardSight::Lost)
            sight =
                QCoreApplication::translate("LiveScore", "The camera has lost the board on %1: its moves "
                                                         "cannot be read. \"Board...\" in the preview lets "
                                                         "you click its corners.")
                    .arg(picture);
    }
    // Corners that were given follow the camera into the next games; found ones are looked for again.
    if (moved && m_setting)
        m_setting = *moved;
    QMetaObject::invokeMethod(
        this,
        [this, last, error, sight, moved] {
            m_last = last;
            emit changed();
            if (moved)
                emit boardMoved(*moved);
            if (!sight.isEmpty())
                emit notice(sight);
            if (!error.isEmpty())
                emit notice(error);
        },
        Qt::QueuedConnection);
}
