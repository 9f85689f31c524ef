#pragma once

#include "Position.h"

#include <optional>
#include <string>

/// The move in Standard Algebraic Notation ("Nbd7", "exd6", "e8=N+", "O-O-O", "Qh4#"). The move must be
/// legal in the position.
std::string ToSan(const Position& position, const Move& move);
/// The legal move that the SAN text names in the position, or nothing when it names none or more than
/// one. Accepts "0-0" for "O-O", a promotion without "=", and missing or extra check marks and
/// annotations ("!", "?").
std::optional<Move> ParseSan(const Position& position, const std::string& text);

/// The position in Forsyth-Edwards Notation.
std::string ToFen(const Position& position);
/// The position a FEN text describes, or nothing when it is malformed or not a legal position (a king
/// missing or doubled, pawns on the first or last rank, the side not to move in check). The move
/// counters may be left out. Castling rights whose king or rook is not at home are dropped, and so is an
/// en passant square that no pawn can just have skipped.
std::optional<Position> ParseFen(const std::string& text);
