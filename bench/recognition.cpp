// Move recognition on rendered games with known moves.
//   bench_recognition [CONDITION...]
// First today's flat drawings (BoardScene.h): the share of plies recognised, overhead and from the side,
// with the corners given and found. Then the photo-like games (PhotoScene.h), per condition and view,
// each read as `orvelle --pgn` reads it (GameScore, from the starting corners, given or found): plies
// right, wrong but marked uncertain, wrong without a mark, and the time per picture. CONDITION names
// limit the run to those rows (flat, kind, vinyl, sets, offcentre, light, nudge, hands, club).
// Rendering the photo-like games takes long the first time; they are cached (PhotoScene.h).
#include "BoardFinder.h"
#include "BoardScene.h"
#include "GameScore.h"
#include "MoveRecognizer.h"
#include "Notation.h"
#include "PhotoScene.h"
#include "SetModel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <set>
#include <vector>

namespace {
struct Tally {
    int plies = 0, right = 0, uncertain = 0, silentlyWrong = 0;
    std::vector<double> milliseconds;
    void Add(const Tally& t)
    {
        plies += t.plies, right += t.right, uncertain += t.uncertain, silentlyWrong += t.silentlyWrong;
        milliseconds.insert(milliseconds.end(), t.milliseconds.begin(), t.milliseconds.end());
    }
    double Percentile(double share)
    {
        std::sort(milliseconds.begin(), milliseconds.end());
        return milliseconds.empty() ? 0 : milliseconds[std::min(milliseconds.size() - 1, size_t(share * milliseconds.size()))];
    }
    double Median() { return Percentile(0.5); }
};

double Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Counts a read score against the moves played: a ply is right when it is the move played.
void Count(const GameScore& score, const std::vector<Move>& moves, Tally& t, const char* name)
{
    t.plies += int(moves.size());
    for (size_t i = 0; i < moves.size(); ++i) {
        const bool read = i < score.Plies().size();
        const bool right = read && score.Plies()[i].move == moves[i];
        t.right += right;
        t.uncertain += read && score.Plies()[i].uncertain;
        t.silentlyWrong += !right && !(read && score.Plies()[i].uncertain);
        if (!right && name)
            std::printf("    %s ply %zu: %s%s\n", name, i + 1,
                        read ? ToSan(score.PositionAfter(int(i)), score.Plies()[i].move).c_str() : "not read",
                        read && score.Plies()[i].uncertain ? ", marked uncertain" : "");
    }
}

Tally FlatGames(Viewpoint viewpoint, bool findCorners)
{
    const SceneCamera camera = MakeSceneCamera(viewpoint, {640, 480});
    cv::RNG rng(2026);
    Tally t;
    for (const SceneGame& game : SceneGames()) {
        Position p = Position::Start();
        std::vector<cv::Mat> pictures{RenderBoard(p, camera, RandomLight(rng), rng)};
        std::vector<Move> moves;
        for (const std::string& san : game.moves) {
            moves.push_back(*ParseSan(p, san));
            p = p.play(moves.back());
            pictures.push_back(RenderBoard(p, camera, RandomLight(rng), rng));
        }
        const std::optional<BoardCorners> corners =
            findCorners ? FindBoardCorners(pictures[0]) : CornersSeenBy(camera);
        if (!corners) {
            std::printf("    %s: no board found on the starting position\n", game.name.c_str());
            t.plies += int(moves.size());
            t.silentlyWrong += int(moves.size());
            continue;
        }
        GameScore score(*corners, [&](int ply) {
            return ply < int(pictures.size()) ? pictures[size_t(ply)] : cv::Mat();
        });
        const auto start = std::chrono::steady_clock::now();
        score.ReadAll();
        t.milliseconds.push_back(Since(start) / std::max<size_t>(1, moves.size()));
        Count(score, moves, t, game.name.c_str());
    }
    return t;
}

struct Condition {
    const char* name;
    void (*apply)(PhotoSetup&);
};

const Condition kConditions[] = {
    {"kind", [](PhotoSetup&) {}},
    {"vinyl", [](PhotoSetup& s) { s.vinyl = true; }},
    {"sets", [](PhotoSetup& s) { s.set = s.seed % 2 ? PieceSet::Plastic : PieceSet::Wooden; }},
    {"offcentre", [](PhotoSetup& s) { s.offCentre = true; }},
    {"light", [](PhotoSetup& s) { s.light = true; }},
    {"nudge", [](PhotoSetup& s) { s.nudge = true; }},
    {"hands", [](PhotoSetup& s) { s.hands = true; }},
    {"club",
     [](PhotoSetup& s) {
         s.vinyl = s.offCentre = s.light = s.nudge = s.hands = true;
         s.set = PieceSet::Plastic;
     }},
};
constexpr unsigned kSeeds[] = {1, 2};

/// A game of a seed, from overhead or from the side (White on the left for odd seeds, else the right).
PhotoSetup Setup(unsigned seed, int side)
{
    PhotoSetup setup;
    setup.seed = seed;
    setup.view = !side ? PhotoView::Overhead : seed % 2 ? PhotoView::SideWhiteLeft : PhotoView::SideWhiteRight;
    return setup;
}

// One photo-like game read as the program reads it; `found` counts starting positions whose corners
// were found near the truth.
Tally PhotoRun(const PhotoSetup& setup, bool findCorners, int& found)
{
    const std::vector<std::vector<std::string>> games = PhotoGames();
    const PhotoGame game(setup, games[setup.seed % games.size()]);
    Tally t;
    std::vector<cv::Mat> pictures;
    for (int ply = 0; ply <= game.Plies(); ++ply)
        pictures.push_back(game.Picture(ply));
    if (pictures[0].empty()) {
        std::printf("    %s\n", game.Error().c_str());
        t.plies = game.Plies(), t.silentlyWrong = game.Plies();
        return t;
    }
    std::optional<BoardCorners> corners = game.Corners(0);
    if (findCorners) {
        const auto start = std::chrono::steady_clock::now();
        corners = FindBoardCorners(pictures[0]);
        bool near = corners.has_value();
        for (int i = 0; near && i < 4; ++i)
            near = cv::norm(corners->points[size_t(i)] - game.Corners(0).points[size_t(i)]) < 0.02;
        found += near;
        std::printf("    seed %u: corners %s in %.0f ms\n", setup.seed,
                    near      ? "found"
                    : corners ? "WRONG"
                              : "not found",
                    Since(start));
        if (!corners) {
            t.plies = game.Plies(), t.silentlyWrong = game.Plies();
            return t;
        }
    }
    GameScore score(*corners,
                    [&](int ply) { return ply < int(pictures.size()) ? pictures[size_t(ply)] : cv::Mat(); });
    for (int ply = 1; ply <= game.Plies(); ++ply) {
        const auto start = std::chrono::steady_clock::now();
        score.ReadAll(ply);
        t.milliseconds.push_back(Since(start));
    }
    Count(score, game.Moves(), t, "");
    return t;
}

// A real game's folder (pictures as the program names them, expected.txt with a SAN a line), read as
// `orvelle --pgn` reads it, at `size` (the pictures' own when empty), with the board's corners given (the
// picture's: these are straightened to the board) or found; the time per picture and of the learning.
Tally RealRun(const std::filesystem::path& folder, bool findCorners, cv::Size size, Tally& learning)
{
    Tally t;
    std::vector<std::string> sans;
    std::ifstream expected(folder / "expected.txt");
    for (std::string line; std::getline(expected, line);)
        if (!line.empty())
            sans.push_back(line.substr(0, line.find(' ')));
    std::vector<cv::Mat> pictures;
    for (size_t ply = 0; ply <= sans.size(); ++ply) {
        char name[32];
        std::snprintf(name, sizeof name, "game01move%03zu%c.jpg", (ply + 1) / 2, ply % 2 ? 'a' : 'b');
        pictures.push_back(cv::imread((folder / name).string()));
        if (!pictures.back().empty() && !size.empty())
            cv::resize(pictures.back(), pictures.back(), size);
    }
    std::optional<BoardCorners> corners = ParseBoardCorners("0,1,1,1,1,0,0,0");
    if (findCorners)
        corners = FindBoardCorners(pictures[0]);
    Position p = Position::Start();
    std::vector<Move> moves;
    for (const std::string& san : sans) {
        moves.push_back(*ParseSan(p, san));
        p = p.play(moves.back());
    }
    if (!corners || pictures[0].empty()) {
        std::printf("    %s: %s\n", folder.filename().c_str(), corners ? "no pictures" : "no board found");
        t.plies = t.silentlyWrong = int(sans.size());
        return t;
    }
    const auto start = std::chrono::steady_clock::now();
    LearnSetModel(pictures[0], *corners);
    learning.milliseconds.push_back(Since(start));
    GameScore score(*corners,
                    [&](int ply) { return ply < int(pictures.size()) ? pictures[size_t(ply)] : cv::Mat(); });
    for (int ply = 1; ply <= int(moves.size()); ++ply) {
        const auto before = std::chrono::steady_clock::now();
        score.ReadAll(ply);
        t.milliseconds.push_back(Since(before));
    }
    Count(score, moves, t, folder.filename().c_str());
    return t;
}

// One row of bench/report's table: the plies right, and how the rest went; the time per picture.
void PrintRow(const char* name, const char* view, Tally t, const char* target)
{
    std::printf(
        "row: plies right, %s, %s | %.1f %% (%d of %d; %d wrong without a mark, %d uncertain) | %s | | |\n",
        name, view, 100.0 * t.right / std::max(1, t.plies), t.right, t.plies, t.silentlyWrong, t.uncertain,
        target);
    if (!t.milliseconds.empty())
        std::printf(
            "row: time per picture, %s, %s (median, machine shared) | %.1f ms | at most 50 ms | | |\n", name,
            view, t.Median());
}
} // namespace

int main(int argc, char** argv)
{
    std::set<std::string> only(argv + 1, argv + argc);
    int failures = 0;
    if (only.empty() || only.count("real")) {
        // Real frames of real games (tests/board/real): the plies right, then the time per picture at two
        // webcam sizes, and of learning the camera and the set from the starting picture.
        std::vector<std::filesystem::path> folders;
        for (const auto& entry : std::filesystem::directory_iterator(ORVELLE_REAL_GAMES))
            if (entry.is_directory())
                folders.push_back(entry.path());
        std::sort(folders.begin(), folders.end());
        for (const bool find : {false, true}) {
            Tally t, learning;
            for (const auto& folder : folders)
                t.Add(RealRun(folder, find, {}, learning));
            PrintRow(find ? "real games, corners found" : "real games", "as filmed", t,
                     "at least 99 %, none unmarked");
            failures += t.silentlyWrong > 0;
        }
        for (const cv::Size size : {cv::Size(640, 480), cv::Size(1280, 720)}) {
            Tally t, learning;
            for (const auto& folder : folders)
                t.Add(RealRun(folder, false, size, learning));
            std::printf("row: time per picture, real games at %dx%d | median %.1f ms, 99th percentile %.1f ms | "
                        "median at most %s | | |\n",
                        size.width, size.height, t.Median(), t.Percentile(0.99), size.width == 640 ? "50 ms" : "120 ms");
            std::printf("row: learning from the starting picture, %dx%d | %.0f ms at most | at most 1 s | | |\n",
                        size.width, size.height, learning.Percentile(1.0));
        }
        std::fflush(stdout);
    }
    if (only.empty() || only.count("flat")) {
        for (const bool find : {false, true})
            for (const Viewpoint v : {Viewpoint::Overhead, Viewpoint::Side}) {
                Tally t = FlatGames(v, find);
                PrintRow(find ? "flat drawings, corners found" : "flat drawings",
                         v == Viewpoint::Overhead ? "overhead" : "side", t, "as before: 99 %, none unmarked");
                failures += t.silentlyWrong > 0;
            }
    }
    Tally views[2];
    for (const Condition& c : kConditions) {
        if (!only.empty() && !only.count(c.name))
            continue;
        for (int side = 0; side < 2; ++side) {
            Tally t;
            for (unsigned seed : kSeeds) {
                PhotoSetup setup = Setup(seed, side);
                c.apply(setup);
                int found = 0;
                t.Add(PhotoRun(setup, false, found));
            }
            PrintRow(c.name, side ? "side" : "overhead", t, "");
            views[side].Add(t);
        }
    }
    for (int side = 0; side < 2; ++side)
        failures +=
            views[side].plies > 0 && (100.0 * views[side].right / views[side].plies < (side ? 95 : 97) ||
                                      views[side].silentlyWrong * 200 > views[side].plies);
    PrintRow("all conditions", "overhead", views[0], "at least 97 %, at most 1 in 200 unmarked");
    PrintRow("all conditions", "side", views[1], "at least 95 %, at most 1 in 200 unmarked");
    // The corners found on the starting positions, as `orvelle --pgn` without corners finds them.
    for (const char* name : {"kind", "club"}) {
        if (!only.empty() && !only.count(name))
            continue;
        for (int side = 0; side < 2; ++side) {
            Tally t;
            int found = 0, games = 0;
            for (unsigned seed : kSeeds) {
                PhotoSetup setup = Setup(seed, side);
                (std::strcmp(name, "kind") ? kConditions[7] : kConditions[0]).apply(setup);
                t.Add(PhotoRun(setup, true, found));
                ++games;
            }
            std::printf("row: boards found on the start, %s, %s | %d of %d | all | | |\n", name,
                        side ? "side" : "overhead", found, games);
            PrintRow(name, side ? "side, corners found" : "overhead, corners found", t, "");
        }
    }
    return failures == 0 ? 0 : 1;
}
