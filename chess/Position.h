#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

/// A square index: a1 = 0, b1 = 1, ..., h1 = 7, a2 = 8, ..., h8 = 63.
using Square = int;
constexpr int FileOf(Square s)
{
    return s % 8;
}
constexpr int RankOf(Square s)
{
    return s / 8;
}
constexpr Square MakeSquare(int file, int rank)
{
    return rank * 8 + file;
}
/// "e4" for 28.
std::string SquareName(Square s);
/// 28 for "e4"; -1 when the text is not a square.
Square ParseSquare(const std::string& text);

enum class Colour : std::uint8_t { White, Black };
constexpr Colour Opponent(Colour c)
{
    return c == Colour::White ? Colour::Black : Colour::White;
}

enum class PieceType : std::uint8_t { None, Pawn, Knight, Bishop, Rook, Queen, King };

struct Piece {
    PieceType type = PieceType::None;
    Colour colour = Colour::White;
    bool operator==(const Piece&) const = default;
};

/// A move as from and to squares. Castling is the king's two-square move; a promotion names its piece.
struct Move {
    Square from = 0;
    Square to = 0;
    PieceType promotion = PieceType::None;
    bool operator==(const Move&) const = default;
};

/// A chess position: the board, the side to move, castling rights, the en passant target square and
/// the move counters. A plain value: playing a move returns a new position.
class Position {
public:
    /// The castling rights, as bits.
    enum Castling : std::uint8_t { WhiteShort = 1, WhiteLong = 2, BlackShort = 4, BlackLong = 8 };

    /// The empty board, White to move; FEN parsing and the start position fill it.
    Position() = default;
    static Position Start();

    Piece at(Square s) const { return m_board[s]; }
    void put(Square s, Piece p) { m_board[s] = p; }
    Colour sideToMove() const { return m_side; }
    void setSideToMove(Colour c) { m_side = c; }
    std::uint8_t castling() const { return m_castling; }
    void setCastling(std::uint8_t rights) { m_castling = rights; }
    /// The square a pawn skipped with its two-square move just played, or -1.
    Square enPassant() const { return m_enPassant; }
    void setEnPassant(Square s) { m_enPassant = s; }
    int halfmoveClock() const { return m_halfmoves; }
    int fullmoveNumber() const { return m_fullmoves; }
    void setCounters(int halfmoves, int fullmoves)
    {
        m_halfmoves = halfmoves;
        m_fullmoves = fullmoves;
    }

    std::vector<Move> legalMoves() const;
    bool isLegal(const Move& move) const;
    /// The position after the move, which must be legal here.
    Position play(const Move& move) const;

    /// Whether the square is attacked by a piece of the given colour.
    bool attacked(Square s, Colour by) const;
    /// The king's square of that colour, or -1 when there is none.
    Square kingSquare(Colour c) const;
    bool inCheck() const;
    bool isCheckmate() const { return inCheck() && legalMoves().empty(); }
    bool isStalemate() const { return !inCheck() && legalMoves().empty(); }

    bool operator==(const Position&) const = default;

private:
    void pseudoLegalMoves(std::vector<Move>& out) const;
    void addPawnMoves(Square from, std::vector<Move>& out) const;
    void addCastling(std::vector<Move>& out) const;

    std::array<Piece, 64> m_board{};
    Colour m_side = Colour::White;
    std::uint8_t m_castling = 0;
    Square m_enPassant = -1;
    int m_halfmoves = 0;
    int m_fullmoves = 1;
};

/// The number of move paths of the given depth from the position: the standard check of a move generator.
std::uint64_t Perft(const Position& position, int depth);
