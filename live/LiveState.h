#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <chrono>

/// One player's side of the live state.
struct LivePlayer {
    QString name{};
    qint64 ms = 0;     ///< time left when the state was taken, milliseconds (below zero once the flag fell)
    bool flag = false; ///< the clock has run out
};

/// Whose clock runs.
enum class LiveRunning { None, White, Black };

/// What spectators see of the game now: the position, the moves, both clocks and the game's details.
/// A plain value that the session fills and hands to the live server at every change.
struct LiveState {
    int game = 0; ///< the game's number in this run, from 1
    int ply = 0;  ///< plies played
    QString fen = QStringLiteral("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    QString lastMove{};           ///< SAN of the last ply; empty before the first
    QString lastFrom{}, lastTo{}; ///< its squares ("e2", "e4"), for marking it on the board
    QStringList moves{};          ///< every ply so far in SAN, from the starting position
    LivePlayer white{}, black{};
    LiveRunning running = LiveRunning::None;
    bool paused = false;
    qint64 delayMs = 0; ///< simple delay left to the running clock: it does not count until this is used up
    QString timeControl{}; ///< in words, as players write it ("40 moves in 90 min, then 30 min, +30 s")
    QString result = QStringLiteral("*");
    QString event{}, site{}, round{}, board{};
    /// When the clocks' times were read. The server counts the running clock down from here, so a
    /// client that connects later sees the time left at that moment; left empty, Publish stamps it.
    std::chrono::steady_clock::time_point taken{};
};

/// The state as the JSON document of /state.json and /events, with the running clock counted down to
/// `now`; `serverTime` (milliseconds since 1970, UTC) is the moment the document describes.
QJsonObject ToJson(const LiveState& state, std::chrono::steady_clock::time_point now, qint64 serverTime);
