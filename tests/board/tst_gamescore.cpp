#include "BoardScene.h"
#include "GameScore.h"
#include "Notation.h"

#include <QtTest>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {
const cv::Size kSize(480, 360);

/// The pictures of a game from a start position, rendered from one viewpoint; `hidden` plies show the
/// position before them again, as a camera that missed the move would.
struct RenderedGame {
    Position start;
    std::vector<Move> moves;
    std::vector<cv::Mat> pictures;
    BoardCorners corners;

    RenderedGame(const Position& from, const std::vector<std::string>& sans, Viewpoint viewpoint)
        : start(from)
    {
        const SceneCamera camera = MakeSceneCamera(viewpoint, kSize);
        corners = CornersSeenBy(camera);
        cv::RNG rng(7);
        Position p = from;
        pictures.push_back(RenderBoard(p, camera, RandomLight(rng), rng));
        for (const std::string& san : sans) {
            moves.push_back(*ParseSan(p, san));
            p = p.play(moves.back());
            pictures.push_back(RenderBoard(p, camera, RandomLight(rng), rng));
        }
    }
    /// Plies from `written` on have no picture yet.
    PictureSource Source(const int& written) const
    {
        return [this, &written](int ply) {
            return ply >= written || ply >= int(pictures.size()) ? cv::Mat() : pictures[size_t(ply)];
        };
    }
    /// Each ply is the move played, or it is marked uncertain.
    static void VerifyNeverSilentlyWrong(const GameScore& score, const std::vector<Move>& moves)
    {
        for (size_t i = 0; i < score.Plies().size(); ++i)
            QVERIFY2(score.Plies()[i].move == moves[i] || score.Plies()[i].uncertain,
                     qPrintable(QStringLiteral("ply %1 silently wrong").arg(i + 1)));
    }
};
} // namespace

Q_DECLARE_METATYPE(Viewpoint)

/// A game's score read from its pictures: re-reading when a later picture contradicts an uncertain move,
/// the user's choice, and a missing picture.
class TestGameScore : public QObject {
    Q_OBJECT
private slots:
    void laterPictureSettlesAnUncertainPromotion_data()
    {
        QTest::addColumn<Viewpoint>("viewpoint");
        QTest::newRow("overhead") << Viewpoint::Overhead;
        QTest::newRow("side") << Viewpoint::Side;
    }
    void laterPictureSettlesAnUncertainPromotion()
    {
        // From above a knight's head and a queen's crown look much alike; the knight's next jump is no
        // queen's move, so that picture decides the promotion.
        QFETCH(Viewpoint, viewpoint);
        const RenderedGame game(*ParseFen("8/1P4k1/8/8/8/8/8/4K3 w - - 0 1"), {"b8=N", "Kf7", "Nc6", "Ke6"},
                                viewpoint);
        const int written = 99;
        GameScore score(game.corners, game.Source(written), game.start);
        QCOMPARE(score.ReadAll(), 4);
        for (size_t i = 0; i < game.moves.size(); ++i)
            QCOMPARE(ToSan(score.PositionAfter(int(i)), score.Plies()[i].move),
                     ToSan(score.PositionAfter(int(i)), game.moves[i]));
    }

    void aCoveredPlyIsSettledByTheNextPicture()
    {
        // An arm from the right covers e5 in the picture of 1... e5: e7 is seen emptied, where the pawn
        // went is not. The picture after 2. Nf3, compared with the one before the arm, settles it.
        RenderedGame game(Position::Start(), {"e4", "e5", "Nf3"}, Viewpoint::Overhead);
        const BoardView view(game.corners, kSize);
        const cv::Point2d e5 = view.project({4.5, 4.5, 0});
        cv::line(game.pictures[2], {kSize.width, int(e5.y)}, {int(e5.x) - 20, int(e5.y)},
                 cv::Scalar(90, 130, 200), 36);
        int written = 3;
        GameScore score(game.corners, game.Source(written), game.start);
        QCOMPARE(score.ReadAll(), 2);
        QVERIFY(score.Plies()[1].uncertain);
        QCOMPARE(score.Plies()[1].reading.sight, BoardSight::Covered);
        written = 99;
        QCOMPARE(score.ReadAll(), 1);
        QVERIFY(score.Plies()[1].move == game.moves[1] && !score.Plies()[1].uncertain);
        QVERIFY(score.Plies()[2].move == game.moves[2]);
    }

    void readsRealPictures_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("plies");
        // Leaning pieces, and hands and sleeves across the board in most pictures.
        QTest::newRow("grey board, straightened from the side") << "bgu-game4" << 7;
        QTest::newRow("wooden board") << "bgu-game5" << 20;
    }
    void readsRealPictures()
    {
        // Real frames of real games, cropped and straightened to the board: its corners are the picture's.
        QFETCH(QString, folder);
        QFETCH(int, plies);
        const QString dir = QFINDTESTDATA("real/" + folder);
        QFile expected(dir + "/expected.txt");
        QVERIFY(expected.open(QIODevice::ReadOnly));
        const QStringList sans = QString::fromUtf8(expected.readAll()).split('\n', Qt::SkipEmptyParts);
        std::vector<cv::Mat> pictures;
        for (int ply = 0; ply <= plies; ++ply)
            pictures.push_back(cv::imread(QStringLiteral("%1/game01move%2%3.jpg")
                                              .arg(dir)
                                              .arg((ply + 1) / 2, 3, 10, QChar('0'))
                                              .arg(ply % 2 ? 'a' : 'b')
                                              .toStdString()));
        GameScore score(*ParseBoardCorners("0,1,1,1,1,0,0,0"),
                        [&](int ply) { return ply <= plies ? pictures[size_t(ply)] : cv::Mat(); });
        QCOMPARE(score.ReadAll(), plies);
        for (int i = 0; i < plies; ++i)
            QCOMPARE(QString::fromStdString(ToSan(score.PositionAfter(i), score.Plies()[size_t(i)].move)),
                     sans[i].section(' ', 0, 0));
    }

    void choosingAMoveReadsTheLaterPicturesAgain()
    {
        const RenderedGame game(Position::Start(), {"e4", "e5", "Nf3", "Nc6", "Bb5"}, Viewpoint::Overhead);
        // As during a game: ply 4's picture is not written yet, and reading stops before it until it is.
        int written = 4;
        GameScore score(game.corners, game.Source(written), game.start);
        QCOMPARE(score.ReadAll(), 3);
        QVERIFY(!score.ReadNext());
        written = 99;
        QCOMPARE(score.ReadAll(), 2);
        RenderedGame::VerifyNeverSilentlyWrong(score, game.moves);
        QVERIFY(!score.Choose(2, game.moves[0])); // not legal for Black
        QVERIFY(!score.Choose(6, game.moves[0])); // no such ply yet
        // The user says ply 2 was d5: ply 3's picture is then read from the position after it.
        const Move d5 = *ParseSan(score.PositionAfter(1), "d5");
        QVERIFY(score.Choose(2, d5));
        QCOMPARE(int(score.Plies().size()), 5);
        QVERIFY(score.Plies()[1].move == d5 && score.Plies()[1].chosen && !score.Plies()[1].uncertain);
        QCOMPARE(score.PositionAfter(2), Position::Start().play(game.moves[0]).play(d5));
        // Choosing the played move again gives back the game as played.
        QVERIFY(score.Choose(2, game.moves[1]));
        QCOMPARE(int(score.Plies().size()), 5);
        for (size_t i = 2; i < 5; ++i)
            QVERIFY(score.Plies()[i].move == game.moves[i] || score.Plies()[i].uncertain);
    }
};

QTEST_GUILESS_MAIN(TestGameScore)
#include "tst_gamescore.moc"
