#include "BoardGeometry.h"
#include "GameRecord.h"

#include <QtTest>
#include <clocale>
#include <cstdio>
#include <sstream>

/// Numbers written to files and settings under a locale whose decimal mark is a comma: the program's
/// German users get one as soon as Qt sets the C locale from their environment.
class TestLocale : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // test.sh generates the locale; without it this test would prove nothing, so it fails.
        QVERIFY2(std::setlocale(LC_ALL, "de_DE.UTF-8"), "de_DE.UTF-8 is not installed (see scripts/deps.sh)");
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 2.5);
        QCOMPARE(probe, "2,5");
    }

    void recordAndBoardAreWrittenAndReadWithAPoint()
    {
        const PlyRecord ply{7, true, 2.5, 297.25, 3600.125, "game01move004a.jpg", true};
        const std::string line = FormatGameRecordLine(ply);
        QCOMPARE(line, std::string("7\twhite\tleft\t2.500\t297.250\t3600.125\tgame01move004a.jpg\t1"));
        // Only what was written whole: a ply 0 is none, and the last line was cut short by a crash.
        std::istringstream file(GameRecordHeader() + "\n0\twhite\tleft\t1\t2\t3\tx\t0\n" + line +
                                "\n8\tblack\tright\t1.5\t29");
        const std::vector<PlyRecord> read = ParseGameRecord(file);
        QCOMPARE(read.size(), size_t(1));
        QCOMPARE(read[0].picture, ply.picture);
        QCOMPARE(read[0].used, 2.5);
        QCOMPARE(read[0].rightTime, 3600.125);
        QVERIFY(read[0].flagged);

        const BoardCorners corners{{{{0.21, 0.83}, {0.79, 0.83}, {0.74, 0.18}, {0.26, 0.18}}}};
        const std::string text = FormatBoardCorners(corners);
        QCOMPARE(text, std::string("0.2100,0.8300,0.7900,0.8300,0.7400,0.1800,0.2600,0.1800"));
        const std::optional<BoardCorners> board = ParseBoardCorners(text);
        QVERIFY(board);
        QVERIFY(board->points == corners.points);
    }

    void commasOfEarlierVersionsStillRead()
    {
        std::istringstream file("ply\tmover\tside\tused\tleft\tright\tpicture\n"
                                "1\twhite\tright\t2,500\t300,000\t297,500\tgame01move001a.jpg\n");
        const std::vector<PlyRecord> read = ParseGameRecord(file);
        QCOMPARE(read.size(), size_t(1));
        QCOMPARE(read[0].used, 2.5);
        QCOMPARE(read[0].rightTime, 297.5);
        QVERIFY(!read[0].flagged);

        const std::optional<BoardCorners> board =
            ParseBoardCorners("0,2100,0,8300,0,7900,0,8300,0,7400,0,1800,0,2600,0,1800");
        QVERIFY(board);
        QCOMPARE(board->points[1].x, 0.79);
        QVERIFY(!ParseBoardCorners("0,2100,0,8300,0,7900,0,8300,0,7400,0,1800,0,2600,2,1800"));
    }
};

QTEST_GUILESS_MAIN(TestLocale)
#include "tst_locale.moc"
