#include "Cases.h"
#include "Notation.h"
#include "Pgn.h"
#include "PgnExtract.h"

#include <QtTest>

namespace {
// "e7e8n" as a move.
Move Uci(const QString& text)
{
    const std::string s = text.toStdString();
    Move m{ParseSquare(s.substr(0, 2)), ParseSquare(s.substr(2, 2))};
    if (s.size() == 5)
        m.promotion = s[4] == 'n' ? PieceType::Knight : s[4] == 'r' ? PieceType::Rook : PieceType::Queen;
    return m;
}

Position Fen(const QString& fen)
{
    return ParseFen(fen.toStdString()).value();
}
} // namespace

/// SAN, FEN and PGN at their edges; the move generator itself is proven by tst_perft.
class TestNotation : public QObject {
    Q_OBJECT
private slots:
    void san_data() { ORVELLE_CASES("notation.cases", "san"); }
    void san()
    {
        const QString move = Cell("move"), san = Cell("san");
        const Position p = Fen(Cell("fen"));
        QVERIFY(p.isLegal(Uci(move)));
        QCOMPARE(QString::fromStdString(ToSan(p, Uci(move))), san);
        QCOMPARE(ParseSan(p, san.toStdString()), std::optional<Move>(Uci(move)));
    }

    void sanLenientAndRejected_data() { ORVELLE_CASES("notation.cases", "lenient"); }
    void sanLenientAndRejected()
    {
        const QString move = Cell("move");
        const Position p = Fen("k7/4P3/8/8/8/2N3N1/8/4K2R w K - 0 1");
        const std::optional<Move> parsed = ParseSan(p, Cell("text").toStdString());
        QCOMPARE(parsed, move.isEmpty() ? std::nullopt : std::optional<Move>(Uci(move)));
    }

    void fenRoundTripAndEnPassant()
    {
        Position p = Position::Start();
        for (const char* san : {"e4", "Nf6", "e5", "d5"})
            p = p.play(*ParseSan(p, san));
        const std::string fen = "rnbqkb1r/ppp1pppp/5n2/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3";
        QCOMPARE(ToFen(p), fen);
        QCOMPARE(ParseFen(fen), std::optional<Position>(p));
        QCOMPARE(ToSan(p, Uci("e5d6")), "exd6");
        QCOMPARE(p.play(Uci("e5d6")).at(ParseSquare("d5")), Piece{});
    }

    void fenRejectedOrMended_data() { ORVELLE_CASES("notation.cases", "fen"); }
    void fenRejectedOrMended()
    {
        const std::optional<Position> p = ParseFen(Cell("fen").toStdString());
        QCOMPARE(p ? QString::fromStdString(ToFen(*p)) : QString(), Cell("mended"));
    }

    void pgn_data() { ORVELLE_CASES("notation.cases", "pgn"); }
    void pgn()
    {
        const QString fen = Cell("fen"), result = Cell("result");
        PgnGame game;
        game.date = "2026.12.07";
        game.timeControl = "300+2";
        game.start = fen.isEmpty() ? Position::Start() : Fen(fen);
        for (const QString& m : Cell("moves").split(' '))
            game.plies.push_back({.move = Uci(m), .clock = 4023.9, .used = 61.5});
        game.plies[0].uncertain = true;
        game.plies[0].candidates = {Uci("d2d4"), Uci("a1a8")};
        game.flagFallen = Colour::Black;
        QCOMPARE(QString::fromStdString(PgnResult(game)), result);
        const QString pgn = QString::fromStdString(WritePgn(game));
        const QString flat = pgn.simplified();
        QVERIFY(pgn.contains("[Result \"" + result + "\"]\n"));
        QVERIFY(pgn.contains("[TimeControl \"300+2\"]"));
        QVERIFY(flat.contains("{[%clk 1:07:03] [%emt 0:01:02]}"));
        QVERIFY(flat.contains("{Black's flag fell} " + result));
        QVERIFY(pgn.trimmed().endsWith(result));
        QVERIFY(!pgn.contains("a1a8") && !pgn.contains("Ra8"));
        QCOMPARE(pgn.contains("[FEN "), !fen.isEmpty());
        for (const QString& line : pgn.split('\n'))
            QVERIFY2(line.size() <= 79, qPrintable(line));
        const QString report = PgnExtractReport(pgn.toUtf8());
        QVERIFY2(report.isEmpty(), qPrintable(report + "\n" + pgn));
    }

    void pgnMoveNumbersAfterComments()
    {
        PgnGame game;
        Position p = Position::Start();
        for (const char* san : {"e4", "e5", "Nf3"}) {
            game.plies.emplace_back().move = *ParseSan(p, san);
            p = p.play(game.plies.back().move);
        }
        game.plies[1].clock = 10;
        QVERIFY(QString::fromStdString(WritePgn(game)).contains("1. e4 e5 {[%clk 0:00:10]} 2. Nf3 *"));
        game.plies[0].clock = 10;
        QVERIFY(QString::fromStdString(WritePgn(game)).contains("1. e4 {[%clk 0:00:10]} 1... e5"));
    }
};

QTEST_GUILESS_MAIN(TestNotation)
#include "tst_notation.moc"
