#include "Pgn.h"

#include "Notation.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {
// The notes a later reading looks for.
constexpr char kChosenNote[] = "chosen by hand";
constexpr char kWhiteFlag[] = "White's flag fell";
constexpr char kBlackFlag[] = "Black's flag fell";

std::string Hms(double seconds, bool round)
{
    const long s = !(seconds > 0) ? 0 : static_cast<long>(round ? std::lround(seconds) : std::floor(seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string Tag(const std::string& name, const std::string& value)
{
    std::string escaped;
    for (char c : value) {
        if (c == '"' || c == '\\')
            escaped += '\\';
        escaped += c == '\n' || c == '\r' ? ' ' : c;
    }
    return "[" + name + " \"" + escaped + "\"]\n";
}

// A comment's text may not hold a closing brace.
std::string Comment(std::string text)
{
    std::erase(text, '}');
    return "{" + text + "}";
}

// Joins the tokens with spaces into lines of at most 79 characters.
std::string Wrap(const std::vector<std::string>& tokens)
{
    std::string out, line;
    for (const std::string& token : tokens) {
        for (size_t start = 0; start < token.size();) {
            // A long comment breaks at its own spaces.
            size_t end = token.find(' ', start);
            end = end == std::string::npos ? token.size() : end;
            const std::string word = token.substr(start, end - start);
            if (!line.empty() && line.size() + 1 + word.size() > 79) {
                out += line + "\n";
                line.clear();
            }
            line += (line.empty() ? "" : " ") + word;
            start = end + 1;
        }
    }
    return out + line + "\n";
}

// Plays the plies while they are legal; returns how many were, and the position they reach.
size_t LegalPrefix(const PgnGame& game, Position& reached)
{
    reached = game.start;
    size_t n = 0;
    for (; n < game.plies.size() && reached.isLegal(game.plies[n].move); ++n)
        reached = reached.play(game.plies[n].move);
    return n;
}
} // namespace

std::string PgnResult(const PgnGame& game)
{
    Position end;
    LegalPrefix(game, end);
    if (end.isCheckmate())
        return end.sideToMove() == Colour::White ? "0-1" : "1-0";
    return end.isStalemate() ? "1/2-1/2" : "*";
}

std::string WritePgn(const PgnGame& game)
{
    const std::string result = PgnResult(game);
    std::string out = Tag("Event", game.event) + Tag("Site", game.site) + Tag("Date", game.date) +
                      Tag("Round", game.round) + Tag("White", game.white) + Tag("Black", game.black) +
                      Tag("Result", result);
    if (!game.board.empty())
        out += Tag("Board", game.board);
    if (!game.timeControl.empty())
        out += Tag("TimeControl", game.timeControl);
    if (!(game.start == Position::Start()))
        out += Tag("SetUp", "1") + Tag("FEN", ToFen(game.start));
    out += "\n";

    Position reached;
    const size_t legal = LegalPrefix(game, reached);
    std::vector<std::string> tokens;
    Position p = game.start;
    bool afterComment = true;
    for (size_t i = 0; i < legal; ++i) {
        const PgnPly& ply = game.plies[i];
        const int number = p.fullmoveNumber();
        if (p.sideToMove() == Colour::White)
            tokens.push_back(std::to_string(number) + ".");
        else if (afterComment)
            tokens.push_back(std::to_string(number) + "...");
        tokens.push_back(ToSan(p, ply.move));
        std::string clocks;
        if (ply.clock)
            clocks = "[%clk " + Hms(*ply.clock, false) + "]";
        if (ply.used)
            clocks += (clocks.empty() ? "" : " ") + ("[%emt " + Hms(*ply.used, true) + "]");
        afterComment = false;
        if (!clocks.empty()) {
            tokens.push_back(Comment(clocks));
            afterComment = true;
        }
        if (ply.chosen) {
            tokens.push_back(Comment(kChosenNote));
            afterComment = true;
        }
        if (ply.uncertain) {
            std::string others;
            for (const Move& m : ply.candidates)
                if (p.isLegal(m) && !(m == ply.move))
                    others += " " + ToSan(p, m);
            const std::string note = others.empty() ? "uncertain" : "uncertain; could also be:" + others;
            tokens.push_back(Comment(note));
            afterComment = true;
        }
        p = p.play(ply.move);
    }
    if (game.flagFallen)
        tokens.push_back(Comment(*game.flagFallen == Colour::White ? kWhiteFlag : kBlackFlag));
    tokens.push_back(result);
    return out + Wrap(tokens);
}

PgnNotes ReadPgnNotes(const std::string& text)
{
    PgnNotes notes;
    std::istringstream in(text);
    std::string line, movetext;
    while (std::getline(in, line)) {
        if (line.rfind("[TimeControl \"", 0) == 0)
            notes.timeControl = line.substr(14, line.find('"', 14) - 14);
        else if (line.empty() || line[0] != '[')
            movetext += line + " ";
    }
    // The flag is the game's, wherever its note stands.
    for (const char* flag : {kWhiteFlag, kBlackFlag})
        if (movetext.find("{" + std::string(flag) + "}") != std::string::npos)
            notes.flagFallen = flag == kWhiteFlag ? Colour::White : Colour::Black;
    Position p = Position::Start();
    std::vector<Move> moves;
    for (size_t i = 0; i < movetext.size();) {
        if (movetext[i] == '{') { // a comment notes the move before it
            const size_t end = std::min(movetext.find('}', i), movetext.size());
            const std::string comment = movetext.substr(i + 1, end - i - 1);
            if (comment == kChosenNote && !moves.empty())
                notes.chosen.emplace_back(int(moves.size()), moves.back());
            i = end + 1;
            continue;
        }
        const size_t end = std::min(movetext.find_first_of(" {", i), movetext.size());
        std::string token = movetext.substr(i, end - i);
        i = end == i ? i + 1 : end;
        token.erase(0, token.find_last_of('.') + 1); // "12." and "12..." before a move
        if (token.empty() || token == "*" || token == "1-0" || token == "0-1" || token == "1/2-1/2")
            continue;
        const std::optional<Move> move = ParseSan(p, token);
        if (!move)
            break; // not a legal move of this game: the notes end here
        p = p.play(*move);
        moves.push_back(*move);
    }
    return notes;
}
