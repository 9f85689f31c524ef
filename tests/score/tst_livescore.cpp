#include "BoardScene.h"
#include "LiveScore.h"
#include "Notation.h"
#include "PictureNames.h"
#include "ReadFile.h"
#include <QtTest>

#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

// Each picture is compared with the ones on either side to see hands go: under the sanitizers a ply
// takes seconds to read.
constexpr int kReading = 30000;

/// The game score kept during a game: pictures handed over as the writer finishes them, the last move
/// for the window, the user's choice, and a board that cannot be seen.
class TestLiveScore : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    std::string Folder() const { return m_dir.path().toStdString() + "/"; }
    QString Score(int game) const
    {
        return QString::fromUtf8(ReadFile(m_dir.filePath(QString::fromStdString(FormatScoreName(game)))));
    }

private slots:
    void movesAsThePicturesComeAndTheUsersChoice()
    {
        const SceneCamera camera = MakeSceneCamera(Viewpoint::Overhead, {480, 360});
        cv::RNG rng(5);
        Position p = Position::Start();
        LiveScore live(Folder(), CornersSeenBy(camera), "300");
        QSignalSpy changed(&live, &LiveScore::changed);
        const std::vector<std::string> moves{"e4", "e5", "Nf3"};
        // An earlier run's game 2 was longer: its ply 4 is still in the folder, and is not this game's.
        QVERIFY(
            cv::imwrite(Folder() + FormatPictureName(2, 4), RenderBoard(p, camera, RandomLight(rng), rng)));
        for (int ply = 0; ply <= int(moves.size()); ++ply) {
            if (ply > 0)
                p = p.play(*ParseSan(p, moves[size_t(ply - 1)]));
            const std::string name = FormatPictureName(2, ply);
            QVERIFY(cv::imwrite(Folder() + name, RenderBoard(p, camera, RandomLight(rng), rng)));
            live.PictureWritten(Folder() + name);
        }
        live.PictureWritten(Folder() + FormatRecordName(2)); // not a picture: nothing to read
        QTRY_COMPARE_WITH_TIMEOUT(live.Last().text, QStringLiteral("2. Nf3"), kReading);
        QCOMPARE(live.Last().ply, 3);
        QVERIFY(Score(2).contains(QStringLiteral("1. e4 e5 2. Nf3 *")));
        // The user's choice for the last ply: the PGN says so, and no longer calls it uncertain.
        Position afterE5 = Position::Start();
        for (const char* san : {"e4", "e5"})
            afterE5 = afterE5.play(*ParseSan(afterE5, san));
        const Move nc3 = *ParseSan(afterE5, "Nc3");
        changed.clear();
        live.Choose(2, 3, nc3);
        QTRY_COMPARE_WITH_TIMEOUT(live.Last().text, QStringLiteral("2. Nc3"), kReading);
        QVERIFY(!live.Last().uncertain);
        QVERIFY(Score(2).contains(QStringLiteral("2. Nc3 {chosen by hand} *"))); // kept by a new reading
        // Corners shown during the game: it is read again from its start, as far as it had got.
        changed.clear();
        live.SetCorners(CornersSeenBy(camera));
        QVERIFY(changed.wait(kReading));
        QCOMPARE(live.Last().text, QStringLiteral("2. Nf3"));
        live.SetFlag(2, Colour::Black);
        QTRY_VERIFY_WITH_TIMEOUT(Score(2).contains(QStringLiteral("{Black's flag fell} *")), kReading);
        changed.clear();
        live.Choose(1, 3, nc3); // another game's: nothing
        live.WaitUntilRead();
        QTest::qWait(50);
        QCOMPARE(changed.count(), 0);
    }

    void aMovedCameraAndACoveredBoardAreSaid()
    {
        // From the second ply on, the camera is turned a little about its axis and shifted; the fourth
        // picture has an arm reaching in from the right.
        const SceneCamera camera = MakeSceneCamera(Viewpoint::Overhead, {480, 360});
        cv::Mat turn = cv::getRotationMatrix2D({240, 180}, 1.5, 1.0);
        turn.at<double>(0, 2) += 7;
        turn.at<double>(1, 2) -= 5;
        cv::RNG rng(9);
        LiveScore live(Folder(), CornersSeenBy(camera), "");
        QStringList notices;
        std::optional<BoardCorners> moved;
        connect(&live, &LiveScore::notice, this, [&](const QString& text) { notices << text; });
        connect(&live, &LiveScore::boardMoved, this, [&](const BoardCorners& corners) { moved = corners; });
        Position p = Position::Start();
        const std::vector<std::string> moves{"e4", "e5", "Nf3", "Nc6"};
        for (int ply = 0; ply <= 4; ++ply) {
            if (ply > 0)
                p = p.play(*ParseSan(p, moves[size_t(ply - 1)]));
            cv::Mat picture = RenderBoard(p, camera, {}, rng);
            if (ply >= 2)
                cv::warpAffine(picture, picture, turn, picture.size(), cv::INTER_LINEAR,
                               cv::BORDER_REPLICATE);
            if (ply == 4)
                cv::line(picture, {480, 120}, {330, 130}, cv::Scalar(90, 130, 200), 40);
            QVERIFY(cv::imwrite(Folder() + FormatPictureName(4, ply), picture));
            live.PictureWritten(Folder() + FormatPictureName(4, ply));
        }
        QTRY_COMPARE_WITH_TIMEOUT(live.Last().ply, 4, kReading);
        QTRY_VERIFY_WITH_TIMEOUT(moved.has_value(), kReading);
        for (int i = 0; i < 4; ++i) {
            const cv::Point2d truth = CornersSeenBy(camera).points[size_t(i)];
            const cv::Vec2d there = cv::Matx23d(turn) * cv::Vec3d(truth.x * 480, truth.y * 360, 1);
            QVERIFY(cv::norm(cv::Point2d(there[0] / 480, there[1] / 360) - moved->points[size_t(i)]) < 0.005);
        }
        QTRY_VERIFY_WITH_TIMEOUT(notices.filter(QStringLiteral("The camera moved before game04move001b.jpg")).size() == 1, kReading);
        QTRY_VERIFY_WITH_TIMEOUT(notices.filter(QStringLiteral("partly covered on game04move002b.jpg")).size() == 1, kReading);
        QVERIFY(notices.filter(QStringLiteral("partly covered on game04move002a.jpg")).isEmpty());
        QVERIFY(Score(4).contains(QStringLiteral("1. e4 e5 2. Nf3")));
    }

    void noBoardIsSaidAndNothingRead()
    {
        LiveScore live(Folder(), std::nullopt, "");
        QSignalSpy notice(&live, &LiveScore::notice);
        QVERIFY(cv::imwrite(Folder() + FormatPictureName(3, 0),
                            cv::Mat(240, 320, CV_8UC3, cv::Scalar::all(128))));
        live.PictureWritten(Folder() + FormatPictureName(3, 0));
        QVERIFY(notice.wait(kReading));
        QVERIFY(notice.first().first().toString().contains(QStringLiteral("game03move000b.jpg")));
        QVERIFY(Score(3).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLiveScore)
#include "tst_livescore.moc"
