#include "Cases.h"
#include "Pictures.h"
#include "ReadFile.h"
#include "VideoAssembler.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <opencv2/videoio.hpp>

namespace fs = std::filesystem;

namespace {
/// Runs ffmpeg and returns what it printed on stderr.
QByteArray Ffmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", QStringList{"-v", "error"} + arguments);
    ffmpeg.waitForFinished(60000);
    return ffmpeg.readAllStandardError() + (ffmpeg.exitCode() == 0 ? "" : "exit code");
}

QString SrtTime(int ms)
{
    return QTime(0, 0).addMSecs(ms).toString("hh:mm:ss,zzz");
}
} // namespace

class TestVideoAssembler : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_case = 0;
    // A colon and letters beyond ASCII, which neither the muxer nor the file system may trip over.
    fs::path NewFolder()
    {
        return fs::path(m_dir.path().toStdString()) / (u8"Zoë: " + std::u8string(1, u8'a' + m_case++)) / "";
    }
    static std::string Utf8(const fs::path& p) { return reinterpret_cast<const char*>(p.u8string().c_str()); }

private slots:
    void framesAreThePictures_data() { ORVELLE_CASES("videoassembler.cases", "frames"); }
    void framesAreThePictures()
    {
        const int plies = IntCell("plies"), frames = IntCell("frames");
        const QString damage = Cell("damage");
        const fs::path folder = NewFolder();
        WriteGamePictures(folder, 1, std::max(plies, 1));
        std::ofstream(folder / FormatRecordName(1))
            << GameRecordHeader() << "\n"
            << FormatGameRecordLine({2, false, 3.0, 295.0, 297.0, {}}) << "\n";
        const fs::path three = folder / FormatPictureName(1, 3);
        if (damage == "missing")
            fs::remove(three);
        else if (damage == "cut")
            fs::resize_file(three, fs::file_size(three) - 3);
        else if (damage == "text")
            std::ofstream(folder / FormatPictureName(1, 4)) << "plain text, no picture";
        else if (damage == "larger" || damage == "progressive")
            cv::imwrite(three.string(),
                        cv::Mat(damage == "larger" ? cv::Size(640, 480) : cv::Size(320, 240), CV_8UC3,
                                cv::Scalar::all(60)),
                        {cv::IMWRITE_JPEG_PROGRESSIVE, damage == "progressive"});
        VideoAssembler assembler(Utf8(folder), 1, plies, 2.0, damage == "clocks");
        QCOMPARE(assembler.Open(), VideoAssembler::OpenResult::Ready);
        QStringList progress;
        std::atomic<bool> stop{false};
        QCOMPARE(assembler.Assemble(
                     [&](int p) { stop = (progress << QString::number(p)).size() == 2 && damage == "stop"; },
                     stop),
                 frames);
        QCOMPARE(assembler.Finish(),
                 frames > 0 ? VideoAssembler::FinishResult::Replaced : VideoAssembler::FinishResult::KeptOld);
        QCOMPARE(progress.join(u' '), Cell("progress"));
        QVERIFY(!fs::exists(folder / "output.avi.part"));

        const QString video = QString::fromStdString((folder / "output.avi").string());
        if (frames > 0) { // a video without frames has no stream format for ffmpeg to tell
            QCOMPARE(Ffmpeg({"-i", video, "-f", "null", "-"}), QByteArray());
            QCOMPARE(cv::VideoCapture(video.toStdString(), cv::CAP_FFMPEG).get(cv::CAP_PROP_FPS), 2.0);
            QCOMPARE(Ffmpeg({"-i", video, "-c:v", "copy", "-f", "image2",
                             QString::fromStdString((folder / "%03d.x").string())}),
                     QByteArray());
        }
        cv::VideoCapture capture(video.toStdString(), cv::CAP_FFMPEG);
        cv::Mat frame;
        const QStringList cues = QString(ReadFile(folder / "output.srt")).split("\r\n\r\n");
        QCOMPARE(cues.size(), frames + 1); // the last cue's blank line ends the file
        for (int k = 0; k < frames; ++k) {
            QVERIFY(capture.read(frame));
            QCOMPARE(frame.size(), cv::Size(320, 240));
            const bool replaced = k + 1 == 3 && (damage == "larger" || damage == "progressive");
            const bool redrawn = replaced || damage == "clocks";
            QVERIFY(std::abs(frame.at<cv::Vec3b>(120, 160)[0] - (replaced ? 60 : (k + 1) * 20)) < 4);
            if (k > 0) // ply 1's grey is the bar's own
                QCOMPARE(frame.at<cv::Vec3b>(239, 160)[0] < 30, damage == "clocks"); // the clocks' dark bar
            const QByteArray extracted = ReadFile(folder / QString::asprintf("%03d.x", k + 1).toStdString());
            QCOMPARE(extracted == ReadFile(folder / FormatPictureName(1, k + 1)), !redrawn);
            const QStringList cue = cues[k].split("\r\n");
            QCOMPARE(cue.mid(0, 2), (QStringList{QString::number(k + 1),
                                                 SrtTime(k * 500) + " --> " + SrtTime(k * 500 + 500)}));
            // Ply 2 is in the record (the right player, Black, pressed); the others are not.
            QCOMPARE(cue.mid(2), QStringList{k == 1 ? "Move 1, Black   White 04:55   Black 04:57"
                                                    : QString("Move %1, %2   Elapsed 00:00")
                                                          .arg((k + 2) / 2)
                                                          .arg(k % 2 ? "Black" : "White")});
        }
        QVERIFY(!capture.read(frame));
    }

    void olderVideoSurvives_data() { ORVELLE_CASES("videoassembler.cases", "older"); }
    void olderVideoSurvives()
    {
        const QString failure = Cell("failure");
        const int finish = IntCell("finish");
        const fs::path folder = NewFolder();
        WriteGamePictures(folder, 3, 4, {320, 240}, {failure == "first" ? 1 : 0});
        if (failure == "cut")
            fs::resize_file(folder / FormatPictureName(3, 1), 300);
        if (failure == "writer")
            fs::create_directory(folder / "output.avi.part");
        if (failure == "full")
            fs::create_symlink("/dev/full", folder / "output.avi.part");
        // A folder in the way of the rename, with the older video in it.
        const fs::path old = folder / (failure == "rename" ? "output.avi/old" : "output.avi");
        fs::create_directories(old.parent_path());
        std::ofstream(old) << "an older video";
        std::ofstream(folder / "output.srt") << "its subtitles";
        {
            VideoAssembler assembler(Utf8(folder), 3, 4, 2.0);
            QCOMPARE(int(assembler.Open()), IntCell("open"));
            const std::atomic<bool> stop{failure == "stop"};
            assembler.Assemble([](int) {}, stop);
            if (finish >= 0)
                QCOMPARE(int(assembler.Finish()), finish);
        }
        QCOMPARE(ReadFile(old), QByteArray("an older video"));
        QCOMPARE(ReadFile(folder / "output.srt"), QByteArray("its subtitles"));
        QVERIFY(!fs::exists(folder / "output.avi.part"));
    }
};

QTEST_GUILESS_MAIN(TestVideoAssembler)
#include "tst_videoassembler.moc"
