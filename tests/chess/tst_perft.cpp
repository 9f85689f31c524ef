#include "Notation.h"
#include "Position.h"

#include <QtTest>

/// The move generator against the published perft counts of the standard test positions. The deepest
/// counts live in bench_perft, to keep this quick.
class TestPerft : public QObject {
    Q_OBJECT
private slots:
    void perft_data()
    {
        QTest::addColumn<QString>("fen");
        QTest::addColumn<int>("depth");
        QTest::addColumn<qulonglong>("nodes");
        struct Row {
            const char* name;
            const char* fen;
            std::vector<qulonglong> counts;
        };
        const Row rows[] = {
            {"start", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", {20, 400, 8902, 197281}},
            {"kiwipete",
             "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
             {48, 2039, 97862}},
            {"position 3", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", {14, 191, 2812, 43238, 674624}},
            {"position 4",
             "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
             {6, 264, 9467}},
            {"position 4 mirrored",
             "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
             {6, 264, 9467}},
            {"position 5", "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", {44, 1486, 62379}},
            {"position 6",
             "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
             {46, 2079, 89890}},
        };
        for (const Row& row : rows)
            for (size_t depth = 1; depth <= row.counts.size(); ++depth)
                QTest::addRow("%s, depth %zu", row.name, depth)
                    << QString::fromLatin1(row.fen) << int(depth) << row.counts[depth - 1];
    }
    void perft()
    {
        QFETCH(QString, fen);
        QFETCH(int, depth);
        QFETCH(qulonglong, nodes);
        const std::optional<Position> position = ParseFen(fen.toStdString());
        QVERIFY(position);
        QCOMPARE(qulonglong(Perft(*position, depth)), nodes);
    }
};

QTEST_GUILESS_MAIN(TestPerft)
#include "tst_perft.moc"
