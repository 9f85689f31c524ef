#include "Camera.h"
#include "ClockEngine.h"
#include "ClockRules.h"
#include "ClockState.h"
#include "Fakes.h"
#include "NullPreview.h"
#include "PictureNames.h"
#include "PictureWriter.h"
#include "TestVideo.h"

#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

/// The game's record beside its pictures, written by the picture writer and read back.
class TestGameRecord : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    /// Plays games of the given plies (each turn 2 s) with pictures; returns the folder's record of game.
    std::vector<PlyRecord> Play(const std::string& folder, const QList<int>& games, int game)
    {
        const std::string video = m_dir.filePath(QStringLiteral("board.avi")).toStdString();
        if (!QFile::exists(QString::fromStdString(video)))
            WriteTestVideo(video, 60);
        auto state = std::make_shared<ClockState>();
        auto keys = std::make_shared<FakeShiftKeys>();
        auto ticker = std::make_shared<FakeTicker>();
        auto window = std::make_shared<FakeWindow>();
        auto writer = std::make_shared<PictureWriter>();
        CameraConfig config{0, video, 320, 240, folder, true};
        ClockEngine engine(state, keys, ticker, window,
                           std::make_shared<Camera>(config, std::make_shared<NullPreview>(), writer));
        ApplyTimeControl(*state, MakeTimeControl("60+1", 0, 0), 60, 60);
        window->takePictures = true;
        engine.Step();
        for (int plies : games) {
            FakeShiftKeys::tap(keys->left);
            engine.Step();
            for (int i = 0; i < plies; ++i) {
                ticker->advance(2'000'000'000);
                engine.Step();
                FakeShiftKeys::tap(state->m_bLeftRunning ? keys->left : keys->right);
                engine.Step();
            }
            ResetClocks(*state);
        }
        writer->WaitUntilWritten();
        engine.End();
        std::ifstream in(folder + FormatRecordName(game));
        return ParseGameRecord(in);
    }

private slots:
    void onePlyALineWithItsPicture()
    {
        const std::string folder = m_dir.filePath(QStringLiteral("record")).toStdString() + "/";
        const std::vector<PlyRecord> record = Play(folder, {3, 2}, 1); // game 2 leaves game 1's alone
        QCOMPARE(int(record.size()), 3);
        for (const PlyRecord& r : record) {
            QCOMPARE(r.picture, FormatPictureName(1, r.ply));
            QCOMPARE(r.leftMoved, r.ply == 2); // White is the right player, started by Black's left key
            QCOMPARE(r.used, 2.0);
        }
        QCOMPARE(record[2].rightTime, 60.0 - 2 + 1 - 2 + 1);
        QCOMPARE(record[2].leftTime, 60.0 - 2 + 1);
        QCOMPARE(int(Play(folder, {1}, 1).size()), 1); // a new run starts game 1's record afresh
    }
};

QTEST_GUILESS_MAIN(TestGameRecord)
#include "tst_gamerecord.moc"
