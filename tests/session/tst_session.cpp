#include "BoardScene.h"
#include "Camera.h"
#include "Cases.h"
#include "ClockState.h"
#include "Fakes.h"
#include "GameSession.h"
#include "Notation.h"
#include "PictureNames.h"
#include "PictureWriter.h"
#include "ReadFile.h"
#include "SettingsFile.h"

#include <QtTest>

#include <atomic>

namespace {
/// A camera before a board whose position the test sets: each picture is the board rendered as it stands,
/// handed to the session's picture writer like a webcam's.
class BoardCamera final : public EngineCamera {
public:
    BoardCamera(CameraConfig config, std::shared_ptr<PictureWriter> writer, const Position* position,
                std::atomic<int>* taken)
        : m_config(std::move(config)), m_writer(std::move(writer)), m_position(position), m_taken(taken)
    {}
    bool OpenCamera() override { return std::filesystem::create_directories(m_config.folderUtf8); }
    bool ShowPreviewFrame() override { return true; }
    void SaveStartPicture(int game) override { SaveMovePicture(game, 0); }
    void SaveMovePicture(int game, int ply) override
    {
        cv::RNG rng(ply);
        m_writer->Submit(ToNarrowPath(m_config.folderUtf8, FormatPictureName(game, ply)),
                         RenderBoard(*m_position, Camera(), RandomLight(rng), rng));
        ++*m_taken; // the engine counts a ply before its picture: the test waits for this to move the board
    }
    void CloseCamera() override {}
    static SceneCamera Camera() { return MakeSceneCamera(Viewpoint::Overhead, {480, 360}); }

private:
    CameraConfig m_config;
    std::shared_ptr<PictureWriter> m_writer;
    const Position* m_position;
    std::atomic<int>* m_taken;
};
} // namespace

/// The game session without a window: when a changed setting takes effect, and where a game's pictures
/// and score go when the folder changes during it.
class TestSession : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::shared_ptr<FakeShiftKeys> m_keys = std::make_shared<FakeShiftKeys>();
    std::shared_ptr<FakeTicker> m_ticker = std::make_shared<FakeTicker>();
    std::vector<CameraConfig> m_cameras; // every camera made, as the session configured it
    std::atomic<int> m_taken{0};         // pictures the cameras have rendered

    std::unique_ptr<GameSession> Make(const QString& name, const QMap<QString, QString>& values,
                                      const Position* board = nullptr)
    {
        const QString file = m_dir.filePath(name + ".conf");
        WriteSettingsFile(file, values);
        m_cameras.clear();
        auto session = std::make_unique<GameSession>(SessionSeams{
            m_keys, m_ticker, std::make_shared<SettingsStore>(file),
            [this, board](const CameraConfig& config, std::shared_ptr<PreviewSink>,
                          std::shared_ptr<PictureWriter> writer) {
                m_cameras.push_back(config);
                return std::make_shared<BoardCamera>(config, writer, board ? board : &m_start, &m_taken);
            }});
        session->Start();
        return session;
    }
    /// Taps a key and waits until the engine has counted the plies given and the camera has taken the
    /// picture, so that the board may change after it.
    void Tap(GameSession& s, FakeShiftKeys::Key& key, int plies)
    {
        const int before = m_taken;
        FakeShiftKeys::tap(key);
        QTRY_COMPARE(s.Clock().m_nPlies.load(), plies);
        QTRY_VERIFY(m_taken > before);
    }
    const Position m_start = Position::Start();

private slots:
    void okKeepsWhatDidNotChange_data() { ORVELLE_CASES("session.cases", "apply"); }
    void okKeepsWhatDidNotChange()
    {
        auto session = Make(QTest::currentDataTag(), {{"TIME_CONTROL", Cell("control")}});
        for (int i = 0; i < IntCell("arrows"); ++i)
            QVERIFY(session->Spin(true, -1, 60) && session->Spin(false, -1, 60));
        Settings chosen = session->Current();
        if (IntCell("ltime") > 0)
            chosen.m_fLeftPreset = IntCell("ltime");
        session->ApplySettings(chosen);
        QCOMPARE(session->Current().m_fLeftPreset, IntCell("ltime") > 0 ? RealCell("ltime") : 300.0);
        const ClockState& c = session->Clock();
        for (int round = 0; round < 2; ++round, session->Reset()) {
            QCOMPARE(c.m_fLeftTime.load(), RealCell("left"));
            QCOMPARE(c.m_fRightTime.load(), RealCell("right"));
        }
    }

    void camerasAndControlsFromTheSettings()
    {
        auto session = Make("cameras", {{"RESOLUTION_REF", "3"},
                                        {"CAM_REF", "2"},
                                        {"CAM_URL", "rtsp://cam"},
                                        {"TIME_CONTROL", "3+2min"}});
        QSignalSpy notices(session.get(), &GameSession::notice);
        QCOMPARE(m_cameras.size(), size_t(1));
        const CameraConfig& first = m_cameras.front();
        QVERIFY(first.width == 1024 && first.height == 768 && first.index == 2 &&
                first.source == "rtsp://cam" && first.keepRecord && first.startPicture);
        // TIME_CONTROL that does not parse is said, once the window listens.
        QVERIFY(notices.wait(2000) && notices.first().first().toString().contains("3+2min"));

        Settings chosen = session->Current();
        chosen.m_nResolution = 320240;
        chosen.m_strDir = m_dir.filePath("elsewhere/");
        chosen.m_strCamUrl = "rtsp://other";
        session->ApplySettings(chosen);
        QCOMPARE(m_cameras.size(), size_t(2)); // for the next game
        QVERIFY(m_cameras.back().width == 320 && m_cameras.back().source == "rtsp://other" &&
                m_cameras.back().folderUtf8 == chosen.m_strDir.toStdString());

        QVERIFY(session->ChooseTimeControl("180+2").isEmpty());
        // Kept for the Settings dialog and the next start; its +2 is an increment.
        QVERIFY(session->Current().m_strTimeControl == "180+2" && session->Current().m_nDelayType == 1);
        QCOMPARE(session->ControlWords(), QStringLiteral("3 min + 2 s"));
        QCOMPARE(session->Clock().m_fLeftTime.load(), 180.0);
    }

    void aFlagIsNotedForItsSide()
    {
        // No BOARD: the board is found on the starting position, and the window is told where.
        auto session = Make("flag", {{"DIR", m_dir.filePath("flag/")}, {"LTIME", "20"}});
        GameSession& s = *session;
        QSignalSpy found(&s, &GameSession::boardFound);
        s.SetTakePictures(true);
        FakeShiftKeys::tap(m_keys->right); // the left clock runs: White plays on the left
        QTRY_VERIFY(!s.Clock().m_bArmed);
        QVERIFY(s.LeftIsWhite());
        QVERIFY(found.wait(30000)); // finding a board takes seconds under the sanitizers
        m_ticker->advance(30'000'000'000LL); // White's 20 s run out
        QTRY_COMPARE(s.Clock().m_nFirstFlag.load(), 1);
        s.WaitForScore();
        QTRY_VERIFY(ReadFile(m_dir.filePath("flag/game01.pgn")).contains("{White's flag fell}"));
    }

    void aGameEndsInTheFolderItStartedIn()
    {
        const QString first = m_dir.filePath("first/"), second = m_dir.filePath("second/");
        Position board = Position::Start();
        auto session = Make(
            "folders",
            {{"DIR", first},
             {"BOARD", QString::fromStdString(FormatBoardCorners(CornersSeenBy(BoardCamera::Camera())))}},
            &board);
        GameSession& s = *session;
        s.SetTakePictures(true);
        QVERIFY(s.Spin(true, -5, 60) && s.Spin(false, -5, 60)); // 10:00 each, with the arrows
        const auto play = [&](FakeShiftKeys::Key& key, const char* san, int plies) {
            board = board.play(*ParseSan(board, san));
            Tap(s, key, plies);
        };
        Tap(s, m_keys->left, 0); // Black starts White's clock, on the right; the start picture is taken
        QVERIFY(!s.LeftIsWhite());
        play(m_keys->right, "e4", 1);
        play(m_keys->left, "e5", 2);
        Settings chosen = s.Current();
        chosen.m_strDir = second;
        s.ApplySettings(chosen); // during the game: it finishes where it started
        play(m_keys->right, "Nf3", 3);
        s.Reset();
        board = Position::Start();
        Tap(s, m_keys->right, 0);
        play(m_keys->left, "d4", 1);
        s.WaitForScore();

        const QString score = QString::fromUtf8(ReadFile(first + "game01.pgn"));
        QVERIFY2(score.contains("1. e4 e5 2. Nf3 *"), qPrintable(score));
        QVERIFY2(score.contains("[TimeControl \"600\"]"), qPrintable(score)); // the clocks as set
        QVERIFY(QFile::exists(second + "game02move001a.jpg"));
        QVERIFY(!QFile::exists(first + "game02move001a.jpg") &&
                !QFile::exists(second + "game01move002a.jpg"));
        QTRY_VERIFY(ReadFile(second + "game02.pgn").contains("1. d4"));
        const BoardCorners clicked = CornersSeenBy(MakeSceneCamera(Viewpoint::Side, {480, 360}));
        QVERIFY(s.SetBoard(clicked).isEmpty()); // clicked corners are the board for the next games
        QCOMPARE(s.Current().m_strBoard, QString::fromStdString(FormatBoardCorners(clicked)));
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
