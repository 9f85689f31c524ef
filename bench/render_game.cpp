// Writes one of the rendered games as a camera at the board would have left it, for the system tests
// and for trying `orvelle --pgn` by hand:
//   bench_render_game DIR SCENE [overhead|side] [WIDTHxHEIGHT] [--frames]
// writes DIR/game01move000b.jpg (the starting position) and one picture per ply, game01.tsv with made-up
// clocks (five minutes each, every ply taking 2 to 6 seconds), moves.txt (the game in SAN, one ply a
// line) and corners.txt (where the camera sees the board, as BOARD and --board take it). With --frames it
// writes frame000.jpg (the start), frame001.jpg, ... instead of the game's pictures and record, for a camera
// source that shows them in turn.
#include "BoardScene.h"
#include "GameRecord.h"
#include "Notation.h"
#include "PictureNames.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <opencv2/imgcodecs.hpp>
#include <string>

int main(int argc, char** argv)
{
    const std::vector<SceneGame> games = SceneGames();
    int width = 640, height = 480;
    const int scene = argc > 2 ? std::atoi(argv[2]) : -1;
    const bool frames = argc > 3 && std::strcmp(argv[argc - 1], "--frames") == 0;
    const int options = argc - (frames ? 1 : 0);
    const bool side = options > 3 && std::strcmp(argv[3], "side") == 0;
    if (argc < 3 || scene < 0 || scene >= int(games.size()) ||
        (options > 3 && !side && std::strcmp(argv[3], "overhead") != 0) ||
        (options > 4 && std::sscanf(argv[4], "%dx%d", &width, &height) != 2) || width < 64 || height < 48) {
        std::fprintf(stderr, "Usage: %s DIR SCENE(0-%zu) [overhead|side] [WIDTHxHEIGHT] [--frames]\n",
                     argv[0], games.size() - 1);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const SceneCamera camera = MakeSceneCamera(side ? Viewpoint::Side : Viewpoint::Overhead, {width, height});
    cv::RNG rng(11 + scene);
    Position p = Position::Start();
    std::ofstream(dir + "corners.txt") << FormatBoardCorners(CornersSeenBy(camera)) << "\n";
    std::ofstream moves(dir + "moves.txt");
    std::ofstream record;
    if (!frames)
        record.open(dir + FormatRecordName(1));
    record << GameRecordHeader() << "\n";
    double clocks[2] = {300, 300}; // White, Black; White is the right-hand player
    for (size_t ply = 0;; ++ply) {
        char frame[32];
        std::snprintf(frame, sizeof frame, "frame%03zu.jpg", ply);
        const std::string name = frames ? frame : FormatPictureName(1, int(ply));
        if (!cv::imwrite(dir + name, RenderBoard(p, camera, RandomLight(rng), rng))) {
            std::fprintf(stderr, "%s could not be written\n", (dir + name).c_str());
            return 1;
        }
        if (ply == games[size_t(scene)].moves.size())
            break;
        const std::string& san = games[size_t(scene)].moves[ply];
        p = p.play(*ParseSan(p, san));
        moves << san << "\n";
        const bool white = ply % 2 == 0;
        const double used = 2.0 + double(ply % 5);
        clocks[white ? 0 : 1] -= used;
        record << FormatGameRecordLine(
                      {int(ply) + 1, !white, used, clocks[1], clocks[0], FormatPictureName(1, int(ply) + 1)})
               << "\n";
    }
    return 0;
}
