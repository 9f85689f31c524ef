#include "BoardFinder.h"
#include "Cases.h"
#include "BoardScene.h"
#include "MoveRecognizer.h"
#include "Notation.h"

#include <QtTest>

Q_DECLARE_METATYPE(Viewpoint)

namespace {
const cv::Size kSize(480, 360); // smaller than a webcam's, to keep the test quick
}

/// Move recognition on rendered games, where the moves are known; bench_recognition measures the shares.
class TestRecognition : public QObject {
    Q_OBJECT
private slots:
    void cornersText_data() { ORVELLE_CASES("recognition.cases", "corners"); }
    void cornersText()
    {
        QString text = Cell("text");
        const std::optional<BoardCorners> corners = ParseBoardCorners(text.toStdString());
        QCOMPARE(int(corners.has_value()), IntCell("valid"));
        if (corners)
            QCOMPARE(QString::fromStdString(FormatBoardCorners(*corners)).remove('0'),
                     text.remove(' ').remove('0'));
    }

    void findsCornersOnTheStartingPosition()
    {
        cv::RNG rng(3);
        const cv::Size webcam(640, 480); // the grid detector misses more often on smaller pictures
        for (Viewpoint v : {Viewpoint::Overhead, Viewpoint::Side}) {
            const SceneCamera camera = MakeSceneCamera(v, webcam);
            const std::optional<BoardCorners> found =
                FindBoardCorners(RenderBoard(Position::Start(), camera, RandomLight(rng), rng));
            QVERIFY(found);
            const BoardCorners truth = CornersSeenBy(camera);
            for (int i = 0; i < 4; ++i) // a1, h1, h8, a8 in their places, within a few pixels
                QVERIFY2(cv::norm(found->points[i] - truth.points[i]) < 0.01,
                         FormatBoardCorners(*found).c_str());
        }
        cv::Mat noise(kSize, CV_8UC3);
        rng.fill(noise, cv::RNG::UNIFORM, 0, 255);
        QVERIFY(!FindBoardCorners(noise));
        // The board without its pieces: which side is White's cannot be told.
        QVERIFY(
            !FindBoardCorners(RenderBoard(Position(), MakeSceneCamera(Viewpoint::Overhead, kSize), {}, rng)));
    }

    void games_data()
    {
        QTest::addColumn<Viewpoint>("viewpoint");
        QTest::newRow("overhead") << Viewpoint::Overhead;
        QTest::newRow("side") << Viewpoint::Side;
    }
    void games()
    {
        QFETCH(Viewpoint, viewpoint);
        const SceneCamera camera = MakeSceneCamera(viewpoint, kSize);
        const BoardCorners corners = CornersSeenBy(camera);
        cv::RNG rng(11);
        int plies = 0, right = 0;
        for (const SceneGame& game : SceneGames()) {
            Position p = Position::Start();
            cv::Mat before = RenderBoard(p, camera, RandomLight(rng), rng);
            for (const std::string& san : game.moves) {
                const Move played = *ParseSan(p, san);
                const cv::Mat after = RenderBoard(p.play(played), camera, RandomLight(rng), rng);
                const MoveReading reading = RecognizeMove(before, after, p, corners);
                QCOMPARE(reading.candidates.size(), p.legalMoves().size());
                const bool ok = reading.candidates[0].move == played;
                QVERIFY2(ok || reading.uncertain, san.c_str()); // never silently wrong
                right += ok;
                ++plies;
                p = p.play(played);
                before = after;
            }
        }
        QVERIFY2(right >= plies - 2, qPrintable(QString("%1 of %2").arg(right).arg(plies)));
    }

    void nothingOrTooMuchChangedIsUncertain()
    {
        const SceneCamera camera = MakeSceneCamera(Viewpoint::Side, kSize);
        cv::RNG rng(5);
        const Position start = Position::Start();
        const cv::Mat before = RenderBoard(start, camera, {}, rng);
        // Only the light changed.
        QVERIFY(RecognizeMove(before, RenderBoard(start, camera, {1.08, 0.05, 3.0}, rng), start,
                              CornersSeenBy(camera))
                    .uncertain);
        // e4, and a knocked-over rook gone from h8.
        Position after = start.play(*ParseSan(start, "e4"));
        after.put(ParseSquare("h8"), {});
        QVERIFY(RecognizeMove(before, RenderBoard(after, camera, {}, rng), start, CornersSeenBy(camera))
                    .uncertain);
        // Pictures that cannot be compared, and corners that make no board.
        QVERIFY(RecognizeMove(before, cv::Mat(), start, CornersSeenBy(camera)).uncertain);
        const BoardCorners point{{cv::Point2d(0.5, 0.5), {0.5, 0.5}, {0.5, 0.5}, {0.5, 0.5}}};
        QVERIFY(RecognizeMove(before, before, start, point).uncertain);
    }
};

QTEST_GUILESS_MAIN(TestRecognition)
#include "tst_recognition.moc"
