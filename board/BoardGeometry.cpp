#include "BoardGeometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {
// A camera whose perspective cannot be measured from the board (it looks straight down) is taken to
// have a focal length of this many picture widths, a common webcam's field of view of about 55 degrees.
constexpr double kDefaultFocalWidths = 1.0;
// Focal lengths outside these bounds (in picture widths) come from noise in nearly fronto-parallel
// corners, not from a real lens.
constexpr double kMinFocalWidths = 0.3;
constexpr double kMaxFocalWidths = 6.0;
// A region's outline is drawn through this many points around each of its ends.
constexpr int kRegionPoints = 16;
// Points farther off than this (in pixels) are drawn at this distance: a point behind the camera's horizon
// projects anywhere.
constexpr double kFarPixels = 1e5;
} // namespace

std::optional<BoardCorners> ParseBoardCorners(const std::string& text)
{
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        fields.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    // Earlier versions wrote the fractions with the locale's decimal comma ("0,2100,0,8300,..."): sixteen
    // fields whose even ones are the whole parts 0 or 1 can only mean that.
    if (fields.size() == 16 && std::all_of(fields.begin(), fields.end(), [](const std::string& f) {
            return !f.empty() && f.find_first_not_of("0123456789") == std::string::npos;
        })) {
        std::vector<std::string> joined;
        for (size_t i = 0; i < 16; i += 2) {
            if (fields[i] != "0" && fields[i] != "1")
                return std::nullopt;
            joined.push_back(fields[i] + "." + fields[i + 1]);
        }
        fields = joined;
    }
    if (fields.size() != 8)
        return std::nullopt;
    BoardCorners c;
    for (size_t i = 0; i < 8; ++i) {
        // Blanks around a number are allowed, as a hand-written setting may have them.
        const size_t first = fields[i].find_first_not_of(" \t"), last = fields[i].find_last_not_of(" \t");
        if (first == std::string::npos)
            return std::nullopt;
        const char* begin = fields[i].data() + first;
        const char* end = fields[i].data() + last + 1;
        double& value = i % 2 == 0 ? c.points[i / 2].x : c.points[i / 2].y;
        if (const auto [at, error] = std::from_chars(begin, end, value);
            error != std::errc() || at != end || !(value >= 0 && value <= 1))
            return std::nullopt;
    }
    std::vector<cv::Point2f> contour(c.points.begin(), c.points.end());
    if (!cv::isContourConvex(contour) || cv::contourArea(contour) < 1e-4)
        return std::nullopt;
    return c;
}

std::string FormatBoardCorners(const BoardCorners& corners)
{
    std::string text;
    for (const cv::Point2d& p : corners.points)
        for (double value : {p.x, p.y}) {
            char number[32];
            const auto end =
                std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, 4).ptr;
            text += (text.empty() ? "" : ",") + std::string(number, end);
        }
    return text;
}

PieceShape ShapeOf(PieceType type)
{
    // None, pawn, knight (whose head reaches out past its base), bishop, rook, queen, king.
    constexpr PieceShape shapes[] = {{0.0, 0.0}, {0.85, 0.27}, {1.05, 0.36}, {1.25, 0.3},
                                     {0.9, 0.3}, {1.45, 0.33}, {1.65, 0.34}};
    return shapes[static_cast<int>(type)];
}

BoardView::BoardView(const BoardCorners& corners, cv::Size size, const std::optional<BoardVertical>& vertical)
{
    const cv::Point2f board[4] = {{0, 0}, {8, 0}, {8, 8}, {0, 8}};
    cv::Point2f picture[4];
    for (int i = 0; i < 4; ++i)
        picture[i] = cv::Point2f(corners.points[i].x * size.width, corners.points[i].y * size.height);
    m_homography = cv::getPerspectiveTransform(board, picture);
    m_size = size;
    if (vertical) {
        const cv::Vec3d up((*vertical)[0] * size.width, (*vertical)[1] * size.height, (*vertical)[2]);
        const cv::Matx33d& h = m_homography;
        m_camera = cv::Matx34d(h(0, 0), h(0, 1), up[0], h(0, 2), h(1, 0), h(1, 1), up[1], h(1, 2), h(2, 0),
                               h(2, 1), up[2], h(2, 2));
        return;
    }

    // H = s K [r1 r2 t] with the principal point moved to the origin; r1 and r2 are orthogonal and of
    // equal length, which gives the focal length when the board is seen at an angle.
    const double cx = size.width / 2.0, cy = size.height / 2.0;
    const cv::Matx33d shift(1, 0, -cx, 0, 1, -cy, 0, 0, 1);
    const cv::Matx33d h = shift * m_homography;
    const cv::Vec3d h1(h(0, 0), h(1, 0), h(2, 0)), h2(h(0, 1), h(1, 1), h(2, 1)),
        h3(h(0, 2), h(1, 2), h(2, 2));
    double f = kDefaultFocalWidths * size.width;
    const double orthogonal = -(h1[0] * h2[0] + h1[1] * h2[1]) / (h1[2] * h2[2]);
    const double equal =
        -(h1[0] * h1[0] + h1[1] * h1[1] - h2[0] * h2[0] - h2[1] * h2[1]) / (h1[2] * h1[2] - h2[2] * h2[2]);
    for (double f2 : {orthogonal, equal}) {
        if (std::isfinite(f2) && f2 > 0 && std::sqrt(f2) > kMinFocalWidths * size.width &&
            std::sqrt(f2) < kMaxFocalWidths * size.width) {
            f = std::sqrt(f2);
            break;
        }
    }
    const cv::Matx33d k(f, 0, 0, 0, f, 0, 0, 0, 1), kInv = k.inv();
    cv::Vec3d r1 = kInv * h1, r2 = kInv * h2, t = kInv * h3;
    double scale = 2.0 / (cv::norm(r1) + cv::norm(r2));
    if (t[2] * scale < 0)
        scale = -scale; // the board lies in front of the camera
    r1 *= scale;
    r2 *= scale;
    t *= scale;
    const cv::Vec3d r3 = r1.cross(r2);
    const cv::Matx34d rt(r1[0], r2[0], r3[0], t[0], r1[1], r2[1], r3[1], t[1], r1[2], r2[2], r3[2], t[2]);
    m_camera = shift.inv() * k * rt;
}

cv::Point2d BoardView::project(const cv::Point3d& p) const
{
    const cv::Vec3d v = m_camera * cv::Vec4d(p.x, p.y, p.z, 1.0);
    return {v[0] / v[2], v[1] / v[2]};
}

BoardVertical BoardView::vertical() const
{
    // The homography in pixels has 1 at its bottom right as the one in fractions does: one scale serves both.
    // An estimated camera has the homography's columns at another scale: its own is taken out.
    const double scale = m_homography(2, 2) / m_camera(2, 3);
    return {scale * m_camera(0, 2) / m_size.width, scale * m_camera(1, 2) / m_size.height,
            scale * m_camera(2, 2)};
}

cv::Point2d BoardView::toBoard(const cv::Point2d& p) const
{
    const cv::Vec3d v = m_homography.inv() * cv::Vec3d(p.x, p.y, 1.0);
    return {v[0] / v[2], v[1] / v[2]};
}

cv::Mat BoardView::warpTopDown(const cv::Mat& picture, int pixelsPerSquare, int margin) const
{
    const double s = pixelsPerSquare;
    const cv::Matx33d toTopDown(s, 0, margin * s, 0, -s, (8 + margin) * s, 0, 0, 1);
    cv::Mat out;
    const int side = (8 + 2 * margin) * pixelsPerSquare;
    cv::warpPerspective(picture, out, toTopDown * m_homography.inv(), cv::Size(side, side), cv::INTER_LINEAR,
                        cv::BORDER_REPLICATE);
    return out;
}

std::vector<cv::Point> PieceRegion(const BoardView& view, Square s, double radius, double height)
{
    std::vector<cv::Point> points, hull;
    for (double z : {0.0, height})
        for (int i = 0; i < kRegionPoints; ++i) {
            const double a = 2 * CV_PI * i / kRegionPoints;
            const cv::Point2d p = view.project(
                {FileOf(s) + 0.5 + radius * std::cos(a), RankOf(s) + 0.5 + radius * std::sin(a), z});
            points.emplace_back(cvRound(std::clamp(p.x, -kFarPixels, kFarPixels)),
                                cvRound(std::clamp(p.y, -kFarPixels, kFarPixels)));
        }
    cv::convexHull(points, hull);
    return hull;
}

double SquareArea(const BoardCorners& corners, cv::Size size)
{
    std::vector<cv::Point2f> quad;
    for (const cv::Point2d& p : corners.points)
        quad.emplace_back(float(p.x * size.width), float(p.y * size.height));
    return std::max(1.0, cv::contourArea(quad) / 64);
}
