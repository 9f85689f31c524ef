// A club evening, compressed: six simulated hours of 20 games of 200 plies each, with the camera on
// (a real GStreamer capture of small frames), spins before each game, Reset after it and a video of
// every game. Every picture and every frame must be there, the clocks exact to 1 ms, and memory flat
// after the first game. Run under the address sanitizer, its leak check covers the whole evening.
#include "Camera.h"
#include "ClockEngine.h"
#include "ClockRules.h"
#include "ClockState.h"
#include "Fakes.h"
#include "NullPreview.h"
#include "PictureNames.h"
#include "PictureWriter.h"
#include "VideoAssembler.h"

#include <QTemporaryDir>
#include <QtTest>

#include <opencv2/videoio.hpp>

#include <fstream>
#include <random>
#include <unistd.h>

namespace {
long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}
} // namespace

class TestSoak : public QObject {
    Q_OBJECT
private slots:
    void clubEvening()
    {
        constexpr int kGames = 20, kPlies = 200, kPlainSteps = 2;
        constexpr std::int64_t kSixHoursNs = 6LL * 3600 * 1'000'000'000;
        constexpr std::int64_t kMeanStepNs = kSixHoursNs / (kGames * kPlies * (kPlainSteps + 1));

        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/pictures/";
        auto state = std::make_shared<ClockState>();
        auto keys = std::make_shared<FakeShiftKeys>();
        auto ticker = std::make_shared<FakeTicker>();
        auto window = std::make_shared<FakeWindow>();
        std::atomic<int> failures{0};
        auto writer = std::make_shared<PictureWriter>([&](const std::filesystem::path&, const std::string& e) {
            failures += e.empty() ? 0 : 1;
        });
        CameraConfig config;
        config.source = "videotestsrc pattern=ball ! video/x-raw,width=160,height=120 ! videoconvert ! appsink sync=false";
        config.folderUtf8 = folder;
        ClockEngine engine(state, keys, ticker, window,
                           std::make_shared<Camera>(config, std::make_shared<NullPreview>(), writer));
        window->takePictures = true;
        engine.Step();
        QVERIFY2(engine.CameraOpen(), "GStreamer's videotestsrc is needed (gstreamer1.0-plugins-base)");

        std::mt19937 random(2026);
        std::uniform_int_distribution<std::int64_t> jitter(kMeanStepNs / 2, kMeanStepNs * 3 / 2);
        std::uniform_int_distribution<int> spin(-3, 3);
        long memoryAfterFirstGame = 0;
        const std::int64_t begin = ticker->NowNs();
        double worstError = 0;

        for (int game = 1; game <= kGames; ++game) {
            // The players set the clocks, then Black starts White's clock.
            SpinClock(state->m_fLeftTime, state->m_fLeftPreset, spin(random), 60);
            SpinClock(state->m_fRightTime, state->m_fRightPreset, spin(random), 1);
            const double start[2] = {state->m_fLeftTime, state->m_fRightTime};
            std::int64_t spent[2] = {0, 0};
            FakeShiftKeys::tap(keys->left);
            ticker->advance(jitter(random));
            engine.Step();
            QCOMPARE(state->m_nGame.load(), game);

            for (int ply = 1; ply <= kPlies; ++ply) {
                for (int i = 0; i < kPlainSteps; ++i) {
                    const std::int64_t ns = jitter(random);
                    spent[state->m_bLeftRunning ? 0 : 1] += ns;
                    ticker->advance(ns);
                    engine.Step();
                }
                const std::int64_t ns = jitter(random);
                spent[state->m_bLeftRunning ? 1 : 0] += ns; // a switching step is charged to the side that starts
                FakeShiftKeys::tap(state->m_bLeftRunning ? keys->left : keys->right);
                ticker->advance(ns);
                engine.Step();
            }
            QCOMPARE(state->m_nPlies.load(), kPlies);
            for (int side = 0; side < 2; ++side) {
                const double time = side == 0 ? state->m_fLeftTime.load() : state->m_fRightTime.load();
                worstError = std::max(worstError, std::abs(time - (start[side] - spent[side] / 1e9)));
            }
            ResetClocks(*state);

            // Make Video: after the writer has caught up, every ply's picture is a frame.
            writer->WaitUntilWritten();
            VideoAssembler video(folder, game, state->m_nLastGamePlies, 2.0);
            QCOMPARE(video.Open(), VideoAssembler::OpenResult::Ready);
            std::atomic<bool> stop{false};
            QCOMPARE(video.Assemble([](int) {}, stop), kPlies);
            video.Finish();
            std::filesystem::rename(video.VideoPath(), folder + "game" + std::to_string(game) + ".avi");
            if (game == 1)
                memoryAfterFirstGame = ResidentKiB();
        }
        engine.End();

        QCOMPARE(failures.load(), 0);
        for (int game = 1; game <= kGames; ++game)
            for (int ply = 1; ply <= kPlies; ++ply)
                QVERIFY2(std::filesystem::exists(folder + FormatPictureName(game, ply)), FormatPictureName(game, ply).c_str());
        cv::VideoCapture last(folder + "game20.avi", cv::CAP_FFMPEG);
        int frames = 0;
        for (cv::Mat frame; last.read(frame);)
            ++frames;
        QCOMPARE(frames, kPlies);

        const long growth = ResidentKiB() - memoryAfterFirstGame;
        qInfo("soak: %.1f h simulated, worst clock error %.3g s, resident memory %+ld KiB after the first game",
              (ticker->NowNs() - begin) / 3.6e12, worstError, growth);
        QVERIFY2(worstError < 0.001, qPrintable(QString::number(worstError)));
#ifndef __SANITIZE_ADDRESS__ // the address sanitizer holds freed memory back on purpose; its leak check stands in
        QVERIFY2(growth < 16 * 1024, qPrintable(QString::number(growth)));
#endif
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
