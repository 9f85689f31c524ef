// Writes one of the rendered games as a camera at the board would have left it, for the system tests
// and for trying `orvelle --pgn` by hand:
//   bench_render_game DIR SCENE [overhead|side] [WIDTHxHEIGHT] [--frames]
//   bench_render_game DIR --photo CONDITIONS [overhead|left|right] [SEED]
// The first draws flat shapes (scene 0 to 4); the second ray-traces a photo-like game (PhotoScene.h)
// under the conditions named, separated by commas: kind (none), vinyl, plastic, wooden, offcentre,
// light, nudge, hands, or club (vinyl, plastic, offcentre, light, nudge and hands); `left` and `right`
// are a camera at the side with White on that side. Either writes DIR/game01move000b.jpg (the starting
// position) and one picture per ply, game01.tsv with made-up clocks (five minutes each, every ply taking
// 2 to 6 seconds), moves.txt (the game in SAN, one ply a line), corners.txt (where the camera sees the
// board, as BOARD and --board take it) and expected.txt (each ply's SAN and the FEN after it). A photo
// game also writes corners.txt in pixels of its first picture, one corner a line, as score-check reads
// it, and the BOARD form in board.txt. With --frames it writes frame000.jpg (the start), frame001.jpg,
// ... instead of the game's pictures and record, for a camera source that shows them in turn.
#include "BoardScene.h"
#include "GameRecord.h"
#include "Notation.h"
#include "PhotoScene.h"
#include "PictureNames.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <opencv2/imgcodecs.hpp>
#include <sstream>
#include <string>

namespace {
int Usage(const char* program)
{
    std::fprintf(stderr,
                 "Usage: %s DIR SCENE(0-%zu) [overhead|side] [WIDTHxHEIGHT] [--frames]\n"
                 "       %s DIR --photo CONDITION[,CONDITION...] [overhead|left|right] [SEED]\n",
                 program, SceneGames().size() - 1, program);
    return 2;
}

// The photo-like setup named on the command line; nothing when a word is not a condition.
std::optional<PhotoSetup> ParsePhoto(const std::string& conditions, const std::string& view, unsigned seed)
{
    PhotoSetup s;
    s.seed = seed;
    std::istringstream in(conditions);
    for (std::string word; std::getline(in, word, ',');) {
        if (word == "club")
            s.vinyl = s.offCentre = s.light = s.nudge = s.hands = true, s.set = PieceSet::Plastic;
        else if (word == "vinyl")
            s.vinyl = true;
        else if (word == "plastic" || word == "wooden")
            s.set = word == "plastic" ? PieceSet::Plastic : PieceSet::Wooden;
        else if (word == "offcentre")
            s.offCentre = true;
        else if (word == "light")
            s.light = true;
        else if (word == "nudge")
            s.nudge = true;
        else if (word == "hands")
            s.hands = true;
        else if (word != "kind")
            return std::nullopt;
    }
    if (view == "left" || view == "right")
        s.view = view == "left" ? PhotoView::SideWhiteLeft : PhotoView::SideWhiteRight;
    else if (view != "overhead")
        return std::nullopt;
    return s;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage(argv[0]);
    const std::string dir = std::string(argv[1]) + "/";
    std::vector<std::string> game;
    Position p = Position::Start();
    std::function<cv::Mat(int, const Position&)> picture;
    BoardCorners corners;
    std::optional<PhotoGame> photo;
    std::string cornerPixels;
    const bool frames = std::strcmp(argv[argc - 1], "--frames") == 0;
    if (std::strcmp(argv[2], "--photo") == 0) {
        const std::optional<PhotoSetup> setup =
            ParsePhoto(argc > 3 ? argv[3] : "", argc > 4 ? argv[4] : "overhead",
                       argc > 5 ? unsigned(std::atoi(argv[5])) : 1u);
        if (!setup || frames)
            return Usage(argv[0]);
        const std::vector<std::vector<std::string>> games = PhotoGames();
        game = games[setup->seed % games.size()];
        photo.emplace(*setup, game);
        corners = photo->Corners(0);
        for (const cv::Point2d& c : corners.points)
            cornerPixels += std::to_string(c.x * setup->size.width) + " " +
                            std::to_string(c.y * setup->size.height) + "\n";
        picture = [&photo](int ply, const Position&) { return photo->Picture(ply); };
    } else {
        const std::vector<SceneGame> games = SceneGames();
        int width = 640, height = 480;
        const int scene = std::atoi(argv[2]);
        const int options = argc - (frames ? 1 : 0);
        const bool side = options > 3 && std::strcmp(argv[3], "side") == 0;
        if (scene < 0 || scene >= int(games.size()) || (std::strcmp(argv[2], "0") && scene == 0) ||
            (options > 3 && !side && std::strcmp(argv[3], "overhead") != 0) ||
            (options > 4 && std::sscanf(argv[4], "%dx%d", &width, &height) != 2) || width < 64 || height < 48)
            return Usage(argv[0]);
        game = games[size_t(scene)].moves;
        const SceneCamera camera =
            MakeSceneCamera(side ? Viewpoint::Side : Viewpoint::Overhead, {width, height});
        corners = CornersSeenBy(camera);
        picture = [camera, rng = cv::RNG(11 + scene)](int, const Position& at) mutable {
            return RenderBoard(at, camera, RandomLight(rng), rng);
        };
    }
    std::ofstream(dir + (photo ? "board.txt" : "corners.txt")) << FormatBoardCorners(corners) << "\n";
    if (photo)
        std::ofstream(dir + "corners.txt") << cornerPixels;
    std::ofstream moves(dir + "moves.txt"), expected(dir + "expected.txt");
    std::ofstream record;
    if (!frames)
        record.open(dir + FormatRecordName(1));
    record << GameRecordHeader() << "\n";
    double clocks[2] = {300, 300}; // White, Black; White is the right-hand player
    for (size_t ply = 0;; ++ply) {
        char frame[32];
        std::snprintf(frame, sizeof frame, "frame%03zu.jpg", ply);
        const std::string name = frames ? frame : FormatPictureName(1, int(ply));
        const cv::Mat image = picture(int(ply), p);
        if (image.empty() || !cv::imwrite(dir + name, image)) {
            std::fprintf(stderr, "%s could not be written%s\n", (dir + name).c_str(),
                         photo ? (": " + photo->Error()).c_str() : "");
            return 1;
        }
        if (ply == game.size())
            break;
        const std::string& san = game[ply];
        p = p.play(*ParseSan(p, san));
        moves << san << "\n";
        expected << san << " " << ToFen(p) << "\n";
        const bool white = ply % 2 == 0;
        const double used = 2.0 + double(ply % 5);
        clocks[white ? 0 : 1] -= used;
        record << FormatGameRecordLine(
                      {int(ply) + 1, !white, used, clocks[1], clocks[0], FormatPictureName(1, int(ply) + 1)})
               << "\n";
    }
    return 0;
}
