#pragma once

#include "Position.h"

#include <optional>
#include <string>
#include <vector>

/// One ply of a game score: the move, with the mover's clock and the time used when they are known, and
/// the other moves the pictures could also have shown when the move is uncertain.
struct PgnPly {
    Move move;
    std::optional<double> clock; ///< the mover's clock after the move, seconds
    std::optional<double> used;  ///< the time the mover used for it, seconds
    bool uncertain = false;
    std::vector<Move> candidates; ///< other moves that could have been played, best first
    bool chosen = false;          ///< a player chose the move by hand: noted, so that a new reading keeps it
};

/// A game to write as PGN: the Seven Tag Roster, an optional time control, and the plies from the start.
struct PgnGame {
    std::string event = "?";
    std::string site = "?";
    std::string date = "????.??.??"; ///< "YYYY.MM.DD"
    std::string round = "?";
    std::string white = "?";
    std::string black = "?";
    std::string board;       ///< the board's number in a tournament; no tag when empty
    std::string timeControl; ///< in the PGN TimeControl syntax; empty when not known
    Position start = Position::Start();
    std::vector<PgnPly> plies;
    std::optional<Colour> flagFallen; ///< the side whose clock ran out, noted after the moves
};

/// What a game score written by WritePgn holds besides its moves that a new reading of the pictures
/// cannot see again: the moves chosen by hand, a flag noted when it fell, and the time control.
struct PgnNotes {
    std::vector<std::pair<int, Move>> chosen; ///< by ply, from 1
    std::optional<Colour> flagFallen;
    std::string timeControl; ///< empty when the tag is missing
};
/// Reads those notes from a PGN text, as far as its moves are legal from the initial position.
PgnNotes ReadPgnNotes(const std::string& text);

/// The result the moves reach: "1-0" or "0-1" on checkmate, "1/2-1/2" on stalemate, "*" otherwise.
/// Plies that are not legal end the game there.
std::string PgnResult(const PgnGame& game);
/// The game in the PGN export format: tags, then the moves in SAN with their clocks as [%clk] and
/// [%emt] comments, lines of at most 79 characters, ending with the result. A game that does not start
/// from the initial position carries SetUp and FEN tags. Plies that are not legal in their position are
/// left out, with everything after them.
std::string WritePgn(const PgnGame& game);
