#include "Notation.h"
#include "Pgn.h"

#include <QProcess>
#include <QTemporaryDir>
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
    void san_data()
    {
        QTest::addColumn<QString>("fen");
        QTest::addColumn<QString>("move");
        QTest::addColumn<QString>("san");
        const QString knights = "4k3/8/8/8/8/2N3N1/8/4K1N1 w - - 0 1";
        QTest::newRow("by file") << knights << "c3e2"
                                 << "Nce2";
        QTest::newRow("by rank") << knights << "g1e2"
                                 << "N1e2";
        QTest::newRow("by file and rank") << knights << "g3e2"
                                          << "Ng3e2";
        QTest::newRow("not needed when pinned") << "4k3/4r3/8/1N6/8/8/4N3/4K3 w - - 0 1"
                                                << "b5c3"
                                                << "Nc3";
        QTest::newRow("knight promotion with check") << "8/2k1P3/8/8/8/8/8/4K3 w - - 0 1"
                                                     << "e7e8n"
                                                     << "e8=N+";
        QTest::newRow("capture promotion") << "3r4/4P3/8/8/8/8/k7/4K3 w - - 0 1"
                                           << "e7d8q"
                                           << "exd8=Q";
        QTest::newRow("short castling") << "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"
                                        << "e1g1"
                                        << "O-O";
        QTest::newRow("long castling with check") << "3k4/8/8/8/8/8/8/R3K3 w Q - 0 1"
                                                  << "e1c1"
                                                  << "O-O-O+";
        QTest::newRow("en passant") << "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"
                                    << "e5d6"
                                    << "exd6";
        QTest::newRow("mate") << "rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq - 0 2"
                              << "d8h4"
                              << "Qh4#";
    }
    void san()
    {
        QFETCH(QString, fen);
        QFETCH(QString, move);
        QFETCH(QString, san);
        const Position p = Fen(fen);
        QVERIFY(p.isLegal(Uci(move)));
        QCOMPARE(QString::fromStdString(ToSan(p, Uci(move))), san);
        QCOMPARE(ParseSan(p, san.toStdString()), std::optional<Move>(Uci(move)));
    }

    void sanLenientAndRejected_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("move"); // empty: no move
        QTest::newRow("zeros castle") << "0-0"
                                      << "e1g1";
        QTest::newRow("promotion without =") << "e8N"
                                             << "e7e8n";
        QTest::newRow("annotated") << "Kd2!?"
                                   << "e1d2";
        QTest::newRow("ambiguous") << "Ne2"
                                   << "";
        QTest::newRow("promotion missing") << "e8"
                                           << "";
        QTest::newRow("no such piece") << "Qd1"
                                       << "";
        QTest::newRow("garbage") << "xx"
                                 << "";
    }
    void sanLenientAndRejected()
    {
        QFETCH(QString, text);
        QFETCH(QString, move);
        const Position p = Fen("k7/4P3/8/8/8/2N3N1/8/4K2R w K - 0 1");
        const std::optional<Move> parsed = ParseSan(p, text.toStdString());
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

    void fenRejectedOrMended_data()
    {
        QTest::addColumn<QString>("fen");
        QTest::addColumn<QString>("mended"); // empty: rejected
        QTest::newRow("no black king") << "8/8/8/8/8/8/8/4K3 w - - 0 1"
                                       << "";
        QTest::newRow("two white kings") << "4k3/8/8/8/8/8/8/3KK3 w - - 0 1"
                                         << "";
        QTest::newRow("pawn on rank 1") << "4k3/8/8/8/8/8/8/P3K3 w - - 0 1"
                                        << "";
        QTest::newRow("short rank") << "4k3/8/8/8/8/8/8/4K2 w - - 0 1"
                                    << "";
        QTest::newRow("long rank") << "4k3/8/8/8/8/8/8/4K4 w - - 0 1"
                                   << "";
        QTest::newRow("nine ranks") << "4k3/8/8/8/8/8/8/8/4K3 w - - 0 1"
                                    << "";
        QTest::newRow("side not to move in check") << "4k3/8/8/8/8/8/8/r3K3 b - - 0 1"
                                                   << "";
        QTest::newRow("bad side") << "4k3/8/8/8/8/8/8/4K3 x - - 0 1"
                                  << "";
        QTest::newRow("bad counter") << "4k3/8/8/8/8/8/8/4K3 w - - x 1"
                                     << "";
        QTest::newRow("counters left out") << "4k3/8/8/8/8/8/8/4K3 w - -"
                                           << "4k3/8/8/8/8/8/8/4K3 w - - 0 1";
        QTest::newRow("castling without rook") << "r3k3/8/8/8/8/8/8/4K2R w KQkq - 0 1"
                                               << "r3k3/8/8/8/8/8/8/4K2R w Kq - 0 1";
        QTest::newRow("en passant without pawn") << "4k3/8/8/8/4P3/8/8/4K3 w - d6 0 1"
                                                 << "4k3/8/8/8/4P3/8/8/4K3 w - - 0 1";
    }
    void fenRejectedOrMended()
    {
        QFETCH(QString, fen);
        QFETCH(QString, mended);
        const std::optional<Position> p = ParseFen(fen.toStdString());
        QCOMPARE(p ? QString::fromStdString(ToFen(*p)) : QString(), mended);
    }

    void pgn_data()
    {
        QTest::addColumn<QString>("fen");
        QTest::addColumn<QString>("moves");
        QTest::addColumn<QString>("result");
        const QString start = QString::fromStdString(ToFen(Position::Start()));
        QTest::newRow("checkmate") << start << "f2f3 e7e5 g2g4 d8h4"
                                   << "0-1";
        QTest::newRow("stalemate") << "7k/8/6Q1/8/8/8/8/K7 w - - 0 1"
                                   << "g6f7"
                                   << "1/2-1/2";
        QTest::newRow("game goes on") << start << "e2e4"
                                      << "*";
        QTest::newRow("illegal ply ends the score") << start << "e2e4 e2e4 d7d5"
                                                    << "*";
    }
    void pgn()
    {
        QFETCH(QString, fen);
        QFETCH(QString, moves);
        QFETCH(QString, result);
        PgnGame game;
        game.date = "2026.12.07";
        game.timeControl = "300+2";
        game.start = Fen(fen);
        for (const QString& m : moves.split(' ')) {
            PgnPly ply;
            ply.move = Uci(m);
            ply.clock = 4023.9;
            ply.used = 61.5;
            game.plies.push_back(ply);
        }
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
        QCOMPARE(pgn.contains("[FEN "), fen != QString::fromStdString(ToFen(Position::Start())));
        for (const QString& line : pgn.split('\n'))
            QVERIFY2(line.size() <= 79, qPrintable(line));
        checkedByPgnExtract(pgn);
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

private:
    // pgn-extract reads the game back and reports anything it finds wrong (it exits with 0 regardless).
    void checkedByPgnExtract(const QString& pgn)
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("game.pgn"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(pgn.toUtf8()) > 0);
        file.close();
        QProcess tool;
        tool.start("/usr/games/pgn-extract", {"-r", "-s", file.fileName()});
        QVERIFY2(tool.waitForFinished(10000), "pgn-extract did not run (scripts/deps.sh installs it)");
        const QString report = tool.readAllStandardError() + tool.readAllStandardOutput();
        QVERIFY2(tool.exitCode() == 0 && report.trimmed().isEmpty(), qPrintable(report + "\n" + pgn));
    }
};

QTEST_GUILESS_MAIN(TestNotation)
#include "tst_notation.moc"
