#pragma once

#include "BoardGeometry.h"
#include "Position.h"

#include <opencv2/core.hpp>
#include <string>
#include <vector>

/// Where the camera stands.
enum class PhotoView {
    Overhead,       ///< above the board, White at the bottom of the picture
    SideWhiteLeft,  ///< on a tripod past the h-file, about 45 degrees up: White plays from the left
    SideWhiteRight, ///< the same past the a-file: White plays from the right
};

enum class PieceSet {
    Classic, ///< cream and black, as the kind conditions have it
    Plastic, ///< a tournament set, cream and black, glossy and stockier
    Wooden,  ///< boxwood and dark brown with a sheen, taller and slimmer
};

/// What a photo-like game's pictures hold. The defaults are kind conditions: a wooden board, the classic
/// set, pieces centred, steady light, a still camera and nothing in the way.
struct PhotoSetup {
    PhotoView view = PhotoView::Overhead;
    bool vinyl = false; ///< a roll-up vinyl board with a white printed margin, on a grey table
    PieceSet set = PieceSet::Classic;
    bool offCentre = false; ///< pieces up to a quarter square off their centres, turned at random
    bool light = false;     ///< exposure and white balance drift, and a lamp switched on partway
    bool nudge = false;     ///< the camera shifted by 1 to 2 cm and turned 1 to 2 degrees partway
    bool hands = false;     ///< a hand and forearm at the edge in about one picture in eight
    unsigned seed = 1;      ///< the table, the camera's exact place, the light, placement and noise
    cv::Size size{640, 480};
};

/// A game's pictures as a camera at the board would take them, ray-traced by POV-Ray, with sensor noise,
/// lens blur and JPEG loss. Rendered pictures are kept in a cache folder (ORVELLE_SCENE_CACHE, else one
/// beside the build) named by the scene's text, so each is rendered once for every test run and build.
class PhotoGame {
public:
    PhotoGame(const PhotoSetup& setup, const std::vector<std::string>& sans,
              const Position& start = Position::Start());

    /// The picture after `ply` plies (0: the starting position); empty when POV-Ray failed, which
    /// Error() then says.
    cv::Mat Picture(int ply) const;
    /// Where the board's corners a1, h1, h8, a8 lie in that picture.
    BoardCorners Corners(int ply) const;
    bool HandIn(int ply) const { return m_hand[size_t(ply)]; }
    int Plies() const { return int(m_moves.size()); }
    const std::vector<Move>& Moves() const { return m_moves; }
    const Position& Start() const { return m_positions.front(); }
    const std::string& Error() const { return m_error; }

private:
    struct Placement {
        cv::Point2d offset[64];
        double turn[64];
    };
    std::string SceneText(int ply) const;
    cv::Matx34d Camera(int ply) const;

    PhotoSetup m_setup;
    std::vector<Move> m_moves;
    std::vector<Position> m_positions;
    std::vector<Placement> m_placements;
    std::vector<bool> m_hand;
    std::vector<cv::Point3d> m_handTips;
    cv::Vec3d m_eye, m_target;
    double m_focal = 0, m_roll = 0;
    cv::Vec3d m_nudgeShift;
    double m_nudgeYaw = 0, m_nudgePitch = 0;
    int m_nudgePly = 1 << 30, m_lampPly = 1 << 30;
    cv::Vec3d m_lightPlace;
    bool m_woodTable = false;
    mutable std::string m_error;
};

/// Longer games for the photo-like scenes, 30 to 44 plies each, with the usual kinds of move.
std::vector<std::vector<std::string>> PhotoGames();
