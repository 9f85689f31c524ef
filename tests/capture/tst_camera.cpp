#include "Camera.h"
#include "Cases.h"
#include "EngineRig.h"
#include "GameRecord.h"
#include "MediaPlugin.h"
#include "PictureNames.h"
#include "PictureWriter.h"
#include "TestVideo.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <mutex>
#include <opencv2/imgcodecs.hpp>
#include <set>

namespace fs = std::filesystem;

namespace {
/// A preview that counts what it is asked to do.
class CountingPreview final : public PreviewSink {
public:
    void OpenPreview() override { ++opens; }
    void ShowFrame(const cv::Mat&) override { ++frames; }
    bool WaitForKey(std::chrono::milliseconds) override { return false; }
    void ClosePreview() override { ++closes; }
    int opens = 0, closes = 0, frames = 0;
};

/// A counting preview and a real picture writer that counts failures, made before the engine they go to.
struct CameraParts {
    std::shared_ptr<CountingPreview> preview = std::make_shared<CountingPreview>();
    std::atomic<int> failures{0};
    std::shared_ptr<FakeTicker> time = std::make_shared<FakeTicker>();
    std::shared_ptr<PictureWriter> writer = std::make_shared<PictureWriter>(
        [this](const fs::path&, const std::string& error) { failures += !error.empty(); });
};

/// The engine with a real camera over a video file of 25 frames a second.
struct CameraRig : CameraParts, EngineRig {
    static constexpr std::int64_t kFrame = 40 * kMs;
    CameraRig(const std::string& source, const std::string& folder, bool keepRecord = false)
        : EngineRig(std::make_shared<Camera>(
                        CameraConfig{
                            .source = source, .folderUtf8 = folder, .keepRecord = keepRecord, .ticker = time},
                        preview, writer),
                    time)
    {
        window->takePictures = true;
        step(); // the camera opens
    }
    /// The given number of switches, with a start press first when the clocks wait, each on the
    /// file's next frame.
    void play(int plies)
    {
        for (int i = state->m_bArmed ? -1 : 0; i < plies; ++i) {
            step(kFrame);
            press();
        }
        writer->WaitUntilWritten();
    }
};

/// A camera over a real video file that refuses one size property, and like a V4L2 capture whose
/// format reset failed, gives no frame after that until it is opened again.
struct SizeRefusingCapture final : cv::VideoCapture {
    SizeRefusingCapture(std::string file, int refused) : file(std::move(file)), refused(refused) {}
    bool open(int, int) override
    {
        ++opens;
        broken = false;
        return cv::VideoCapture::open(file, cv::CAP_FFMPEG);
    }
    bool set(int property, double) override
    {
        broken = broken || property == refused;
        return property != refused;
    }
    bool read(cv::OutputArray frame) override { return !broken && cv::VideoCapture::read(frame); }
    std::string file;
    int refused, opens = 0;
    bool broken = false;
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

    std::string Folder(const char* name) const
    {
        return m_dir.filePath(QString::fromUtf8(name)).toStdString() + "/";
    }

private slots:
    void initTestCase()
    {
        m_video = m_dir.filePath(QStringLiteral("board.avi")).toStdString();
        QVERIFY(WriteTestVideo(m_video, 120));
    }

    void aGameReplacesItsPlyNumbersAndLeavesHigherOnes()
    {
        const std::string folder = Folder("Bilder Zoë");
        fs::create_directories(folder);
        for (int ply = 1; ply <= 6; ++ply)
            QVERIFY(cv::imwrite(folder + FormatPictureName(1, ply), cv::Mat(16, 16, CV_8UC3)));
        std::ofstream(folder + "game01.tsv") << GameRecordHeader() << "\n9\twhite\tleft\t1\t2\t3\told.jpg\n";
        CameraRig rig(m_video, folder, true);
        QCOMPARE(rig.preview->opens, 1);
        rig.play(4);
        std::set<int> greys;
        for (int ply = 1; ply <= 6; ++ply) {
            const cv::Mat picture = cv::imread(folder + FormatPictureName(1, ply));
            QCOMPARE(picture.cols, ply <= 4 ? 320 : 16);
            greys.insert(picture.at<cv::Vec3b>(5, 5)[0]);
        }
        QCOMPARE(greys.size(), size_t(5));   // each ply's own frame, and the old ones
        QVERIFY(FilesIn(folder).size() == 7 && rig.failures == 0); // and no temporary files left behind
        // The game's record starts afresh, one line per ply with its picture (the start was left's key).
        std::ifstream file(folder + "game01.tsv");
        const std::vector<PlyRecord> record = ParseGameRecord(file);
        QVERIFY(record.size() == 4 && !record[0].leftMoved && record[1].leftMoved);
        QCOMPARE(record[3].picture, FormatPictureName(1, 4));
    }

    void theCameraRunningOutKeepsWhatWasWritten()
    {
        const std::string shortVideo = m_dir.filePath(QStringLiteral("short.avi")).toStdString();
        QVERIFY(WriteTestVideo(shortVideo, 6));
        const std::string folder = Folder("short/made at opening");
        CameraRig rig(shortVideo, folder); // frame 1
        rig.play(3);                       // frames 2 to 5
        rig.step(rig.kFrame);              // frame 6
        rig.step(rig.kFrame);              // then nothing: the camera closes, and the clocks go on
        QVERIFY(rig.window->cameraClosings == 1 && rig.window->closedInGame);
        rig.press();
        rig.writer->WaitUntilWritten();
        QCOMPARE(rig.state->m_nPlies.load(), 4);
        QVERIFY(rig.preview->frames == 6 && rig.preview->closes == 1);
        QCOMPARE(FilesIn(folder),
                 (QStringList{"game01move001a.jpg", "game01move001b.jpg", "game01move002a.jpg"}));
    }

    void aFilePlaysAtItsOwnRateAndEndsQuietlyBetweenGames()
    {
        CameraRig rig(m_video, Folder("rate")); // 120 frames; the first is shown at the opening
        for (int i = 0; i < 100; ++i)           // a second in the clock loop's steps
            rig.step();
        QCOMPARE(rig.preview->frames, 26);
        for (int i = 0; i < 200 && rig.engine->CameraOpen(); ++i)
            rig.step(rig.kFrame);
        QVERIFY(rig.preview->frames == 120 && rig.window->cameraClosings == 1 && !rig.window->closedInGame);
    }

    void noCamera_data() { ORVELLE_CASES("camera.cases", "none"); }
    void noCamera()
    {
        CameraConfig config;
        config.source = Cell("source").toStdString();
        config.index = IntCell("index");
        auto preview = std::make_shared<CountingPreview>();
        Camera camera(config, preview, std::make_shared<PictureWriter>());
        QVERIFY(!camera.OpenCamera());
        QCOMPARE(preview->opens, 0);
        QVERIFY2(QString::fromStdString(camera.OpenError()).contains(Cell("reason")),
                 camera.OpenError().c_str());
    }

    void aFolderThatFailsIsReportedAndPicturesResume()
    {
        // Runs as root in CI, where permission bits stop nothing: the folder is replaced by a regular file,
        // either from the start or after it was moved away mid-game.
        for (const bool fromTheStart : {true, false}) {
            const std::string folder = Folder(fromTheStart ? "blocked" : "moved");
            const fs::path blocker = folder.substr(0, folder.size() - 1);
            if (fromTheStart)
                std::ofstream(blocker) << "in the way";
            CameraRig rig(m_video, folder);
            rig.play(2);
            if (!fromTheStart) {
                fs::rename(blocker, Folder("away"));
                std::ofstream(blocker) << "in the way";
            }
            rig.play(1);
            QCOMPARE(rig.failures.load(), fromTheStart ? 3 : 1);
            QCOMPARE(rig.state->m_nPlies.load(), 3); // the game went on
            fs::remove(blocker);
            if (fromTheStart)
                fs::create_directories(folder);
            else
                fs::rename(Folder("away"), blocker);
            rig.play(1);
            QCOMPARE(rig.failures.load(), fromTheStart ? 3 : 1);
            QCOMPARE(FilesIn(folder), fromTheStart ? QStringList{"game01move002b.jpg"}
                                                   : QStringList({"game01move001a.jpg", "game01move001b.jpg",
                                                                  "game01move002b.jpg"}));
        }
    }

    void aFullDiskIsReported()
    {
        // A full disk without mounting one: the picture's temporary file leads to /dev/full.
        const std::string folder = Folder("full");
        fs::create_directories(folder);
        const fs::path picture = folder + FormatPictureName(1, 1);
        fs::create_symlink("/dev/full", fs::path(picture.string() + ".part"));
        const std::string error =
            PictureWriter::WriteJpeg(picture, cv::Mat(240, 320, CV_8UC3, cv::Scalar::all(9)));
        QCOMPARE(QString::fromStdString(error), QString::fromStdString(std::strerror(ENOSPC)));
        QVERIFY(!fs::exists(picture));
        QVERIFY(!fs::is_symlink(fs::path(picture.string() + ".part")));
    }

    void writerBlocksRatherThanDrops()
    {
        const fs::path folder = Folder("burst");
        fs::create_directories(folder);
        std::atomic<int> written{0};
        {
            PictureWriter writer([&](const fs::path&, const std::string& e) { written += e.empty(); }, 1);
            for (int i = 0; i < 30; ++i)
                writer.Submit(folder / ("p" + std::to_string(i) + ".jpg"),
                              cv::Mat(480, 640, CV_8UC3, cv::Scalar::all(i)));
        } // the destructor writes what is still queued
        QCOMPARE(written.load(), 30);
        QCOMPARE(FilesIn(folder).size(), 30);
        QCOMPARE(cv::imread((folder / "p29.jpg").string()).rows, 480);
    }

    void refusedSizeStillGivesFrames_data() { ORVELLE_CASES("camera.cases", "size"); }
    void refusedSizeStillGivesFrames()
    {
        SizeRefusingCapture capture(m_video, IntCell("refused"));
        QVERIFY(OpenCameraAtSize(capture, 0, cv::CAP_ANY, 1600, 1200));
        cv::Mat frame;
        QVERIFY(capture.read(frame));
        QCOMPARE(capture.opens, IntCell("opens"));
    }
};

QTEST_GUILESS_MAIN(TestCamera)
#include "tst_camera.moc"
