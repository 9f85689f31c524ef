#pragma once

#include "GameDetails.h"
#include "GameRecord.h"
#include "GameScore.h"
#include "Pgn.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

struct TimeControl;

/// The PGN TimeControl of a game whose clocks started at these times under this control: its stages
/// ("40/5400+30:1800+30"), else the start in seconds with any increment ("300", "180+2"). The tag cannot
/// say a delay, so a delay's seconds are left out rather than written as an increment; clocks that start
/// apart give "?" (not known).
std::string PgnTimeControl(const TimeControl& control, double leftStart, double rightStart);

/// The pictures of one game in the picture folder (UTF-8, empty or ending in a separator), by ply, from
/// "gameNNmove000b.jpg" on.
PictureSource GamePictures(const std::string& folder, int game);

/// The notes of the game's score "gameNN.pgn" as it stands, if there is one (see ReadPgnNotes).
PgnNotes ReadScoreNotes(const std::string& folder, int game);

/// One ply as the window and the command line show it: "12... Nf6"; marked, an uncertain move is followed
/// by " ?" and its other candidates ("12... Nf6 ? Nd7 Ne8").
std::string PlyText(const GameScore& score, int ply, bool marked);

/// A game's score read from its pictures, and its PGN file "gameNN.pgn" beside them, with the clocks of
/// its record "gameNN.tsv". The live game and `orvelle --pgn` both keep their score here.
class ScoreSheet {
public:
    ScoreSheet(std::string folder, int game, const BoardCorners& corners, std::string timeControl);

    GameScore& Score() { return m_score; }
    /// The names and the rest, for the PGN's tags.
    void SetDetails(const GameDetails& details) { m_details = details; }
    const GameScore& Score() const { return m_score; }
    /// The plies in the game's record file; empty when there is none.
    std::vector<PlyRecord> ReadRecord() const;
    /// The game as PGN: the moves with the record's clocks, the date of the first picture, the time
    /// control, and a fallen flag (the given one, else the first mover whose clock the record shows
    /// run out before their press).
    PgnGame Game(const std::vector<PlyRecord>& record, std::optional<Colour> flagFallen = {}) const;
    /// Writes the PGN as "gameNN.pgn" in one step (a reader sees the old file or the new one, never
    /// half of one); returns why it could not, or an empty text.
    QString Write(const std::string& pgnText) const;
    std::string FileName() const;

private:
    std::string m_folder;
    int m_game;
    std::string m_timeControl;
    GameDetails m_details;
    GameScore m_score;
};
