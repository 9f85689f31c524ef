#include "PhotoScene.h"

#include "Notation.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <opencv2/calib3d.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <sstream>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;

// A picture in this many shows a hand, in the scenes that have hands.
constexpr int kHandEvery = 8;
// Placement of centred pieces: a player's care, not a machine's.
constexpr double kCentredJitter = 0.03;
constexpr double kOffCentre = 0.25;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// FNV-1a: a cache key that stays the same across builds and compilers.
std::string Key(const std::string& text)
{
    unsigned long long h = 1469598103934665603ull;
    for (unsigned char c : text)
        h = (h ^ c) * 1099511628211ull;
    char name[20];
    std::snprintf(name, sizeof name, "%016llx", h);
    return name;
}

fs::path CacheFolder()
{
    const char* dir = std::getenv("ORVELLE_SCENE_CACHE");
    return dir && *dir ? fs::path(dir) : fs::path(ORVELLE_SCENE_CACHE_DEFAULT);
}

std::string Vec(const cv::Vec3d& board)
{
    // Board space (x along the files, y along the ranks, z up) to POV-Ray's (y up, z away).
    char text[96];
    std::snprintf(text, sizeof text, "<%.5f, %.5f, %.5f>", board[0], board[2], board[1]);
    return text;
}

cv::Matx33d Rotation(const cv::Vec3d& axisAngle)
{
    cv::Matx33d r;
    cv::Rodrigues(axisAngle, r);
    return r;
}
} // namespace

PhotoGame::PhotoGame(const PhotoSetup& setup, const std::vector<std::string>& sans, const Position& start)
    : m_setup(setup)
{
    cv::RNG rng(setup.seed * 7919u + 17u);
    m_positions.push_back(start);
    for (const std::string& san : sans) {
        const std::optional<Move> move = ParseSan(m_positions.back(), san);
        if (!move) {
            m_error = "not a legal move: " + san;
            break;
        }
        m_moves.push_back(*move);
        m_positions.push_back(m_positions.back().play(*move));
    }

    Placement placement;
    auto place = [&](Square s) {
        const double reach = setup.offCentre ? kOffCentre : kCentredJitter;
        const double r = reach * std::sqrt(rng.uniform(0.0, 1.0)), a = rng.uniform(0.0, 2 * CV_PI);
        placement.offset[s] = {r * std::cos(a), r * std::sin(a)};
        const double facing = m_positions.back().at(s).colour == Colour::White ? 180 : 0;
        placement.turn[s] = setup.offCentre ? rng.uniform(0.0, 360.0) : facing + rng.uniform(-8.0, 8.0);
    };
    for (Square s = 0; s < 64; ++s)
        place(s);
    m_placements.push_back(placement);
    for (size_t i = 0; i < m_moves.size(); ++i) {
        for (Square s = 0; s < 64; ++s)
            if (!(m_positions[i].at(s) == m_positions[i + 1].at(s)))
                place(s);
        m_placements.push_back(placement);
    }

    const bool side = setup.view != PhotoView::Overhead;
    const double sign = setup.view == PhotoView::SideWhiteRight ? -1 : 1;
    if (!side) {
        m_eye = {4 + rng.uniform(-0.6, 0.6), 3.4 + rng.uniform(-0.6, 0.6), rng.uniform(14.0, 17.0)};
        m_target = {4 + rng.uniform(-0.3, 0.3), 4 + rng.uniform(-0.3, 0.3), 0};
        m_focal = rng.uniform(0.9, 1.1);
    } else {
        const double elevation = rng.uniform(38.0, 52.0) * CV_PI / 180, distance = rng.uniform(13.5, 15.5);
        const double swing = rng.uniform(-6.0, 6.0) * CV_PI / 180;
        m_eye = {4 + sign * distance * std::cos(elevation) * std::cos(swing),
                 4 + distance * std::cos(elevation) * std::sin(swing), distance * std::sin(elevation)};
        m_target = {4 + sign * rng.uniform(-0.2, 0.4), 4 + rng.uniform(-0.3, 0.3), 0};
        m_focal = rng.uniform(1.0, 1.15);
    }
    m_roll = rng.uniform(-4.0, 4.0) * CV_PI / 180;
    m_woodTable = !setup.vinyl && rng.uniform(0, 2) == 1;
    m_lightPlace = {rng.uniform(-4.0, 12.0), rng.uniform(-4.0, 12.0), rng.uniform(14.0, 20.0)};
    const int plies = int(m_moves.size());
    if (setup.nudge) {
        const double shift = rng.uniform(0.2, 0.36), way = rng.uniform(0.0, 2 * CV_PI);
        m_nudgeShift = {shift * std::cos(way), shift * std::sin(way), 0};
        m_nudgeYaw = (rng.uniform(0, 2) ? 1 : -1) * rng.uniform(1.0, 2.0) * CV_PI / 180;
        m_nudgePitch = rng.uniform(-1.0, 1.0) * CV_PI / 180;
        m_nudgePly = rng.uniform(std::max(2, plies / 4), std::max(3, 3 * plies / 4));
    }
    if (setup.light)
        m_lampPly = rng.uniform(std::max(2, plies / 4), std::max(3, 3 * plies / 4));
    m_hand.assign(m_moves.size() + 1, false);
    m_handTips.assign(m_moves.size() + 1, {});
    for (int ply = 1; setup.hands && ply <= plies; ++ply) {
        m_hand[size_t(ply)] = rng.uniform(0, kHandEvery) == 0;
        // The player who has just moved reaches for the clock from their own side.
        const bool white = m_positions[size_t(ply)].sideToMove() == Colour::Black;
        const double x = rng.uniform(0.5, 7.5), reach = rng.uniform(0.2, 1.4);
        m_handTips[size_t(ply)] = {x, white ? reach : 8 - reach, rng.uniform(1.0, 1.9)};
    }
}

cv::Matx34d PhotoGame::Camera(int ply) const
{
    cv::Vec3d eye = m_eye, target = m_target;
    if (ply >= m_nudgePly) {
        eye += m_nudgeShift;
        target += m_nudgeShift;
    }
    const cv::Vec3d up = m_setup.view == PhotoView::Overhead ? cv::Vec3d(0, 1, 0) : cv::Vec3d(0, 0, 1);
    const cv::Vec3d forward = cv::normalize(target - eye);
    const cv::Vec3d right = cv::normalize(forward.cross(up));
    const cv::Vec3d down = forward.cross(right);
    cv::Matx33d r(right[0], right[1], right[2], down[0], down[1], down[2], forward[0], forward[1],
                  forward[2]);
    r = Rotation({0, 0, m_roll}) * r;
    if (ply >= m_nudgePly)
        r = Rotation({m_nudgePitch, m_nudgeYaw, 0}) * r;
    const cv::Vec3d t = -(r * eye);
    const cv::Size size = m_setup.size;
    const double f = m_focal * size.width;
    const cv::Matx33d k(f, 0, size.width / 2.0, 0, f, size.height / 2.0, 0, 0, 1);
    return k * cv::Matx34d(r(0, 0), r(0, 1), r(0, 2), t[0], r(1, 0), r(1, 1), r(1, 2), t[1], r(2, 0), r(2, 1),
                           r(2, 2), t[2]);
}

BoardCorners PhotoGame::Corners(int ply) const
{
    const cv::Matx34d p = Camera(ply);
    BoardCorners corners;
    const cv::Vec4d board[4] = {{0, 0, 0, 1}, {8, 0, 0, 1}, {8, 8, 0, 1}, {0, 8, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        const cv::Vec3d v = p * board[i];
        corners.points[i] = {v[0] / v[2] / m_setup.size.width, v[1] / v[2] / m_setup.size.height};
    }
    return corners;
}

std::string PhotoGame::SceneText(int ply) const
{
    std::ostringstream pov;
    pov << ReadFile(fs::path(ORVELLE_SCENE_SOURCE) / "scene.inc");
    // The camera as the projection in Camera() has it: a ray through pixel (u, v) of the picture, both
    // from -0.5 to 0.5, runs along direction + u * right + v * up.
    const cv::Matx34d p = Camera(ply);
    const cv::Size size = m_setup.size;
    const double f = m_focal * size.width;
    const cv::Matx33d k(f, 0, size.width / 2.0, 0, f, size.height / 2.0, 0, 0, 1);
    const cv::Matx34d rt = k.inv() * p;
    const cv::Matx33d r = rt.get_minor<3, 3>(0, 0);
    const cv::Vec3d t(rt(0, 3), rt(1, 3), rt(2, 3));
    const cv::Vec3d eye = -(r.t() * t);
    const cv::Vec3d right(r(0, 0), r(0, 1), r(0, 2)), down(r(1, 0), r(1, 1), r(1, 2)),
        forward(r(2, 0), r(2, 1), r(2, 2));
    pov << "camera { perspective location " << Vec(eye) << " direction " << Vec(forward) << " right "
        << Vec(right * (size.width / f)) << " up " << Vec(-down * (size.height / f)) << " }\n";
    pov << "light_source { " << Vec(m_lightPlace)
        << " rgb 1.1 area_light x*5, z*5, 3, 3 adaptive 0 jitter circular orient }\n"
        << "light_source { <4, 30, -20> rgb 0.25 shadowless }\n"
        << "background { rgb 0.3 }\n";
    if (ply >= m_lampPly)
        pov << "light_source { <-6, 9, 14> rgb <0.9, 0.7, 0.45> }\n";
    pov << (m_woodTable ? "plane { y, -0.041 texture { WoodFrame scale 3 } }\n"
                        : "plane { y, -0.041 pigment { granite colour_map { [0 rgb 0.32] [1 rgb 0.4] } scale "
                          "2 } }\n");
    pov << "object { Board(" << (m_setup.vinyl ? "1, 0.7" : "0, 0.6") << ") }\n";
    pov << "object { Clock rotate y*90 translate <-2.4, 0, 4> }\n";

    static const char* const kTextures[3][2] = {
        {"texture { pigment { rgb <0.72, 0.62, 0.45> } finish { specular 0.3 roughness 0.03 } }",
         "texture { pigment { rgb 0.035 } finish { specular 0.5 roughness 0.02 } }"},
        {"texture { pigment { rgb <0.80, 0.74, 0.56> } finish { specular 0.6 roughness 0.01 reflection 0.04 "
         "} }",
         "texture { pigment { rgb 0.015 } finish { specular 0.8 roughness 0.008 reflection 0.06 } }"},
        {"texture { pigment { wood turbulence 0.05 colour_map { [0 rgb <0.78, 0.6, 0.32>] [1 rgb <0.85, "
         "0.68, "
         "0.4>] } scale 0.05 } finish { phong 0.6 phong_size 30 } }",
         "texture { pigment { wood turbulence 0.05 colour_map { [0 rgb <0.12, 0.05, 0.02>] [1 rgb <0.2, "
         "0.09, "
         "0.04>] } scale 0.05 } finish { phong 0.7 phong_size 30 } }"}};
    static const double kProportions[3][2] = {{1.0, 1.0}, {0.92, 1.08}, {1.1, 0.9}}; // height, width
    const int set = int(m_setup.set);
    const Position& position = m_positions[size_t(ply)];
    const Placement& placement = m_placements[size_t(ply)];
    for (Square s = 0; s < 64; ++s) {
        const Piece piece = position.at(s);
        if (piece.type == PieceType::None)
            continue;
        const cv::Vec3d at(FileOf(s) + 0.5 + placement.offset[s].x, RankOf(s) + 0.5 + placement.offset[s].y,
                           0);
        pov << "object { Piece(" << int(piece.type) << ", "
            << kTextures[set][piece.colour == Colour::White ? 0 : 1] << ", " << kProportions[set][0] << ", "
            << kProportions[set][1] << ", " << placement.turn[s] << ") translate " << Vec(at) << " }\n";
    }
    if (m_hand[size_t(ply)]) {
        const cv::Point3d tip = m_handTips[size_t(ply)];
        const double away = tip.y < 4 ? -12 : 20;
        pov << "object { Hand(" << Vec({tip.x * 0.5 + 1, away, 0}) << ", " << Vec({tip.x, tip.y, 0}) << ", "
            << tip.z << ") }\n";
    }
    return pov.str();
}

cv::Mat PhotoGame::Picture(int ply) const
{
    const std::string text = SceneText(ply);
    const cv::Size size = m_setup.size;
    const std::string options = "+W" + std::to_string(size.width) + " +H" + std::to_string(size.height) +
                                " +A0.3 +AM2 +R2 -D -V -GA +FN";
    const fs::path folder = CacheFolder();
    const std::string key = Key(text + options);
    const fs::path rendered = folder / (key + ".png");
    cv::Mat picture = fs::exists(rendered) ? cv::imread(rendered.string(), cv::IMREAD_COLOR) : cv::Mat();
    if (picture.empty()) {
        std::error_code error;
        fs::create_directories(folder, error);
        // Written under names of this process's own, then renamed: tests running side by side may
        // render the same scene.
        const std::string own = key + "." + std::to_string(getpid());
        const fs::path scene = folder / (own + ".pov"), part = folder / (own + ".png");
        std::ofstream(scene) << text;
        const std::string command = "povray +I'" + scene.string() + "' +O'" + part.string() + "' " + options +
                                    " >'" + (folder / (own + ".log")).string() + "' 2>&1";
        if (std::system(command.c_str()) != 0 || !fs::exists(part)) {
            m_error = "POV-Ray could not render " + scene.string() + " (is povray installed?)";
            return {};
        }
        fs::rename(part, rendered, error);
        fs::remove(scene, error);
        fs::remove(folder / (own + ".log"), error);
        picture = cv::imread(rendered.string(), cv::IMREAD_COLOR);
    }

    // The camera's own doing: exposure and white balance, vignetting, lens blur, noise and JPEG.
    cv::RNG rng(m_setup.seed * 1000003u + unsigned(ply));
    double gain[3] = {1, 1, 1};
    if (m_setup.light) {
        const double t = double(ply) / std::max(1, Plies());
        const double exposure = 1 + 0.14 * std::sin(2 * CV_PI * (0.8 * t + m_setup.seed * 0.37)) +
                                (ply >= m_lampPly ? 0.12 : 0.0);
        const double warm = 0.07 * std::sin(2 * CV_PI * (0.6 * t + m_setup.seed * 0.23));
        gain[0] = exposure * (1 - warm); // blue
        gain[1] = exposure;
        gain[2] = exposure * (1 + warm); // red
    }
    cv::Mat f;
    picture.convertTo(f, CV_32FC3);
    cv::Mat shade(size, CV_32F);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const double dx = (x - size.width / 2.0) / size.width, dy = (y - size.height / 2.0) / size.width;
            shade.at<float>(y, x) = float(1 - 0.5 * (dx * dx + dy * dy));
        }
    std::vector<cv::Mat> channels;
    cv::split(f, channels);
    for (int c = 0; c < 3; ++c)
        channels[size_t(c)] = channels[size_t(c)].mul(shade) * gain[c];
    cv::merge(channels, f);
    cv::GaussianBlur(f, f, cv::Size(0, 0), rng.uniform(0.5, 0.9));
    cv::Mat noise(size, CV_32FC3);
    rng.fill(noise, cv::RNG::NORMAL, 0.0, rng.uniform(2.0, 4.0));
    f += noise;
    f.convertTo(picture, CV_8UC3);
    std::vector<uchar> jpeg;
    cv::imencode(".jpg", picture, jpeg, {cv::IMWRITE_JPEG_QUALITY, 85});
    return cv::imdecode(jpeg, cv::IMREAD_COLOR);
}

std::vector<std::vector<std::string>> PhotoGames()
{
    return {
        {"e4", "e5",  "Nf3", "Nc6", "Bb5", "a6",   "Ba4",  "Nf6", "O-O", "Be7", "Re1", "b5",  "Bb3", "d6",
         "c3", "O-O", "h3",  "Nb8", "d4",  "Nbd7", "Nbd2", "Bb7", "Bc2", "Re8", "Nf1", "Bf8", "Ng3", "g6",
         "a4", "c5",  "d5",  "c4",  "Bg5", "h6",   "Be3",  "Nc5", "Qd2", "h5",  "Bg5", "Be7"},
        {"d4",  "d5",   "c4",   "e6",  "Nc3",  "Nf6",  "Bg5",  "Be7",  "e3",   "O-O",
         "Nf3", "Nbd7", "Rc1",  "c6",  "Bd3",  "dxc4", "Bxc4", "Nd5",  "Bxe7", "Qxe7",
         "O-O", "Nxc3", "Rxc3", "e5",  "dxe5", "Nxe5", "Nxe5", "Qxe5", "f4",   "Qe4",
         "Qb3", "Bf5",  "Bd3",  "Qd5", "Qxd5", "cxd5", "Bxf5", "Rac8", "Rxc8", "Rxc8"},
    };
}
