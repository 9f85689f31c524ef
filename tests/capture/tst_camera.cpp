#include "Camera.h"
#include "ClockEngine.h"
#include "ClockState.h"
#include "Fakes.h"
#include "PictureNames.h"
#include "PictureWriter.h"
#include "TestVideo.h"

#include <QTemporaryDir>
#include <QtTest>

#include <opencv2/imgcodecs.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <mutex>

namespace fs = std::filesystem;

namespace {
/// A preview that records what it is asked to do; a test can type a key into it.
class FakePreview final : public PreviewSink {
public:
    void OpenPreview() override { ++opens; }
    void ShowFrame(const cv::Mat& frame) override
    {
        ++frames;
        size = frame.size();
    }
    bool WaitForKey(std::chrono::milliseconds) override { return keyTyped; }
    void ClosePreview() override { ++closes; }

    int opens = 0, closes = 0, frames = 0;
    cv::Size size;
    bool keyTyped = false;
};

/// Collects the picture writer's reports.
struct Reports {
    std::mutex mutex;
    std::vector<std::pair<fs::path, std::string>> items;
    PictureWriter::Report callback()
    {
        return [this](const fs::path& p, const std::string& e) {
            std::lock_guard lock(mutex);
            items.emplace_back(p, e);
        };
    }
    int failures()
    {
        std::lock_guard lock(mutex);
        return static_cast<int>(std::count_if(items.begin(), items.end(), [](auto& i) { return !i.second.empty(); }));
    }
};

/// The engine with a real camera over a video file and a real picture writer.
struct CameraRig {
    std::shared_ptr<ClockState> state = std::make_shared<ClockState>();
    std::shared_ptr<FakeShiftKeys> keys = std::make_shared<FakeShiftKeys>();
    std::shared_ptr<FakeTicker> ticker = std::make_shared<FakeTicker>();
    std::shared_ptr<FakeWindow> window = std::make_shared<FakeWindow>();
    std::shared_ptr<FakePreview> preview = std::make_shared<FakePreview>();
    Reports reports;
    std::shared_ptr<PictureWriter> writer = std::make_shared<PictureWriter>(reports.callback());
    std::unique_ptr<ClockEngine> engine;

    CameraRig(const std::string& source, const std::string& folder)
    {
        CameraConfig config;
        config.source = source;
        config.folderUtf8 = folder;
        engine = std::make_unique<ClockEngine>(state, keys, ticker, window,
                                               std::make_shared<Camera>(config, preview, writer));
        window->takePictures = true;
    }
    bool step()
    {
        ticker->advance(10'000'000);
        return engine->Step();
    }
    /// A start press and the given number of switches.
    void play(int plies)
    {
        FakeShiftKeys::tap(keys->left);
        QVERIFY(step());
        for (int i = 0; i < plies; ++i) {
            FakeShiftKeys::tap(state->m_bLeftRunning ? keys->left : keys->right);
            QVERIFY(step());
        }
        writer->WaitUntilWritten();
    }
};

QStringList FilesIn(const fs::path& folder)
{
    QStringList names;
    for (const auto& entry : fs::directory_iterator(folder))
        names << QString::fromStdString(entry.path().filename().string());
    names.sort();
    return names;
}
} // namespace

class TestCamera : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::string m_video;

    std::string Folder(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)).toStdString() + "/"; }

private slots:
    void initTestCase()
    {
        m_video = m_dir.filePath(QStringLiteral("board.avi")).toStdString();
        QVERIFY(WriteTestVideo(m_video, 120));
    }

    void aGameLeavesOnePicturePerPly()
    {
        const std::string folder = Folder("Bilder Zoë/new"); // missing, non-ASCII: made at opening
        CameraRig rig(m_video, folder);
        QVERIFY(rig.step());
        QVERIFY(rig.engine->CameraOpen());
        QCOMPARE(rig.preview->opens, 1);
        rig.play(3);
        QCOMPARE(FilesIn(folder), (QStringList{"game01move001a.jpg", "game01move001b.jpg", "game01move002a.jpg"}));
        std::set<int> greys;
        for (int ply = 1; ply <= 3; ++ply) {
            const cv::Mat picture = cv::imread((fs::path(folder) / FormatPictureName(1, ply)).string());
            QCOMPARE(picture.cols, 320);
            QCOMPARE(picture.rows, 240);
            greys.insert(picture.at<cv::Vec3b>(5, 5)[0]);
        }
        QCOMPARE(greys.size(), size_t(3)); // each ply's own frame
        QCOMPARE(rig.reports.failures(), 0);
    }

    void aNewRunReplacesItsPlyNumbersAndLeavesHigherOnes()
    {
        const std::string folder = Folder("rerun");
        fs::create_directories(folder);
        const cv::Mat old(16, 16, CV_8UC3, cv::Scalar::all(200));
        for (int ply = 1; ply <= 10; ++ply)
            QVERIFY(cv::imwrite(folder + FormatPictureName(1, ply), old));
        CameraRig rig(m_video, folder);
        QVERIFY(rig.step());
        rig.play(4);
        for (int ply = 1; ply <= 10; ++ply)
            QCOMPARE(cv::imread(folder + FormatPictureName(1, ply)).cols, ply <= 4 ? 320 : 16);
        QCOMPARE(FilesIn(folder).size(), 10); // no temporary files left behind
    }

    void aSourceThatRunsOutStopsTheEngine()
    {
        const std::string shortVideo = m_dir.filePath(QStringLiteral("short.avi")).toStdString();
        QVERIFY(WriteTestVideo(shortVideo, 5));
        CameraRig rig(shortVideo, Folder("short"));
        rig.state->m_bThreadRun = true;
        ClockThreadProc(*rig.engine, std::chrono::milliseconds(0));
        QCOMPARE(rig.preview->frames, 5);
        QCOMPARE(rig.preview->closes, 1);
    }

    void aKeyInThePreviewStopsTheEngine()
    {
        CameraRig rig(m_video, Folder("key"));
        QVERIFY(rig.step());
        rig.preview->keyTyped = true;
        QVERIFY(!rig.step());
        rig.engine->End();
        QCOMPARE(rig.preview->closes, 1);
    }

    void noCamera_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("index");
        QTest::newRow("a file that is not there") << "/nonexistent/board.avi" << 0;
        QTest::newRow("a pipeline that cannot start") << "nosuchelement ! appsink" << 0;
        QTest::newRow("an index with no device") << "" << 97;
    }
    void noCamera()
    {
        QFETCH(QString, source);
        QFETCH(int, index);
        CameraConfig config;
        config.source = source.toStdString();
        config.index = index;
        auto preview = std::make_shared<FakePreview>();
        Camera camera(config, preview, std::make_shared<PictureWriter>());
        QVERIFY(!camera.OpenCamera());
        QCOMPARE(preview->opens, 0);
    }

    void anUnwritableFolderIsReportedAndPicturesResume()
    {
        // Runs as root in CI, where permission bits stop nothing: the folder runs through a regular file.
        const fs::path blocker = m_dir.filePath(QStringLiteral("blocker")).toStdString();
        std::ofstream(blocker) << "not a folder";
        const std::string folder = (blocker / "pics").string() + "/";
        CameraRig rig(m_video, folder);
        QVERIFY(rig.step());
        rig.play(2);
        QCOMPARE(rig.reports.failures(), 2);
        QVERIFY(!rig.reports.items.front().second.empty());
        QCOMPARE(rig.state->m_nPlies.load(), 2); // the game went on

        fs::remove(blocker);
        fs::create_directories(folder);
        FakeShiftKeys::tap(rig.state->m_bLeftRunning ? rig.keys->left : rig.keys->right);
        QVERIFY(rig.step());
        rig.writer->WaitUntilWritten();
        QCOMPARE(rig.reports.failures(), 2);
        QCOMPARE(FilesIn(folder), QStringList{"game01move002a.jpg"});
    }

    void theCameraVanishingMidGameKeepsWhatWasWritten()
    {
        const std::string shortVideo = m_dir.filePath(QStringLiteral("vanish.avi")).toStdString();
        QVERIFY(WriteTestVideo(shortVideo, 6));
        const std::string folder = Folder("vanish");
        CameraRig rig(shortVideo, folder);
        QVERIFY(rig.step()); // frame 1: the camera opens
        rig.play(3);         // frames 2 to 5
        QVERIFY(rig.step()); // frame 6
        QVERIFY(!rig.step()); // the source has nothing more: the engine ends
        rig.engine->End();
        rig.writer->WaitUntilWritten();
        QCOMPARE(rig.preview->closes, 1);
        QCOMPARE(FilesIn(folder), (QStringList{"game01move001a.jpg", "game01move001b.jpg", "game01move002a.jpg"}));
        for (const QString& name : FilesIn(folder))
            QCOMPARE(cv::imread(folder + name.toStdString()).cols, 320);
    }

    void aFullDiskIsReported()
    {
        // A full disk without mounting one: the picture's temporary file leads to /dev/full.
        const std::string folder = Folder("full");
        fs::create_directories(folder);
        const fs::path picture = folder + FormatPictureName(1, 1);
        fs::create_symlink("/dev/full", fs::path(picture.string() + ".part"));
        const std::string error = PictureWriter::WriteJpeg(picture, cv::Mat(240, 320, CV_8UC3, cv::Scalar::all(9)));
        QCOMPARE(QString::fromStdString(error), QString::fromStdString(std::strerror(ENOSPC)));
        QVERIFY(!fs::exists(picture));
        QVERIFY(!fs::is_symlink(fs::path(picture.string() + ".part")));
    }

    void theFolderVanishingMidGameAndComingBack()
    {
        const std::string folder = Folder("moved");
        CameraRig rig(m_video, folder);
        QVERIFY(rig.step());
        rig.play(2);
        fs::rename(folder, Folder("moved-away"));
        std::ofstream(Folder("moved").substr(0, folder.size() - 1)) << "in the way";
        FakeShiftKeys::tap(rig.state->m_bLeftRunning ? rig.keys->left : rig.keys->right);
        QVERIFY(rig.step());
        rig.writer->WaitUntilWritten();
        QCOMPARE(rig.reports.failures(), 1);
        fs::remove(folder.substr(0, folder.size() - 1));
        fs::rename(Folder("moved-away"), folder);
        FakeShiftKeys::tap(rig.state->m_bLeftRunning ? rig.keys->left : rig.keys->right);
        QVERIFY(rig.step());
        rig.writer->WaitUntilWritten();
        QCOMPARE(FilesIn(folder), (QStringList{"game01move001a.jpg", "game01move001b.jpg", "game01move002b.jpg"}));
    }

    void writerBlocksRatherThanDrops()
    {
        const fs::path folder = Folder("burst");
        fs::create_directories(folder);
        Reports reports;
        {
            PictureWriter writer(reports.callback(), 1);
            for (int i = 0; i < 30; ++i)
                writer.Submit(folder / ("p" + std::to_string(i) + ".jpg"), cv::Mat(480, 640, CV_8UC3, cv::Scalar::all(i)));
        } // the destructor writes what is still queued
        QCOMPARE(FilesIn(folder).size(), 30);
        QCOMPARE(reports.failures(), 0);
        QCOMPARE(cv::imread((folder / "p29.jpg").string()).rows, 480);
    }

    void writeJpegFailures()
    {
        QVERIFY(!PictureWriter::WriteJpeg(Folder("absent") + "x.jpg", cv::Mat(8, 8, CV_8UC3)).empty());
        QVERIFY(!PictureWriter::WriteJpeg(Folder("x.jpg"), cv::Mat()).empty());
    }
};

QTEST_GUILESS_MAIN(TestCamera)
#include "tst_camera.moc"
