#include "Notation.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace {
constexpr char kLetters[] = " PNBRQK";

char PieceLetter(PieceType t)
{
    return kLetters[static_cast<int>(t)];
}

PieceType PieceFromLetter(char c)
{
    const char* p = std::char_traits<char>::find(kLetters + 1, 6, c);
    return p ? static_cast<PieceType>(p - kLetters) : PieceType::None;
}

bool IsCastling(const Position& position, const Move& m)
{
    return position.at(m.from).type == PieceType::King && std::abs(m.to - m.from) == 2;
}
} // namespace

std::string ToSan(const Position& position, const Move& m)
{
    const Piece mover = position.at(m.from);
    const bool capture = position.at(m.to).type != PieceType::None ||
                         (mover.type == PieceType::Pawn && FileOf(m.from) != FileOf(m.to));
    std::string san;
    if (IsCastling(position, m)) {
        san = m.to > m.from ? "O-O" : "O-O-O";
    } else if (mover.type == PieceType::Pawn) {
        if (capture)
            san = {char('a' + FileOf(m.from)), 'x'};
        san += SquareName(m.to);
        if (m.promotion != PieceType::None)
            san += {'=', PieceLetter(m.promotion)};
    } else {
        san = PieceLetter(mover.type);
        bool rivals = false, sameFile = false, sameRank = false;
        for (const Move& other : position.legalMoves()) {
            if (other.to != m.to || other.from == m.from || position.at(other.from).type != mover.type)
                continue;
            rivals = true;
            sameFile |= FileOf(other.from) == FileOf(m.from);
            sameRank |= RankOf(other.from) == RankOf(m.from);
        }
        if (rivals && (!sameFile || sameRank))
            san += char('a' + FileOf(m.from));
        if (sameFile)
            san += char('1' + RankOf(m.from));
        if (capture)
            san += 'x';
        san += SquareName(m.to);
    }
    const Position after = position.play(m);
    if (after.inCheck())
        san += after.legalMoves().empty() ? '#' : '+';
    return san;
}

std::optional<Move> ParseSan(const Position& position, const std::string& text)
{
    std::string s = text;
    while (!s.empty() && std::string_view("+#!?").find(s.back()) != std::string_view::npos)
        s.pop_back();
    std::replace(s.begin(), s.end(), '0', 'O');
    const std::vector<Move> moves = position.legalMoves();
    std::optional<Move> found;
    auto take = [&](const Move& m) {
        if (found)
            return false; // ambiguous
        found = m;
        return true;
    };
    if (s == "O-O" || s == "O-O-O") {
        for (const Move& m : moves)
            if (IsCastling(position, m) && (m.to > m.from) == (s == "O-O") && !take(m))
                return std::nullopt;
        return found;
    }
    PieceType promotion = PieceType::None;
    if (s.size() > 2 && PieceFromLetter(s.back()) != PieceType::None) {
        promotion = PieceFromLetter(s.back());
        s.pop_back();
        if (s.back() == '=')
            s.pop_back();
    }
    PieceType type = PieceType::Pawn;
    if (!s.empty() && std::isupper(static_cast<unsigned char>(s[0]))) {
        type = PieceFromLetter(s[0]);
        s.erase(0, 1);
    }
    std::erase_if(s, [](char c) { return c == 'x' || c == '-' || c == ':'; });
    if (s.size() < 2 || s.size() > 4 || type == PieceType::None)
        return std::nullopt;
    const Square to = ParseSquare(s.substr(s.size() - 2));
    const std::string hint = s.substr(0, s.size() - 2);
    if (to < 0)
        return std::nullopt;
    for (const Move& m : moves) {
        if (m.to != to || m.promotion != promotion || position.at(m.from).type != type ||
            IsCastling(position, m))
            continue;
        const std::string from = SquareName(m.from);
        const bool fits =
            std::all_of(hint.begin(), hint.end(), [&](char c) { return c == from[0] || c == from[1]; });
        if (fits && !take(m))
            return std::nullopt;
    }
    return found;
}

std::string ToFen(const Position& p)
{
    std::string fen;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const Piece piece = p.at(MakeSquare(file, rank));
            if (piece.type == PieceType::None) {
                ++empty;
                continue;
            }
            if (empty > 0)
                fen += char('0' + empty);
            empty = 0;
            const char letter = PieceLetter(piece.type);
            fen += piece.colour == Colour::White ? letter : char(std::tolower(letter));
        }
        if (empty > 0)
            fen += char('0' + empty);
        if (rank > 0)
            fen += '/';
    }
    fen += p.sideToMove() == Colour::White ? " w " : " b ";
    const char* rights = "KQkq";
    const size_t before = fen.size();
    for (int bit = 0; bit < 4; ++bit)
        if (p.castling() & (1 << bit))
            fen += rights[bit];
    if (fen.size() == before)
        fen += '-';
    fen += ' ';
    fen += p.enPassant() >= 0 ? SquareName(p.enPassant()) : "-";
    return fen + " " + std::to_string(p.halfmoveClock()) + " " + std::to_string(p.fullmoveNumber());
}

std::optional<Position> ParseFen(const std::string& text)
{
    std::istringstream in(text);
    std::string board, side, castling = "-", enPassant = "-";
    int halfmoves = 0, fullmoves = 1;
    if (!(in >> board >> side))
        return std::nullopt;
    in >> castling >> enPassant;
    std::string counters[2], extra;
    in >> counters[0] >> counters[1] >> extra;
    try {
        if (!extra.empty() || (!counters[0].empty() && counters[1].empty()))
            return std::nullopt;
        if (!counters[0].empty()) {
            size_t used0 = 0, used1 = 0;
            halfmoves = std::stoi(counters[0], &used0);
            fullmoves = std::stoi(counters[1], &used1);
            if (used0 != counters[0].size() || used1 != counters[1].size())
                return std::nullopt;
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    Position p;
    int rank = 7, file = 0;
    for (char c : board) {
        if (c == '/') {
            if (file != 8 || --rank < 0)
                return std::nullopt;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
        } else {
            const PieceType type = PieceFromLetter(char(std::toupper(c)));
            if (type == PieceType::None || file > 7 || (type == PieceType::Pawn && (rank == 0 || rank == 7)))
                return std::nullopt;
            p.put(MakeSquare(file++, rank), {type, std::isupper(c) ? Colour::White : Colour::Black});
        }
        if (file > 8)
            return std::nullopt;
    }
    if (rank != 0 || file != 8 || (side != "w" && side != "b") || halfmoves < 0 || fullmoves < 1)
        return std::nullopt;
    p.setSideToMove(side == "w" ? Colour::White : Colour::Black);
    for (Colour c : {Colour::White, Colour::Black}) {
        const auto kings = std::count(board.begin(), board.end(), c == Colour::White ? 'K' : 'k');
        if (kings != 1)
            return std::nullopt;
    }
    const Colour mover = p.sideToMove();
    if (p.attacked(p.kingSquare(Opponent(mover)), mover))
        return std::nullopt;

    std::uint8_t rights = 0;
    const Piece wk{PieceType::King, Colour::White}, bk{PieceType::King, Colour::Black};
    const Piece wr{PieceType::Rook, Colour::White}, br{PieceType::Rook, Colour::Black};
    for (char c : castling) {
        if (c == 'K' && p.at(4) == wk && p.at(7) == wr)
            rights |= Position::WhiteShort;
        else if (c == 'Q' && p.at(4) == wk && p.at(0) == wr)
            rights |= Position::WhiteLong;
        else if (c == 'k' && p.at(60) == bk && p.at(63) == br)
            rights |= Position::BlackShort;
        else if (c == 'q' && p.at(60) == bk && p.at(56) == br)
            rights |= Position::BlackLong;
        else if (std::string_view("KQkq-").find(c) == std::string_view::npos)
            return std::nullopt;
    }
    p.setCastling(rights);
    const Square ep = ParseSquare(enPassant);
    if (enPassant != "-" && ep < 0)
        return std::nullopt;
    if (ep >= 0) {
        // The skipped square is empty, and the pawn that skipped it stands just beyond.
        const int forward = mover == Colour::White ? -8 : 8;
        const bool fits = RankOf(ep) == (mover == Colour::White ? 5 : 2) &&
                          p.at(ep).type == PieceType::None &&
                          p.at(ep + forward) == Piece{PieceType::Pawn, Opponent(mover)};
        p.setEnPassant(fits ? ep : -1);
    }
    p.setCounters(halfmoves, fullmoves);
    return p;
}
