#include "Position.h"

#include <cstdlib>

namespace {
struct Step {
    int df, dr;
};
constexpr Step kKnightSteps[] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
constexpr Step kKingSteps[] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
constexpr Step kRookSteps[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
constexpr Step kBishopSteps[] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
constexpr PieceType kPromotions[] = {PieceType::Queen, PieceType::Rook, PieceType::Bishop, PieceType::Knight};

// The square one step away, or -1 off the board.
Square Offset(Square s, Step d)
{
    const int f = FileOf(s) + d.df, r = RankOf(s) + d.dr;
    return f < 0 || f > 7 || r < 0 || r > 7 ? -1 : MakeSquare(f, r);
}

// The rights a move touching this square (a king's or rook's home) takes away.
std::uint8_t RightsLostAt(Square s)
{
    switch (s) {
    case 0:
        return Position::WhiteLong;
    case 7:
        return Position::WhiteShort;
    case 4:
        return Position::WhiteShort | Position::WhiteLong;
    case 56:
        return Position::BlackLong;
    case 63:
        return Position::BlackShort;
    case 60:
        return Position::BlackShort | Position::BlackLong;
    default:
        return 0;
    }
}
} // namespace

std::string SquareName(Square s)
{
    return {char('a' + FileOf(s)), char('1' + RankOf(s))};
}

Square ParseSquare(const std::string& text)
{
    if (text.size() != 2 || text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8')
        return -1;
    return MakeSquare(text[0] - 'a', text[1] - '1');
}

Position Position::Start()
{
    Position p;
    constexpr PieceType back[] = {PieceType::Rook, PieceType::Knight, PieceType::Bishop, PieceType::Queen,
                                  PieceType::King, PieceType::Bishop, PieceType::Knight, PieceType::Rook};
    for (int f = 0; f < 8; ++f) {
        p.m_board[MakeSquare(f, 0)] = {back[f], Colour::White};
        p.m_board[MakeSquare(f, 1)] = {PieceType::Pawn, Colour::White};
        p.m_board[MakeSquare(f, 6)] = {PieceType::Pawn, Colour::Black};
        p.m_board[MakeSquare(f, 7)] = {back[f], Colour::Black};
    }
    p.m_castling = WhiteShort | WhiteLong | BlackShort | BlackLong;
    return p;
}

Square Position::kingSquare(Colour c) const
{
    for (Square s = 0; s < 64; ++s)
        if (m_board[s] == Piece{PieceType::King, c})
            return s;
    return -1;
}

bool Position::inCheck() const
{
    const Square king = kingSquare(m_side);
    return king >= 0 && attacked(king, Opponent(m_side));
}

bool Position::attacked(Square s, Colour by) const
{
    auto holds = [&](Square t, PieceType a, PieceType b = PieceType::None) {
        return t >= 0 && m_board[t].colour == by && m_board[t].type != PieceType::None &&
               (m_board[t].type == a || m_board[t].type == b);
    };
    // A pawn of `by` attacks diagonally forward, so look one rank back from its point of view.
    const int back = by == Colour::White ? -1 : 1;
    if (holds(Offset(s, {-1, back}), PieceType::Pawn) || holds(Offset(s, {1, back}), PieceType::Pawn))
        return true;
    for (Step d : kKnightSteps)
        if (holds(Offset(s, d), PieceType::Knight))
            return true;
    for (Step d : kKingSteps)
        if (holds(Offset(s, d), PieceType::King))
            return true;
    auto ray = [&](Step d, PieceType slider) {
        for (Square t = Offset(s, d); t >= 0; t = Offset(t, d)) {
            if (m_board[t].type != PieceType::None)
                return holds(t, slider, PieceType::Queen);
        }
        return false;
    };
    for (Step d : kRookSteps)
        if (ray(d, PieceType::Rook))
            return true;
    for (Step d : kBishopSteps)
        if (ray(d, PieceType::Bishop))
            return true;
    return false;
}

void Position::addPawnMoves(Square from, std::vector<Move>& out) const
{
    const int forward = m_side == Colour::White ? 1 : -1;
    const int lastRank = m_side == Colour::White ? 7 : 0;
    auto add = [&](Square to) {
        if (RankOf(to) == lastRank) {
            for (PieceType p : kPromotions)
                out.push_back({from, to, p});
        } else {
            out.push_back({from, to});
        }
    };
    const Square one = Offset(from, {0, forward});
    if (one >= 0 && m_board[one].type == PieceType::None) {
        add(one);
        const int startRank = m_side == Colour::White ? 1 : 6;
        const Square two = Offset(one, {0, forward});
        if (RankOf(from) == startRank && m_board[two].type == PieceType::None)
            out.push_back({from, two});
    }
    for (int df : {-1, 1}) {
        const Square to = Offset(from, {df, forward});
        if (to < 0)
            continue;
        const Piece target = m_board[to];
        if ((target.type != PieceType::None && target.colour != m_side) || to == m_enPassant)
            add(to);
    }
}

void Position::addCastling(std::vector<Move>& out) const
{
    const bool white = m_side == Colour::White;
    const Square king = white ? 4 : 60;
    const Colour them = Opponent(m_side);
    if (m_board[king] != Piece{PieceType::King, m_side} || attacked(king, them))
        return;
    auto empty = [&](Square s) { return m_board[s].type == PieceType::None; };
    const Piece rook{PieceType::Rook, m_side};
    if ((m_castling & (white ? WhiteShort : BlackShort)) && m_board[king + 3] == rook && empty(king + 1) &&
        empty(king + 2) && !attacked(king + 1, them))
        out.push_back({king, king + 2});
    if ((m_castling & (white ? WhiteLong : BlackLong)) && m_board[king - 4] == rook && empty(king - 1) &&
        empty(king - 2) && empty(king - 3) && !attacked(king - 1, them))
        out.push_back({king, king - 2});
}

void Position::pseudoLegalMoves(std::vector<Move>& out) const
{
    auto leaper = [&](Square from, const Step* steps, int n) {
        for (int i = 0; i < n; ++i) {
            const Square to = Offset(from, steps[i]);
            if (to >= 0 && (m_board[to].type == PieceType::None || m_board[to].colour != m_side))
                out.push_back({from, to});
        }
    };
    auto slider = [&](Square from, const Step* steps, int n) {
        for (int i = 0; i < n; ++i) {
            for (Square to = Offset(from, steps[i]); to >= 0; to = Offset(to, steps[i])) {
                if (m_board[to].type != PieceType::None) {
                    if (m_board[to].colour != m_side)
                        out.push_back({from, to});
                    break;
                }
                out.push_back({from, to});
            }
        }
    };
    for (Square s = 0; s < 64; ++s) {
        const Piece p = m_board[s];
        if (p.type == PieceType::None || p.colour != m_side)
            continue;
        switch (p.type) {
        case PieceType::Pawn:
            addPawnMoves(s, out);
            break;
        case PieceType::Knight:
            leaper(s, kKnightSteps, 8);
            break;
        case PieceType::King:
            leaper(s, kKingSteps, 8);
            break;
        case PieceType::Bishop:
            slider(s, kBishopSteps, 4);
            break;
        case PieceType::Rook:
            slider(s, kRookSteps, 4);
            break;
        case PieceType::Queen:
            slider(s, kKingSteps, 8);
            break;
        case PieceType::None:
            break;
        }
    }
    addCastling(out);
}

std::vector<Move> Position::legalMoves() const
{
    std::vector<Move> moves;
    moves.reserve(48);
    pseudoLegalMoves(moves);
    std::erase_if(moves, [&](const Move& m) {
        const Position after = play(m);
        const Square king = after.kingSquare(m_side);
        return king >= 0 && after.attacked(king, after.m_side);
    });
    return moves;
}

bool Position::isLegal(const Move& move) const
{
    for (const Move& m : legalMoves())
        if (m == move)
            return true;
    return false;
}

Position Position::play(const Move& m) const
{
    Position next = *this;
    const Piece mover = m_board[m.from];
    const bool capture = m_board[m.to].type != PieceType::None;
    next.m_board[m.from] = {};
    next.m_board[m.to] = m.promotion == PieceType::None ? mover : Piece{m.promotion, mover.colour};
    next.m_enPassant = -1;
    if (mover.type == PieceType::Pawn) {
        if (m.to == m_enPassant && FileOf(m.to) != FileOf(m.from))
            next.m_board[MakeSquare(FileOf(m.to), RankOf(m.from))] = {};
        if (std::abs(m.to - m.from) == 16)
            next.m_enPassant = (m.from + m.to) / 2;
    } else if (mover.type == PieceType::King && std::abs(m.to - m.from) == 2) {
        const bool shortSide = m.to > m.from;
        const Square rookFrom = shortSide ? m.from + 3 : m.from - 4;
        const Square rookTo = shortSide ? m.from + 1 : m.from - 1;
        next.m_board[rookTo] = next.m_board[rookFrom];
        next.m_board[rookFrom] = {};
    }
    next.m_castling &= ~(RightsLostAt(m.from) | RightsLostAt(m.to));
    next.m_halfmoves = mover.type == PieceType::Pawn || capture ? 0 : m_halfmoves + 1;
    if (m_side == Colour::Black)
        ++next.m_fullmoves;
    next.m_side = Opponent(m_side);
    return next;
}

std::uint64_t Perft(const Position& position, int depth)
{
    if (depth <= 0)
        return 1;
    const std::vector<Move> moves = position.legalMoves();
    if (depth == 1)
        return moves.size();
    std::uint64_t nodes = 0;
    for (const Move& m : moves)
        nodes += Perft(position.play(m), depth - 1);
    return nodes;
}
