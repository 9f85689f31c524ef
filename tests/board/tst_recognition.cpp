#include "BoardFinder.h"
#include "BoardScene.h"
#include "Cases.h"
#include "MoveRecognizer.h"
#include "Notation.h"
#include "PhotoScene.h"

#include <QtTest>
#include <opencv2/imgproc.hpp>

Q_DECLARE_METATYPE(Viewpoint)
Q_DECLARE_METATYPE(PhotoView)
Q_DECLARE_METATYPE(PieceSet)

namespace {
const cv::Size kSize(480, 360); // smaller than a webcam's, to keep the test quick
}

/// Move recognition on rendered games, where the moves are known, drawn flat and ray-traced like
/// photographs; bench_recognition measures the shares.
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

    void photoLikeStartsAreFound_data()
    {
        QTest::addColumn<PhotoView>("view");
        QTest::addColumn<bool>("vinyl");
        QTest::addColumn<PieceSet>("set");
        QTest::newRow("vinyl, plastic set, overhead") << PhotoView::Overhead << true << PieceSet::Plastic;
        QTest::newRow("wooden board and set, White left")
            << PhotoView::SideWhiteLeft << false << PieceSet::Wooden;
        QTest::newRow("vinyl, classic set, White right")
            << PhotoView::SideWhiteRight << true << PieceSet::Classic;
    }
    void photoLikeStartsAreFound()
    {
        PhotoSetup setup;
        QFETCH(PhotoView, view);
        QFETCH(bool, vinyl);
        QFETCH(PieceSet, set);
        setup.view = view, setup.vinyl = vinyl, setup.set = set, setup.seed = 5;
        const PhotoGame game(setup, {});
        const cv::Mat start = game.Picture(0);
        QVERIFY2(!start.empty(), game.Error().c_str());
        const std::optional<BoardCorners> found = FindBoardCorners(start);
        QVERIFY(found);
        for (int i = 0; i < 4; ++i) // a1, h1, h8, a8 in their places, within a few pixels
            QVERIFY2(cv::norm(found->points[size_t(i)] - game.Corners(0).points[size_t(i)]) < 0.01,
                     FormatBoardCorners(*found).c_str());
    }

    void photoLikeGamesInClubConditions_data()
    {
        QTest::addColumn<PhotoView>("view");
        QTest::addColumn<unsigned>("seed");
        QTest::newRow("overhead") << PhotoView::Overhead << 3u;
        QTest::newRow("White on the right") << PhotoView::SideWhiteRight << 4u;
    }
    void photoLikeGamesInClubConditions()
    {
        // A vinyl board, a plastic set off-centre, drifting light and a lamp, a nudged camera and hands.
        QFETCH(PhotoView, view);
        QFETCH(unsigned, seed);
        PhotoSetup setup;
        setup.view = view, setup.seed = seed, setup.size = kSize, setup.set = PieceSet::Plastic;
        setup.vinyl = setup.offCentre = setup.light = setup.nudge = setup.hands = true;
        const std::vector<std::string> game = PhotoGames()[1];
        const PhotoGame photos(setup, {game.begin(), game.begin() + 14});
        Position p = photos.Start();
        BoardCorners corners = photos.Corners(0);
        cv::Mat before = photos.Picture(0);
        int right = 0;
        for (int ply = 1; ply <= photos.Plies(); ++ply) {
            const cv::Mat after = photos.Picture(ply);
            QVERIFY2(!after.empty(), photos.Error().c_str());
            const MoveReading reading = RecognizeMove(before, after, p, corners);
            const Move played = photos.Moves()[size_t(ply - 1)];
            const bool ok = reading.candidates[0].move == played;
            QVERIFY2(ok || reading.uncertain, ToSan(p, played).c_str()); // never silently wrong
            right += ok;
            // A hand in either picture is seen; a moved camera too, and the board is found again.
            const bool nudged = !(photos.Corners(ply).points == photos.Corners(ply - 1).points);
            QCOMPARE(reading.sight == BoardSight::Moved, nudged);
            if (!nudged && (photos.HandIn(ply) || photos.HandIn(ply - 1)))
                QCOMPARE(reading.sight, BoardSight::Covered);
            for (int i = 0; i < 4; ++i)
                QVERIFY(cv::norm(reading.corners.points[size_t(i)] - photos.Corners(ply).points[size_t(i)]) <
                        0.008);
            corners = reading.corners;
            p = p.play(played);
            before = after;
        }
        QVERIFY2(right >= photos.Plies() - 2, qPrintable(QString("%1 of %2").arg(right).arg(photos.Plies())));
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
        // The camera knocked farther than the picture-to-picture registration reaches: the board is
        // found again by its features, where it now is.
        cv::Mat knocked = cv::getRotationMatrix2D({kSize.width / 2.0, kSize.height / 2.0}, 8, 1.0);
        knocked.at<double>(0, 2) += 40;
        cv::Mat far;
        cv::warpAffine(RenderBoard(start.play(*ParseSan(start, "e4")), camera, {}, rng), far, knocked, kSize,
                       cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        const MoveReading found = RecognizeMove(before, far, start, CornersSeenBy(camera));
        QVERIFY(found.sight == BoardSight::Moved && ToSan(start, found.candidates[0].move) == "e4");
        for (int i = 0; i < 4; ++i) {
            const cv::Point2d truth = CornersSeenBy(camera).points[size_t(i)];
            const cv::Vec2d there =
                cv::Matx23d(knocked) * cv::Vec3d(truth.x * kSize.width, truth.y * kSize.height, 1);
            QVERIFY(cv::norm(cv::Point2d(there[0] / kSize.width, there[1] / kSize.height) -
                             found.corners.points[size_t(i)]) < 0.005);
        }
        // A picture of something else: the board is lost, and nothing read.
        cv::Mat elsewhere(before.size(), CV_8UC3);
        rng.fill(elsewhere, cv::RNG::UNIFORM, 0, 255);
        const MoveReading lost = RecognizeMove(before, elsewhere, start, CornersSeenBy(camera));
        QVERIFY(lost.uncertain && lost.sight == BoardSight::Lost);
        // Pictures that cannot be compared, and corners that make no board.
        QVERIFY(RecognizeMove(before, cv::Mat(), start, CornersSeenBy(camera)).uncertain);
        const BoardCorners point{{cv::Point2d(0.5, 0.5), {0.5, 0.5}, {0.5, 0.5}, {0.5, 0.5}}};
        QVERIFY(RecognizeMove(before, before, start, point).uncertain);
    }
};

QTEST_GUILESS_MAIN(TestRecognition)
#include "tst_recognition.moc"
