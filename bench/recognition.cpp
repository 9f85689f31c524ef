// Move recognition on rendered games with known moves: the share of plies recognised, for each viewpoint
// with the corners given and with them found on the starting position, how many wrong moves went unmarked
// (there must be none), and the time per picture at two camera resolutions.
#include "BoardFinder.h"
#include "BoardScene.h"
#include "GameScore.h"
#include "MoveRecognizer.h"
#include "Notation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <set>
#include <vector>

namespace {
struct Tally {
    int plies = 0, right = 0, uncertain = 0, silentlyWrong = 0;
    // The same plies read as a game score, where a later picture can re-open an uncertain move.
    int scoreRight = 0, scoreSilentlyWrong = 0;
    std::vector<double> milliseconds;
    std::vector<double> cpuMilliseconds; // the process's CPU time: the machine may be shared
};

Tally Run(Viewpoint viewpoint, cv::Size size, bool findCorners)
{
    const SceneCamera camera = MakeSceneCamera(viewpoint, size);
    cv::RNG rng(2026);
    Tally t;
    for (const SceneGame& game : SceneGames()) {
        Position p = Position::Start();
        cv::Mat before = RenderBoard(p, camera, RandomLight(rng), rng);
        const auto start = std::chrono::steady_clock::now();
        const std::optional<BoardCorners> found =
            findCorners ? FindBoardCorners(before) : CornersSeenBy(camera);
        if (findCorners)
            std::printf(
                "  %s: corners searched for in %.0f ms\n", game.name.c_str(),
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (!found) {
            std::printf("  %s: no board found on the starting position\n", game.name.c_str());
            t.plies += int(game.moves.size());
            continue;
        }
        const BoardCorners corners = *found;
        std::vector<cv::Mat> pictures{before};
        std::vector<Move> moves;
        for (const std::string& san : game.moves) {
            const Move played = *ParseSan(p, san);
            const cv::Mat after = RenderBoard(p.play(played), camera, RandomLight(rng), rng);
            pictures.push_back(after);
            moves.push_back(played);
            const auto begin = std::chrono::steady_clock::now();
            const std::clock_t cpuBegin = std::clock();
            const MoveReading reading = RecognizeMove(before, after, p, corners);
            t.milliseconds.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count());
            t.cpuMilliseconds.push_back(1000.0 * double(std::clock() - cpuBegin) / CLOCKS_PER_SEC);
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
        GameScore score(corners, [&pictures](int ply) {
            return ply < int(pictures.size()) ? pictures[size_t(ply)] : cv::Mat();
        });
        score.ReadAll();
        for (size_t i = 0; i < moves.size(); ++i) {
            const bool right = i < score.Plies().size() && score.Plies()[i].move == moves[i];
            t.scoreRight += right;
            // After a wrong move the score goes on from its own position; a later move is right when it is
            // the same move (a wrong promotion taken back the same way, say).
            t.scoreSilentlyWrong += !right && i < score.Plies().size() && !score.Plies()[i].uncertain;
        }
    }
    for (std::vector<double>* times : {&t.milliseconds, &t.cpuMilliseconds}) {
        std::sort(times->begin(), times->end());
        if (times->empty())
            times->push_back(0);
    }
    return t;
}
/// Which kinds of move the rendered games hold: every kind must be there for the shares to mean much.
int KindsOfMove()
{
    std::set<std::string> seen;
    for (const SceneGame& game : SceneGames()) {
        Position p = Position::Start();
        for (const std::string& san : game.moves) {
            const Move m = *ParseSan(p, san);
            for (const char* mark : {"x", "O-O", "O-O-O", "=Q", "=N", "+", "#"})
                if (san.find(mark) != std::string::npos)
                    seen.insert(mark);
            if (p.at(m.from).type == PieceType::Pawn && m.to == p.enPassant())
                seen.insert("e.p.");
            p = p.play(m);
        }
    }
    std::string kinds;
    for (const std::string& k : seen)
        kinds += " " + k;
    std::printf("row: kinds of move in the rendered games |%s | all 8 | | |\n", kinds.c_str());
    return int(seen.size());
}
} // namespace

int main()
{
    int failures = KindsOfMove() != 8;
    struct Setup {
        cv::Size size;
        bool findCorners;
    };
    for (const Setup setup :
         {Setup{{640, 480}, false}, Setup{{1600, 1200}, false}, Setup{{640, 480}, true}}) {
        const cv::Size size = setup.size;
        const char* how = setup.findCorners ? "corners found" : "corners given";
        for (const Viewpoint viewpoint : {Viewpoint::Overhead, Viewpoint::Side}) {
            const char* name = viewpoint == Viewpoint::Overhead ? "overhead" : "side, 45 degrees";
            const Tally t = Run(viewpoint, size, setup.findCorners);
            const double share = 100.0 * t.right / t.plies;
            const double median = t.milliseconds[t.milliseconds.size() / 2], worst = t.milliseconds.back();
            const double cpu = t.cpuMilliseconds[t.cpuMilliseconds.size() / 2];
            const double target = setup.findCorners ? (viewpoint == Viewpoint::Overhead ? 97.0 : 0.0) : 99.0;
            std::printf("recognition %s, %d x %d, %s: %d of %d plies right (%.1f%%), %d marked uncertain, %d "
                        "wrong and unmarked; %.1f ms per picture (median; %.1f ms of CPU), %.1f ms worst\n",
                        name, size.width, size.height, how, t.right, t.plies, share, t.uncertain,
                        t.silentlyWrong, median, cpu, worst);
            std::printf("row: plies recognised, %s, %d x %d, %s | %.1f %% (%d wrong unmarked) | %s | | |\n",
                        name, size.width, size.height, how, share, t.silentlyWrong,
                        target > 0
                            ? (target > 98 ? "at least 99 %, none unmarked" : "at least 97 %, none unmarked")
                            : "none unmarked");
            if (!setup.findCorners)
                std::printf("row: recognition time per picture, %s, %d x %d (median / its CPU / worst) | "
                            "%.1f / %.1f / "
                            "%.1f ms | %s | | |\n",
                            name, size.width, size.height, median, cpu, worst,
                            size.width == 640 ? "at most 50 ms" : "");
            const double scoreShare = 100.0 * t.scoreRight / t.plies;
            std::printf("row: plies right in the game score, %s, %d x %d, %s | %.1f %% (%d wrong unmarked) | "
                        "none unmarked | | |\n",
                        name, size.width, size.height, how, scoreShare, t.scoreSilentlyWrong);
            failures += t.silentlyWrong > 0 || share < target || t.scoreSilentlyWrong > 0;
        }
    }
    return failures == 0 ? 0 : 1;
}
