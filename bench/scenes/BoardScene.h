#pragma once

#include "BoardGeometry.h"
#include "Position.h"

#include <opencv2/core.hpp>
#include <string>
#include <vector>

/// Rendered boards with known positions, for the recognition tests and benchmark: a perspective
/// projection of simple upright pieces (cylinders and cones of distinct heights, a colour per side)
/// on a wooden board, with some lighting variation and sensor noise.

enum class Viewpoint {
    Overhead, ///< a camera above the board, looking down
    Side,     ///< a webcam on a tripod at the h-file side, about 45 degrees up
};

/// A pinhole camera in board space (squares, a1's outer corner at the origin, z up).
struct SceneCamera {
    cv::Matx33d intrinsics;
    cv::Matx33d rotation; ///< board space to camera space
    cv::Vec3d translation;
    cv::Size size;
};

SceneCamera MakeSceneCamera(Viewpoint viewpoint, cv::Size size);
/// Where the camera sees the board's corners a1, h1, h8, a8.
BoardCorners CornersSeenBy(const SceneCamera& camera);

/// How one picture's light differs from the ideal.
struct SceneLight {
    double gain = 1.0;     ///< overall brightness factor
    double gradient = 0.0; ///< brightness change from the picture's left edge to its right, as a fraction
    double noise = 3.0;    ///< sensor noise, standard deviation in grey levels
};
/// A random light within a few percent of the ideal.
SceneLight RandomLight(cv::RNG& rng);

/// The position as the camera sees it, 8-bit BGR, passed through JPEG like a camera's picture.
cv::Mat RenderBoard(const Position& position, const SceneCamera& camera, const SceneLight& light,
                    cv::RNG& rng);

/// A short game with known moves, in SAN from the start position.
struct SceneGame {
    std::string name;
    std::vector<std::string> moves;
};
/// Games that between them hold captures, both castlings, en passant, promotions (one to a knight),
/// checks and a mate.
std::vector<SceneGame> SceneGames();
