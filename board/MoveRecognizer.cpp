#include "MoveRecognizer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <opencv2/imgproc.hpp>

namespace {
// Pictures wider than this are shrunk first: the top-down view has less detail than that anyway.
constexpr int kMaxWorkingWidth = 800;
// The top-down view's scale, and the squares of margin around the board, where the tops of tall pieces on
// the edge squares reach when seen from the side.
constexpr int kPixelsPerSquare = 24;
constexpr int kMarginSquares = 2;
// A pixel counts as changed when its difference exceeds this many times the median difference over the
// board, which is the sensor noise and JPEG loss: most of the board does not change in one move.
constexpr double kChangeOverNoise = 3.0;
// The change threshold never falls below this (summed over three channels), for clean pictures.
constexpr double kMinChangeLevel = 24.0;
// Where the best move's regions and the runner-up's differ, the best must be ahead by this share of the
// change threshold per pixel to be certain: the right move gains about the threshold on every pixel the
// other claims in vain, a wrong one loses it.
constexpr double kClearLeadPerPixel = 0.4;
// Promotions to different pieces differ in the pieces' shapes only, which the upright model matches less
// well than it matches where pieces stand: telling them apart needs this much more lead per pixel. Seen
// from above, a knight's head can outweigh a queen's height.
constexpr double kClearPromotionLeadPerPixel = 4.0;
// Two moves whose regions differ in fewer pixels than this share of a square (two promotions seen from
// above) are not told apart by the pictures.
constexpr double kMinTellingArea = 0.25;
// The best move must explain at least this share of the change seen on the board; less means something
// else changed too (a hand, a knocked piece, a moved camera).
constexpr double kMinExplained = 0.55;
// The best move must lead this many runners-up clearly: the four promotions on one square come together.
constexpr size_t kRivals = 3;
// Points on each circle of a piece's outline.
constexpr int kOutlinePoints = 16;

struct Change {
    Square square;
    Piece before, after;
};

// The squares a move alters, with what stood there before and after.
std::vector<Change> ChangesOf(const Position& before, const Position& after)
{
    std::vector<Change> changes;
    for (Square s = 0; s < 64; ++s)
        if (!(before.at(s) == after.at(s)))
            changes.push_back({s, before.at(s), after.at(s)});
    return changes;
}

/// The regions that upright pieces cover in the top-down view.
class Silhouettes {
public:
    explicit Silhouettes(const BoardView& view) : m_view(view) {}

    const std::vector<cv::Point>& of(Square s, PieceType type)
    {
        std::vector<cv::Point>& hull = m_cache[s * 8 + int(type)];
        if (!hull.empty())
            return hull;
        const PieceShape shape = ShapeOf(type);
        const double cx = FileOf(s) + 0.5, cy = RankOf(s) + 0.5;
        std::vector<cv::Point> points;
        for (double z : {0.0, shape.height}) {
            const double r = z == 0.0 ? shape.radius : shape.radius * PieceShape::kTopShare;
            for (int i = 0; i < kOutlinePoints; ++i) {
                const double a = 2 * CV_PI * i / kOutlinePoints;
                const cv::Point3d p(cx + r * std::cos(a), cy + r * std::sin(a), z);
                points.push_back(ToTopDown(m_view.toBoard(m_view.project(p))));
            }
        }
        cv::convexHull(points, hull);
        return hull;
    }

    static cv::Point ToTopDown(cv::Point2d board)
    {
        const double x = (board.x + kMarginSquares) * kPixelsPerSquare;
        const double y = (8 + kMarginSquares - board.y) * kPixelsPerSquare;
        constexpr double far = 1e5; // keeps points behind the camera's horizon drawable
        return {cvRound(std::clamp(x, -far, far)), cvRound(std::clamp(y, -far, far))};
    }

private:
    const BoardView& m_view;
    std::map<int, std::vector<cv::Point>> m_cache;
};

double Median(const cv::Mat& values, const cv::Mat& mask)
{
    cv::Mat bytes;
    values.convertTo(bytes, CV_8U);
    int histogram[256] = {};
    int count = 0;
    for (int y = 0; y < bytes.rows; ++y)
        for (int x = 0; x < bytes.cols; ++x)
            if (mask.at<uchar>(y, x)) {
                ++histogram[bytes.at<uchar>(y, x)];
                ++count;
            }
    for (int v = 0, seen = 0; v < 256; ++v)
        if ((seen += histogram[v]) * 2 >= count)
            return v;
    return 255;
}

// The light of the new view matched to the old one's: per channel, a gain that changes linearly across
// the board, fitted over the board pixels that did not change.
cv::Mat MatchLight(const cv::Mat& before, const cv::Mat& after, const cv::Mat& unchanged)
{
    cv::Mat matched(after.size(), CV_32FC3);
    for (int ch = 0; ch < 3; ++ch) {
        cv::Matx33d normal = cv::Matx33d::zeros();
        cv::Vec3d right(0, 0, 0);
        // Every other pixel each way is plenty for three unknowns.
        for (int y = 0; y < after.rows; y += 2) {
            for (int x = 0; x < after.cols; x += 2) {
                if (!unchanged.at<uchar>(y, x))
                    continue;
                const double a = after.at<cv::Vec3f>(y, x)[ch], u = double(x) / after.cols,
                             v = double(y) / after.rows;
                const cv::Vec3d row(a, a * u, a * v);
                normal += row * row.t();
                right += row * double(before.at<cv::Vec3f>(y, x)[ch]);
            }
        }
        cv::Vec3d gain(1, 0, 0);
        if (cv::determinant(normal) > 0)
            cv::solve(normal, right, gain, cv::DECOMP_CHOLESKY);
        for (int y = 0; y < after.rows; ++y)
            for (int x = 0; x < after.cols; ++x)
                matched.at<cv::Vec3f>(y, x)[ch] =
                    float(after.at<cv::Vec3f>(y, x)[ch] *
                          (gain[0] + gain[1] * x / after.cols + gain[2] * y / after.rows));
    }
    return matched;
}

// The per-pixel difference of two top-down views, summed over the channels, once the light is matched,
// so that a change of light is not a move. Sets the threshold of a real change.
cv::Mat Difference(const cv::Mat& before, const cv::Mat& after, const cv::Mat& board, double& threshold)
{
    cv::Mat diff, unchanged = board.clone();
    for (int pass = 0; pass < 2; ++pass) {
        cv::Mat channels;
        cv::absdiff(before, MatchLight(before, after, unchanged), channels);
        cv::transform(channels, diff, cv::Matx13f(1, 1, 1));
        threshold = std::max(kMinChangeLevel, kChangeOverNoise * Median(diff, board));
        unchanged = board & (diff < threshold);
    }
    return diff;
}
} // namespace

MoveReading RecognizeMove(const cv::Mat& previous, const cv::Mat& next, const Position& position,
                          const BoardCorners& corners)
{
    MoveReading reading;
    for (const Move& m : position.legalMoves())
        reading.candidates.push_back({m});
    if (previous.empty() || next.empty() || previous.type() != CV_8UC3 || next.type() != CV_8UC3 ||
        reading.candidates.empty())
        return reading;

    cv::Mat before = previous, after = next;
    if (before.cols > kMaxWorkingWidth) {
        const double scale = double(kMaxWorkingWidth) / before.cols;
        cv::resize(before, before, cv::Size(), scale, scale, cv::INTER_AREA);
    }
    if (after.size() != before.size())
        cv::resize(after, after, before.size(), 0, 0, cv::INTER_AREA);
    const BoardView view(corners, before.size());
    cv::Mat top[2];
    for (int i = 0; i < 2; ++i) {
        view.warpTopDown(i == 0 ? before : after, kPixelsPerSquare, kMarginSquares)
            .convertTo(top[i], CV_32FC3);
        cv::GaussianBlur(top[i], top[i], cv::Size(3, 3), 0);
    }
    const int side = top[0].rows;
    cv::Mat board = cv::Mat::zeros(side, side, CV_8U);
    board(cv::Rect(kMarginSquares * kPixelsPerSquare, kMarginSquares * kPixelsPerSquare, 8 * kPixelsPerSquare,
                   8 * kPixelsPerSquare)) = 255;
    double threshold = 0;
    const cv::Mat diff = Difference(top[0], top[1], board, threshold);
    const cv::Mat evidence = diff - threshold;
    cv::Mat positive;
    cv::threshold(evidence, positive, 0, 0, cv::THRESH_TOZERO);
    const double totalChange = std::max(cv::sum(positive)[0], 1.0);

    Silhouettes silhouettes(view);
    double depth[64];
    for (Square s = 0; s < 64; ++s)
        depth[s] = view.depth({FileOf(s) + 0.5, RankOf(s) + 0.5, 0});
    const cv::Rect picture(0, 0, side, side);
    cv::Mat own(side, side, CV_8U);
    // Marks in `mask` (zero outside the returned rectangle) the top-down pixels the move changes.
    auto regions = [&](const Move& move, cv::Mat& mask) {
        const std::vector<Change> changes = ChangesOf(position, position.play(move));
        bool changed[64] = {};
        cv::Rect roi;
        for (const Change& change : changes) {
            changed[change.square] = true;
            for (Piece p : {change.before, change.after})
                if (p.type != PieceType::None)
                    roi |= cv::boundingRect(silhouettes.of(change.square, p.type));
        }
        roi &= picture;
        mask(roi) = 0;
        const cv::Point offset = -roi.tl();
        for (const Change& change : changes) {
            cv::Mat part = own(roi);
            part = 0;
            for (Piece p : {change.before, change.after})
                if (p.type != PieceType::None)
                    cv::fillPoly(part, std::vector{silhouettes.of(change.square, p.type)}, 255, cv::LINE_8, 0,
                                 offset);
            // What a piece that stays, nearer to the camera, hides of this square cannot change.
            for (Square s = 0; s < 64; ++s) {
                if (!changed[s] && position.at(s).type != PieceType::None &&
                    depth[s] < depth[change.square]) {
                    const std::vector<cv::Point>& hull = silhouettes.of(s, position.at(s).type);
                    if ((cv::boundingRect(hull) & roi).area() > 0)
                        cv::fillPoly(part, std::vector{hull}, 0, cv::LINE_8, 0, offset);
                }
            }
            mask(roi) |= part;
        }
        return roi;
    };
    cv::Mat mask(side, side, CV_8U);
    for (MoveCandidate& c : reading.candidates) {
        const cv::Rect roi = regions(c.move, mask);
        const int area = cv::countNonZero(mask(roi));
        c.score = cv::mean(evidence(roi), mask(roi))[0] * area;
        c.explained = cv::mean(positive(roi), mask(roi))[0] * area / totalChange;
    }
    std::stable_sort(reading.candidates.begin(), reading.candidates.end(),
                     [](const MoveCandidate& a, const MoveCandidate& b) { return a.score > b.score; });

    const MoveCandidate& best = reading.candidates[0];
    bool clearLead = true;
    cv::Mat mine = cv::Mat::zeros(side, side, CV_8U), theirs(side, side, CV_8U);
    regions(best.move, mine);
    for (size_t i = 1; i < std::min(reading.candidates.size(), kRivals + 1); ++i) {
        theirs = 0;
        regions(reading.candidates[i].move, theirs);
        const double telling = std::max<double>(cv::countNonZero(mine ^ theirs),
                                                kMinTellingArea * kPixelsPerSquare * kPixelsPerSquare);
        const double lead = best.score - reading.candidates[i].score;
        const bool promotions =
            best.move.promotion != PieceType::None && reading.candidates[i].move.promotion != PieceType::None;
        const double perPixel = promotions ? kClearPromotionLeadPerPixel : kClearLeadPerPixel;
        clearLead = clearLead && lead >= perPixel * threshold * telling;
    }
    reading.uncertain = best.score <= 0 || !clearLead || best.explained < kMinExplained;
    // Between promotions on one square that the pictures do not tell apart, the queen is the rule.
    if (reading.uncertain && best.move.promotion != PieceType::None) {
        auto queen =
            std::find_if(reading.candidates.begin(), reading.candidates.end(), [&](const MoveCandidate& c) {
                return c.move.from == best.move.from && c.move.to == best.move.to &&
                       c.move.promotion == PieceType::Queen;
            });
        if (queen != reading.candidates.end())
            std::rotate(reading.candidates.begin(), queen, queen + 1);
    }
    return reading;
}
