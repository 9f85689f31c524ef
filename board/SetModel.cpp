#include "SetModel.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace {
// The starting picture is measured at about this many pixels a square: enough to see a piece's lean, few
// enough to try a few hundred cameras at once.
constexpr double kModelSquarePixels = 24;
// Pixels this close to a square's edge, in squares, belong to neither square: the grid lines, and the
// corners' own error.
constexpr double kEdgeShare = 0.08;
// A square's own colour is measured on its middle, this far in from its edge (in squares).
constexpr double kMiddleShare = 0.25;
// A pixel shows something on the board when its colour is farther from its square's colour than this
// many times the median distance on the empty middle of the board, and at least the floor (8-bit Lab).
constexpr double kForegroundOverSpread = 4.0;
constexpr double kMinForegroundDistance = 14.0;
// The pieces' outlines fitted to what they cover: slimmer cylinders than the regions a move is weighed
// over, which must take a piece off its square's centre too.
constexpr double kFitRadius = 0.3;
// The leans tried first, in squares of picture per square of height, each way, and the step between
// them; the best are then refined, the step halved this many times.
constexpr double kMaxLean = 1.0;
constexpr double kLeanStep = 0.2;
constexpr int kRefinements = 5;
// How far the perspective part of the vertical is stepped at first (in the homography's scale).
constexpr double kPerspectiveStep = 0.02;
// A learnt vertical replaces the camera guessed from the corners when its pieces cover what the picture
// shows better by this much (intersection over union): where the guess is right it stays.
constexpr double kMinGain = 0.03;

struct Fit {
    cv::Mat label;      // each pixel's square plus 1, 0 near the grid lines and off the board
    cv::Mat foreground; // pixels unlike their square's colour
    cv::Size size;
    BoardCorners corners;

    // How well the start position's pieces, seen through this vertical, cover the foreground.
    double Overlap(const BoardVertical& vertical) const
    {
        const BoardView view(corners, size, vertical);
        cv::Mat pieces = cv::Mat::zeros(size, CV_8U);
        const Position start = Position::Start();
        for (Square s = 0; s < 64; ++s)
            if (const PieceType type = start.at(s).type; type != PieceType::None)
                cv::fillConvexPoly(pieces, PieceRegion(view, s, kFitRadius, ShapeOf(type).height), 255);
        const cv::Mat board = label > 0;
        const int both = cv::countNonZero(pieces & foreground & board);
        const int either = cv::countNonZero((pieces | foreground) & board);
        return either == 0 ? 0.0 : double(both) / either;
    }
};

// The square's inner quadrilateral, `inset` squares in from its edges, in picture pixels.
std::vector<cv::Point> Inner(const BoardView& view, Square s, double inset)
{
    std::vector<cv::Point> quad;
    const double x = FileOf(s), y = RankOf(s);
    for (const cv::Point2d& p : {cv::Point2d(x + inset, y + inset), {x + 1 - inset, y + inset},
                                 {x + 1 - inset, y + 1 - inset}, {x + inset, y + 1 - inset}}) {
        const cv::Point2d q = view.project({p.x, p.y, 0});
        quad.emplace_back(cvRound(q.x), cvRound(q.y));
    }
    return quad;
}

bool Light(Square s)
{
    return (FileOf(s) + RankOf(s)) % 2 == 1;
}

cv::Vec3d MedianColour(const cv::Mat& lab, const cv::Mat& mask)
{
    cv::Vec3d colour;
    std::vector<cv::Mat> channels;
    cv::split(lab, channels);
    for (int c = 0; c < 3; ++c) {
        std::vector<uchar> values;
        for (int y = 0; y < lab.rows; ++y)
            for (int x = 0; x < lab.cols; ++x)
                if (mask.at<uchar>(y, x))
                    values.push_back(channels[size_t(c)].at<uchar>(y, x));
        if (values.empty())
            return colour;
        std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
        colour[c] = values[values.size() / 2];
    }
    return colour;
}
} // namespace

SetModel LearnSetModel(const cv::Mat& start, const BoardCorners& corners)
{
    SetModel model;
    if (start.empty() || start.type() != CV_8UC3)
        return model;
    const double side = std::sqrt(SquareArea(corners, start.size()));
    const double scale = std::min(1.0, kModelSquarePixels / side);
    cv::Mat small, lab;
    cv::resize(start, small, cv::Size(), scale, scale, cv::INTER_AREA);
    cv::cvtColor(small, lab, cv::COLOR_BGR2Lab);

    Fit fit;
    fit.size = small.size();
    fit.corners = corners;
    const BoardView plane(corners, fit.size);
    fit.label = cv::Mat::zeros(fit.size, CV_8U);
    for (Square s = 0; s < 64; ++s)
        cv::fillConvexPoly(fit.label, Inner(plane, s, kEdgeShare), s + 1);

    // The empty squares' colours, light and dark, from the middle of ranks 3 to 6.
    std::vector<cv::Vec3d> colours[2];
    for (Square s = 16; s < 48; ++s) {
        cv::Mat middle = cv::Mat::zeros(fit.size, CV_8U);
        cv::fillConvexPoly(middle, Inner(plane, s, kMiddleShare), 255);
        colours[Light(s)].push_back(MedianColour(lab, middle));
    }
    cv::Vec3d squareColour[2];
    for (int light = 0; light < 2; ++light)
        for (int c = 0; c < 3; ++c) {
            std::vector<double> values;
            for (const cv::Vec3d& v : colours[light])
                values.push_back(v[c]);
            std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
            squareColour[light][c] = values[values.size() / 2];
        }

    // Each pixel's distance from its own square's colour; the middle ranks' median is what the board
    // itself strays by.
    cv::Mat distance(fit.size, CV_32F, cv::Scalar(0));
    std::vector<float> spread;
    for (int y = 0; y < fit.size.height; ++y)
        for (int x = 0; x < fit.size.width; ++x) {
            const int label = fit.label.at<uchar>(y, x);
            if (label == 0)
                continue;
            const cv::Vec3b p = lab.at<cv::Vec3b>(y, x);
            const cv::Vec3d& own = squareColour[Light(Square(label - 1))];
            const float d = float(cv::norm(cv::Vec3d(p[0], p[1], p[2]) - own));
            distance.at<float>(y, x) = d;
            if (label - 1 >= 24 && label - 1 < 40) // ranks 4 and 5: the farthest from any piece
                spread.push_back(d);
        }
    if (spread.empty())
        return model;
    std::nth_element(spread.begin(), spread.begin() + std::ptrdiff_t(spread.size() / 2), spread.end());
    const double threshold = std::max(kMinForegroundDistance, kForegroundOverSpread * spread[spread.size() / 2]);
    fit.foreground = (distance > threshold) & (fit.label > 0);

    // Leans tried across the picture, then the best refined together with the guessed camera's.
    const BoardVertical guess = plane.vertical();
    const double guessed = fit.Overlap(guess);
    std::vector<std::pair<double, BoardVertical>> tried;
    const double sx = side * scale / fit.size.width, sy = side * scale / fit.size.height;
    for (double dx = -kMaxLean; dx <= kMaxLean + 1e-9; dx += kLeanStep)
        for (double dy = -kMaxLean; dy <= kMaxLean + 1e-9; dy += kLeanStep) {
            const BoardVertical v(dx * sx, dy * sy, 0);
            tried.emplace_back(fit.Overlap(v), v);
        }
    std::sort(tried.begin(), tried.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    tried.resize(std::min<size_t>(tried.size(), 2));
    tried.emplace_back(guessed, guess);
    double best = -1;
    BoardVertical bestVertical = guess;
    for (auto [overlap, v] : tried) {
        cv::Vec3d step(kLeanStep / 2 * sx, kLeanStep / 2 * sy, kPerspectiveStep);
        for (int round = 0; round < kRefinements; ++round, step *= 0.5)
            for (bool better = true; better;) {
                better = false;
                for (int c = 0; c < 3; ++c)
                    for (double sign : {-1.0, 1.0}) {
                        BoardVertical w = v;
                        w[c] += sign * step[c];
                        if (const double o = fit.Overlap(w); o > overlap) {
                            overlap = o, v = w, better = true;
                        }
                    }
            }
        if (overlap > best)
            best = overlap, bestVertical = v;
    }
    if (best > guessed + kMinGain)
        model.vertical = bestVertical;
    return model;
}
