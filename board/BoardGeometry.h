#pragma once

#include "Position.h"

#include <array>
#include <opencv2/core.hpp>
#include <optional>
#include <string>
#include <vector>

/// Where the playing area lies in a picture: its corners a1, h1, h8, a8 (the outer corners of those
/// squares), as fractions of the picture's width and height, so that they survive a change of resolution.
struct BoardCorners {
    std::array<cv::Point2d, 4> points;
};

/// The corners from "a1x,a1y,h1x,h1y,h8x,h8y,a8x,a8y"; nothing when the text is not eight fractions in
/// [0, 1] making a convex quadrilateral.
std::optional<BoardCorners> ParseBoardCorners(const std::string& text);
std::string FormatBoardCorners(const BoardCorners& corners);

/// The height and base radius of an upright piece, in squares: a typical tournament set, whose king is
/// about 1.7 squares tall. Pieces narrow towards the top, to about `kTopShare` of the base.
struct PieceShape {
    double height;
    double radius;
    static constexpr double kTopShare = 0.6;
};
PieceShape ShapeOf(PieceType type);

/// Where a camera shows height: the picture of one square straight up, as the column of the camera matrix
/// that multiplies height, in picture fractions and in the scale where the corners' homography has 1 at
/// its bottom right. Any pinhole camera has one, whatever its lens and however the picture was cropped,
/// zoomed or straightened; it is learnt from the starting position (see SetModel.h).
using BoardVertical = cv::Vec3d;

/// How a camera sees the board: board points are in squares, a1's outer corner at the origin, x towards
/// the h-file, y towards rank 8 and z up. The board plane comes straight from the corners; points above
/// it from the vertical when it is known, else from a camera estimated from the same corners (the focal
/// length from the board's perspective, the principal point at the picture's centre).
class BoardView {
public:
    BoardView(const BoardCorners& corners, cv::Size pictureSize,
              const std::optional<BoardVertical>& vertical = std::nullopt);

    /// The picture point of a board point, in pixels.
    cv::Point2d project(const cv::Point3d& board) const;
    /// The board-plane point (z = 0) that a picture point shows.
    cv::Point2d toBoard(const cv::Point2d& picture) const;
    /// The picture as seen from straight above: rank 8 at the top, `margin` squares around the board,
    /// `pixelsPerSquare` pixels per square.
    cv::Mat warpTopDown(const cv::Mat& picture, int pixelsPerSquare, int margin) const;
    /// This view's vertical, as BoardVertical holds it.
    BoardVertical vertical() const;

private:
    cv::Matx33d m_homography; // board plane to picture
    cv::Matx34d m_camera;     // board space to picture
    cv::Size m_size;
};

/// The picture region of an upright cylinder standing on a square, `radius` and `height` in squares.
std::vector<cv::Point> PieceRegion(const BoardView& view, Square s, double radius, double height);
/// A square's area in pixels in a picture of `size`.
double SquareArea(const BoardCorners& corners, cv::Size size);
