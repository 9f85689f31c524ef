#pragma once

#include <string>

/// What the players tell of a game besides its moves: their names, and where and in which round it is
/// played. Empty is not known, which the PGN writes as "?".
struct GameDetails {
    std::string white;
    std::string black;
    std::string event;
    std::string site;
    std::string round;
    std::string board; ///< the board's number in a tournament
    bool operator==(const GameDetails&) const = default;
};
