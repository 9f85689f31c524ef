#include "Pictures.h"
#include "VideoAssembler.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

namespace fs = std::filesystem;

namespace {
struct Video {
    int frames = 0;
    cv::Size size;
    double fps = 0;
    std::vector<int> greys; // the grey level of each frame, which tells its ply
};

/// Reads a video back frame by frame.
Video ReadBack(const fs::path& path)
{
    Video v;
    cv::VideoCapture capture(path.string(), cv::CAP_FFMPEG);
    v.fps = capture.get(cv::CAP_PROP_FPS);
    cv::Mat frame;
    while (capture.read(frame)) {
        ++v.frames;
        v.size = frame.size();
        v.greys.push_back(frame.at<cv::Vec3b>(frame.rows / 2, frame.cols / 2)[0]);
    }
    return v;
}

/// ffmpeg decodes the whole file without a complaint.
bool DecodesCleanly(const fs::path& path)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-i", QString::fromStdString(path.string()), "-f", "null", "-"});
    if (!ffmpeg.waitForFinished(60000))
        return false;
    const QByteArray errors = ffmpeg.readAllStandardError();
    if (!errors.isEmpty())
        qWarning() << errors;
    return ffmpeg.exitCode() == 0 && errors.isEmpty();
}
} // namespace

class TestVideoAssembler : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_case = 0;
    fs::path NewFolder() { return fs::path(m_dir.path().toStdString()) / ("case" + std::to_string(++m_case)) / ""; }

private slots:
    void assemble_data()
    {
        QTest::addColumn<int>("plies");
        QTest::addColumn<QList<int>>("missing");
        QTest::addColumn<QList<int>>("progress");
        QTest::addColumn<int>("frames");
        QTest::newRow("5 plies") << 5 << QList<int>{} << QList<int>{250, 500, 750, 1000} << 4;
        QTest::newRow("2 plies") << 2 << QList<int>{} << QList<int>{1000} << 1;
        QTest::newRow("1 ply: no frame") << 1 << QList<int>{} << QList<int>{} << 0;
        QTest::newRow("0 plies: no frame") << 0 << QList<int>{} << QList<int>{} << 0;
        QTest::newRow("6 plies, ply 3 missing") << 6 << QList<int>{3} << QList<int>{200, 400} << 1;
        QTest::newRow("ply 2 missing") << 4 << QList<int>{2} << QList<int>{333} << 0;
    }
    void assemble()
    {
        QFETCH(int, plies);
        QFETCH(QList<int>, missing);
        QFETCH(int, frames);
        const fs::path folder = NewFolder();
        WriteGamePictures(folder, 1, std::max(plies, 1), {320, 240}, {missing.begin(), missing.end()});
        VideoAssembler assembler(folder.string(), 1, plies, 2.0);
        QCOMPARE(assembler.Open(), VideoAssembler::OpenResult::Ready);
        QList<int> progress;
        std::atomic<bool> stop{false};
        QCOMPARE(assembler.Assemble([&](int p) { progress << p; }, stop), frames);
        assembler.Finish();
        QTEST(progress, "progress");

        const Video video = ReadBack(folder / "output.avi");
        QCOMPARE(video.frames, frames);
        if (frames > 0) {
            QCOMPARE(video.size, cv::Size(320, 240));
            QCOMPARE(video.fps, 2.0);
            QVERIFY(std::abs(video.greys.front() - 40) <= 3); // the first frame is ply 2, not ply 1
            QVERIFY(DecodesCleanly(folder / "output.avi"));
        }
    }

    void firstPictureMissingTouchesNothing()
    {
        const fs::path folder = NewFolder();
        WriteGamePictures(folder, 3, 4, {320, 240}, {1});
        std::ofstream(folder / "output.avi") << "an older video";
        VideoAssembler assembler(folder.string(), 3, 4, 2.0);
        QCOMPARE(assembler.Open(), VideoAssembler::OpenResult::FirstPictureMissing);
        QCOMPARE(assembler.FirstPictureName(), std::string("game03move001a.jpg"));
        assembler.Finish();
        std::ifstream in(folder / "output.avi");
        std::string text;
        std::getline(in, text);
        QCOMPARE(text, std::string("an older video"));
    }

    void unreadablePicturesEndTheVideo_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not a JPEG") << QByteArray("plain text, no picture");
        QTest::newRow("empty file") << QByteArray();
    }

    void truncatedPictureStillMakesAFrame()
    {
        // A JPEG cut short decodes to what arrived; the video keeps all its frames.
        const fs::path folder = NewFolder();
        WriteGamePictures(folder, 1, 5);
        const fs::path cut = folder / FormatPictureName(1, 3);
        fs::resize_file(cut, fs::file_size(cut) / 2);
        VideoAssembler assembler(folder.string(), 1, 5, 2.0);
        QCOMPARE(assembler.Open(), VideoAssembler::OpenResult::Ready);
        std::atomic<bool> stop{false};
        const int frames = assembler.Assemble([](int) {}, stop);
        assembler.Finish();
        QCOMPARE(frames, 4); // decoded as far as it goes
        QCOMPARE(ReadBack(folder / "output.avi").frames, frames);
    }
    void unreadablePicturesEndTheVideo()
    {
        QFETCH(QByteArray, content);
        const fs::path folder = NewFolder();
        WriteGamePictures(folder, 1, 5);
        std::ofstream(folder / FormatPictureName(1, 4), std::ios::binary | std::ios::trunc)
            .write(content.constData(), content.size());
        VideoAssembler assembler(folder.string(), 1, 5, 2.0);
        QCOMPARE(assembler.Open(), VideoAssembler::OpenResult::Ready);
        std::atomic<bool> stop{false};
        QCOMPARE(assembler.Assemble([](int) {}, stop), 2);
        assembler.Finish();
        QCOMPARE(ReadBack(folder / "output.avi").frames, 2);
    }

    void sizeComesFromTheFirstPictureAndOthersAreFitted()
    {
        const fs::path folder = NewFolder();
        WriteGamePictures(folder, 2, 5, {320, 240});
        WriteGamePictures(folder / "big", 2, 5, {640, 480});
        fs::copy_file(folder / "big" / FormatPictureName(2, 3), folder / FormatPictureName(2, 3),
                      fs::copy_options::overwrite_existing);
        VideoAssembler assembler(folder.string(), 2, 5, 2.0);
        QCOMPARE(assembler.Open(), VideoAssembler::OpenResult::Ready);
        QCOMPARE(assembler.FrameSize(), cv::Size(320, 240));
        std::atomic<bool> stop{false};
        QCOMPARE(assembler.Assemble([](int) {}, stop), 4);
        assembler.Finish();
        const Video video = ReadBack(folder / "output.avi");
        QCOMPARE(video.frames, 4);
        QCOMPARE(video.size, cv::Size(320, 240));
    }

    void stopEndsAfterTheCurrentFrameWithAFinishedFile()
    {
        const fs::path folder = NewFolder();
        WriteGamePictures(folder, 1, 30);
        VideoAssembler assembler(folder.string(), 1, 30, 2.0);
        QCOMPARE(assembler.Open(), VideoAssembler::OpenResult::Ready);
        std::atomic<bool> stop{false};
        QList<int> progress;
        QCOMPARE(assembler.Assemble(
                     [&](int p) {
                         progress << p;
                         stop = progress.size() == 3;
                     },
                     stop),
                 3);
        assembler.Finish();
        QCOMPARE(ReadBack(folder / "output.avi").frames, 3);
        QVERIFY(DecodesCleanly(folder / "output.avi"));
    }

    void writerThatCannotOpenIsReported()
    {
        const fs::path folder = NewFolder();
        WriteGamePictures(folder, 1, 3);
        fs::create_directories(folder / "output.avi"); // a folder where the video should go
        VideoAssembler assembler(folder.string(), 1, 3, 2.0);
        QCOMPARE(assembler.Open(), VideoAssembler::OpenResult::WriterFailed);
        std::atomic<bool> stop{false};
        QCOMPARE(assembler.Assemble([](int) {}, stop), 0);
    }

    void nonAsciiFolder()
    {
        const fs::path folder = NewFolder() / u8"Partien für Zoë" / "";
        WriteGamePictures(folder, 1, 3);
        VideoAssembler assembler(reinterpret_cast<const char*>(folder.u8string().c_str()), 1, 3, 2.0);
        QCOMPARE(assembler.Open(), VideoAssembler::OpenResult::Ready);
        std::atomic<bool> stop{false};
        QCOMPARE(assembler.Assemble([](int) {}, stop), 2);
        assembler.Finish();
        QCOMPARE(ReadBack(folder / "output.avi").frames, 2);
    }
};

QTEST_GUILESS_MAIN(TestVideoAssembler)
#include "tst_videoassembler.moc"
