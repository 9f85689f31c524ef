#include "BoardScene.h"

#include <algorithm>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {
const cv::Scalar kTable(60, 80, 95), kFrame(30, 55, 90), kLight(150, 205, 230), kDark(75, 115, 160);
const cv::Scalar kWhitePiece(200, 206, 212), kBlackPiece(40, 38, 48);
constexpr int kRing = 24; // points per circle of a piece's outline

// The top's radius as a share of the base's: bishops and queens taper, rooks do not.
double TopShare(PieceType type)
{
    switch (type) {
    case PieceType::Bishop:
    case PieceType::Queen:
        return 0.45;
    case PieceType::Pawn:
        return 0.6;
    case PieceType::Knight:
        return 0.75;
    default:
        return 0.85;
    }
}

cv::Vec3d CameraPoint(const SceneCamera& c, const cv::Point3d& p)
{
    return c.rotation * cv::Vec3d(p.x, p.y, p.z) + c.translation;
}

cv::Point2f Project(const SceneCamera& c, const cv::Point3d& p)
{
    const cv::Vec3d v = c.intrinsics * CameraPoint(c, p);
    return {float(v[0] / v[2]), float(v[1] / v[2])};
}

void FillQuad(cv::Mat& image, const SceneCamera& c, double x0, double y0, double x1, double y1,
              const cv::Scalar& colour)
{
    std::vector<cv::Point> quad;
    for (const cv::Point3d& p :
         {cv::Point3d(x0, y0, 0), cv::Point3d(x1, y0, 0), cv::Point3d(x1, y1, 0), cv::Point3d(x0, y1, 0)}) {
        const cv::Point2f q = Project(c, p);
        quad.emplace_back(cvRound(q.x * 16), cvRound(q.y * 16));
    }
    cv::fillConvexPoly(image, quad, colour, cv::LINE_AA, 4);
}

std::vector<cv::Point> Ring(const SceneCamera& c, cv::Point2d centre, double radius, double z)
{
    std::vector<cv::Point> ring;
    for (int i = 0; i < kRing; ++i) {
        const double a = 2 * CV_PI * i / kRing;
        const cv::Point2f q =
            Project(c, {centre.x + radius * std::cos(a), centre.y + radius * std::sin(a), z});
        ring.emplace_back(cvRound(q.x * 16), cvRound(q.y * 16));
    }
    return ring;
}

void DrawPiece(cv::Mat& image, const SceneCamera& c, Square s, Piece piece)
{
    const PieceShape shape = ShapeOf(piece.type);
    const cv::Point2d centre(FileOf(s) + 0.5, RankOf(s) + 0.5);
    const double top = shape.radius * TopShare(piece.type);
    // A knight's head stands off its body and makes up its height.
    const double bodyHeight = piece.type == PieceType::Knight ? shape.height - 0.25 : shape.height;
    std::vector<cv::Point> outline = Ring(c, centre, shape.radius, 0);
    const std::vector<cv::Point> cap = Ring(c, centre, top, bodyHeight);
    outline.insert(outline.end(), cap.begin(), cap.end());
    std::vector<cv::Point> hull;
    cv::convexHull(outline, hull);
    const cv::Scalar body = piece.colour == Colour::White ? kWhitePiece : kBlackPiece;
    cv::fillConvexPoly(image, hull, body * 0.8, cv::LINE_AA, 4);
    cv::polylines(image, hull, true, body * 0.55, 1, cv::LINE_AA, 4);
    cv::fillConvexPoly(image, cap, body + cv::Scalar::all(25), cv::LINE_AA, 4);
    if (piece.type == PieceType::Knight) {
        std::vector<cv::Point> head = Ring(c, centre + cv::Point2d(0.0, 0.12), top * 0.7, shape.height);
        head.insert(head.end(), cap.begin(), cap.end());
        std::vector<cv::Point> headHull;
        cv::convexHull(head, headHull);
        cv::fillConvexPoly(image, headHull, body * 0.9, cv::LINE_AA, 4);
    }
}

SceneCamera LookAt(cv::Vec3d eye, cv::Vec3d target, cv::Vec3d up, double focal, cv::Size size)
{
    const cv::Vec3d forward = cv::normalize(target - eye);
    const cv::Vec3d right = cv::normalize(forward.cross(up));
    const cv::Vec3d down = forward.cross(right);
    SceneCamera c;
    c.rotation = cv::Matx33d(right[0], right[1], right[2], down[0], down[1], down[2], forward[0], forward[1],
                             forward[2]);
    c.translation = -(c.rotation * eye);
    c.intrinsics = cv::Matx33d(focal, 0, size.width / 2.0, 0, focal, size.height / 2.0, 0, 0, 1);
    c.size = size;
    return c;
}
} // namespace

SceneCamera MakeSceneCamera(Viewpoint viewpoint, cv::Size size)
{
    if (viewpoint == Viewpoint::Overhead)
        return LookAt({4.2, 3.7, 12.0}, {4.0, 4.0, 0.0}, {0, 1, 0}, 1.0 * size.width, size);
    return LookAt({13.0, 3.4, 9.3}, {3.9, 4.0, 0.0}, {0, 0, 1}, 1.05 * size.width, size);
}

BoardCorners CornersSeenBy(const SceneCamera& camera)
{
    BoardCorners corners;
    const cv::Point3d board[4] = {{0, 0, 0}, {8, 0, 0}, {8, 8, 0}, {0, 8, 0}};
    for (int i = 0; i < 4; ++i) {
        const cv::Point2f p = Project(camera, board[i]);
        corners.points[i] = {p.x / camera.size.width, p.y / camera.size.height};
    }
    return corners;
}

SceneLight RandomLight(cv::RNG& rng)
{
    return {rng.uniform(0.92, 1.08), rng.uniform(-0.06, 0.06), rng.uniform(2.0, 4.0)};
}

cv::Mat RenderBoard(const Position& position, const SceneCamera& camera, const SceneLight& light,
                    cv::RNG& rng)
{
    cv::Mat image(camera.size, CV_8UC3, kTable);
    FillQuad(image, camera, -0.45, -0.45, 8.45, 8.45, kFrame);
    for (Square s = 0; s < 64; ++s)
        FillQuad(image, camera, FileOf(s), RankOf(s), FileOf(s) + 1, RankOf(s) + 1,
                 (FileOf(s) + RankOf(s)) % 2 == 0 ? kDark : kLight);
    // Painter's order: the pieces farthest from the camera first.
    std::vector<std::pair<double, Square>> order;
    for (Square s = 0; s < 64; ++s)
        if (position.at(s).type != PieceType::None)
            order.push_back({CameraPoint(camera, {FileOf(s) + 0.5, RankOf(s) + 0.5, 0})[2], s});
    std::sort(order.rbegin(), order.rend());
    for (const auto& [depth, s] : order)
        DrawPiece(image, camera, s, position.at(s));

    cv::Mat shaded;
    image.convertTo(shaded, CV_32FC3);
    cv::Mat ramp(1, camera.size.width, CV_32F);
    for (int x = 0; x < camera.size.width; ++x)
        ramp.at<float>(x) =
            float(light.gain * (1.0 + light.gradient * (double(x) / camera.size.width - 0.5)));
    cv::Mat gains;
    cv::merge(std::vector<cv::Mat>(3, cv::repeat(ramp, camera.size.height, 1)), gains);
    shaded = shaded.mul(gains);
    cv::Mat noise(camera.size, CV_32FC3);
    rng.fill(noise, cv::RNG::NORMAL, 0.0, light.noise);
    shaded += noise;
    shaded.convertTo(image, CV_8UC3);
    std::vector<uchar> jpeg;
    cv::imencode(".jpg", image, jpeg, {cv::IMWRITE_JPEG_QUALITY, 90});
    return cv::imdecode(jpeg, cv::IMREAD_COLOR);
}

std::vector<SceneGame> SceneGames()
{
    return {
        {"castling short and en passant",
         {"e4",  "d5",  "e5", "f5", "exf6", "Nxf6", "Nf3", "e6",  "Be2",  "Be7",
          "O-O", "O-O", "d4", "c5", "dxc5", "Bxc5", "Bg5", "Qb6", "Bxf6", "Rxf6"}},
        {"castling long and checks",
         {"d4",  "d5",  "Nc3",  "Nc6",  "Bf4", "Bf5",  "Qd2",  "Qd7",  "O-O-O", "O-O-O", "e3",  "e6",
          "Bb5", "Bb4", "Bxc6", "Qxc6", "Qe2", "Bxc3", "bxc3", "Qxc3", "Qb5",   "Qa1+",  "Kd2", "Qxa2"}},
        {"scholar's mate", {"e4", "e5", "Bc4", "Nc6", "Qh5", "Nf6", "Qxf7#"}},
        {"promotions",
         {"a4",   "b5",  "axb5", "a6", "bxa6", "Bb7",  "axb7",   "Nc6",  "bxa8=Q", "Qxa8", "h4",  "g5",
          "hxg5", "Bg7", "g6",   "e6", "gxh7", "Bxb2", "hxg8=N", "Rxg8", "Bxb2",   "Qxa1", "Bxa1"}},
        {"en passant for black",
         {"Nf3",  "c5", "g3",   "c4",   "b4",  "cxb3", "axb3", "e5",   "Bg2", "e4",   "Nd4",  "Bc5", "O-O",
          "Bxd4", "c3", "Bxc3", "Nxc3", "Nf6", "Nxe4", "Nxe4", "Bxe4", "d5",  "Bxd5", "Qxd5", "Ra5", "Qxa5"}},
    };
}
