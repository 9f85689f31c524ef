// Move recognition on rendered games with known moves: the share of plies recognised, for each viewpoint
// with the corners given, how many wrong moves went unmarked (there must be none), and the time per
// picture at two camera resolutions.
#include "BoardScene.h"
#include "MoveRecognizer.h"
#include "Notation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {
struct Tally {
    int plies = 0, right = 0, uncertain = 0, silentlyWrong = 0;
    std::vector<double> milliseconds;
};

Tally Run(Viewpoint viewpoint, cv::Size size)
{
    const SceneCamera camera = MakeSceneCamera(viewpoint, size);
    const BoardCorners corners = CornersSeenBy(camera);
    cv::RNG rng(2026);
    Tally t;
    for (const SceneGame& game : SceneGames()) {
        Position p = Position::Start();
        cv::Mat before = RenderBoard(p, camera, RandomLight(rng), rng);
        for (const std::string& san : game.moves) {
            const Move played = *ParseSan(p, san);
            const cv::Mat after = RenderBoard(p.play(played), camera, RandomLight(rng), rng);
            const auto start = std::chrono::steady_clock::now();
            const MoveReading reading = RecognizeMove(before, after, p, corners);
            t.milliseconds.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            const bool right = reading.candidates[0].move == played;
            ++t.plies;
            t.right += right;
            t.uncertain += reading.uncertain;
            t.silentlyWrong += !right && !reading.uncertain;
            if (!right || reading.uncertain)
                std::printf("  %s %s: read %s%s\n", game.name.c_str(), san.c_str(),
                            ToSan(p, reading.candidates[0].move).c_str(),
                            reading.uncertain ? ", marked uncertain" : "");
            p = p.play(played);
            before = after;
        }
    }
    std::sort(t.milliseconds.begin(), t.milliseconds.end());
    return t;
}
} // namespace

int main()
{
    int failures = 0;
    for (const cv::Size size : {cv::Size(640, 480), cv::Size(1600, 1200)}) {
        for (const Viewpoint viewpoint : {Viewpoint::Overhead, Viewpoint::Side}) {
            const char* name = viewpoint == Viewpoint::Overhead ? "overhead" : "side, 45 degrees";
            const Tally t = Run(viewpoint, size);
            const double share = 100.0 * t.right / t.plies;
            const double median = t.milliseconds[t.milliseconds.size() / 2], worst = t.milliseconds.back();
            std::printf("recognition %s, %d x %d, corners given: %d of %d plies right (%.1f%%), %d marked "
                        "uncertain, %d wrong and unmarked; %.1f ms per picture (median), %.1f ms worst\n",
                        name, size.width, size.height, t.right, t.plies, share, t.uncertain, t.silentlyWrong,
                        median, worst);
            std::printf(
                "row: plies recognised, %s, %d x %d, corners given | %.1f %% (%d wrong unmarked) | at "
                "least 99 %%, none unmarked | | |\n",
                name, size.width, size.height, share, t.silentlyWrong);
            std::printf("row: recognition time per picture, %s, %d x %d (median / worst) | %.1f / %.1f ms | "
                        "%s | | |\n",
                        name, size.width, size.height, median, worst,
                        size.width == 640 ? "at most 50 ms" : "");
            failures += t.silentlyWrong > 0 || share < 99.0;
        }
    }
    return failures == 0 ? 0 : 1;
}
