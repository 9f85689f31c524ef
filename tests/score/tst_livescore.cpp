#include "BoardScene.h"
#include "LiveScore.h"
#include "Notation.h"
#include "PictureNames.h"
#include <QtTest>

#include <fstream>
#include <opencv2/imgcodecs.hpp>

/// The game score kept during a game: pictures handed over as the writer finishes them, the last move
/// for the window, the user's choice, and a board that cannot be seen.
class TestLiveScore : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    std::string Folder() const { return m_dir.path().toStdString() + "/"; }
    QString Score(int game) const
    {
        QFile file(m_dir.filePath(QString::fromStdString(FormatScoreName(game))));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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
        QTRY_COMPARE(live.Last().text, QStringLiteral("2. Nf3"));
        QCOMPARE(live.Last().ply, 3);
        QVERIFY(Score(2).contains(QStringLiteral("1. e4 e5 2. Nf3 *")));
        // The user's choice for the last ply: the PGN says so, and no longer calls it uncertain.
        Position afterE5 = Position::Start();
        for (const char* san : {"e4", "e5"})
            afterE5 = afterE5.play(*ParseSan(afterE5, san));
        const Move nc3 = *ParseSan(afterE5, "Nc3");
        changed.clear();
        live.Choose(2, 3, nc3);
        QTRY_COMPARE(live.Last().text, QStringLiteral("2. Nc3"));
        QVERIFY(!live.Last().uncertain);
        QVERIFY(Score(2).contains(QStringLiteral("2. Nc3 {chosen by hand} *"))); // kept by a new reading
        // Corners shown during the game: it is read again from its start, as far as it had got.
        changed.clear();
        live.SetCorners(CornersSeenBy(camera));
        QVERIFY(changed.wait(5000));
        QCOMPARE(live.Last().text, QStringLiteral("2. Nf3"));
        live.SetFlag(2, Colour::Black);
        QTRY_VERIFY(Score(2).contains(QStringLiteral("{Black's flag fell} *")));
        changed.clear();
        live.Choose(1, 3, nc3); // another game's: nothing
        live.WaitUntilRead();
        QTest::qWait(50);
        QCOMPARE(changed.count(), 0);
    }

    void noBoardIsSaidAndNothingRead()
    {
        LiveScore live(Folder(), std::nullopt, "");
        QSignalSpy notice(&live, &LiveScore::notice);
        QVERIFY(cv::imwrite(Folder() + FormatPictureName(3, 0),
                            cv::Mat(240, 320, CV_8UC3, cv::Scalar::all(128))));
        live.PictureWritten(Folder() + FormatPictureName(3, 0));
        QVERIFY(notice.wait(5000));
        QVERIFY(notice.first().first().toString().contains(QStringLiteral("game03move000b.jpg")));
        QVERIFY(Score(3).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLiveScore)
#include "tst_livescore.moc"
