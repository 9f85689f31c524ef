#include "MoveRecognizer.h"

#include <algorithm>
#include <cmath>
#include <opencv2/calib3d.hpp>
#include <opencv2/features2d.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/video/tracking.hpp>
#include <optional>

namespace {
// Pictures are compared at this width at most: finer detail costs time and settles nothing more.
constexpr int kWorkingWidth = 640;
// Registration runs on copies this wide, then on copies twice as wide to refine.
constexpr int kRegistrationWidth = 160;
constexpr int kEccIterations = 50;
constexpr double kEccEpsilon = 1e-4;
// Two registered pictures of the same board correlate above this (ECC's measure, 1 for equal pictures);
// below it the registration slipped, or the camera moved too far for it, and features are matched.
constexpr double kMinCorrelation = 0.8;
// Matched features needed to believe a homography found from them, after RANSAC's outliers are out.
constexpr int kMinFeatureInliers = 40;
// The camera moved when a corner of the board moved by more than this many working pixels: less is the
// registration's own noise.
constexpr double kMovedPixels = 1.5;
// A coarse registration that moves the picture less than this is the camera standing still.
constexpr double kStillPixels = 1.0;
// A pixel changed when its largest channel difference exceeds this many times the median difference
// over the board (sensor noise, JPEG loss and what the light matching left), and at least the floor.
constexpr double kChangeOverNoise = 4.0;
constexpr double kMinChangeLevel = 18.0;
// A changed region that reaches this close to the picture's edge, and is at least this many squares
// large, is a hand or an arm reaching in, not a piece: no piece on the board touches the edge.
constexpr int kEdgeBand = 6;
constexpr double kMinHandSquares = 1.5;
// An arm crosses the table to reach the board: at least this many squares of a hand's change lie outside
// what pieces on the board can show. A board that fills the picture touches its edge with its pieces.
constexpr double kMinHandOutside = 0.5;
// Changed pixels this close (in working pixels) belong to one thing that changed.
constexpr int kJoinPixels = 9;
// Something that is in one picture and in neither the one before nor the one after is a hand passing,
// when it covers at least this many squares' area: a piece recaptured by one that looks like the piece
// taken leaves less.
constexpr double kMinPassingSquares = 0.5;
// The most the camera may have moved between those pictures for their changes to be compared in place, in
// working pixels: well within what joining the changed pixels spans.
constexpr double kMaxPassingShift = 3.0;
// What a piece on a square can show: a cylinder standing on it, of this radius in squares (wide enough
// for a piece a quarter square off its centre), as tall as the piece. What pieces nearer to the camera
// hide of it is not taken out: real pieces are slimmer than any model of them, and what shows beside
// them is evidence.
constexpr double kRegionRadius = 0.4;
// A square whose region is less visible than this share (the rest under a hand) is hidden.
constexpr double kMinVisibleShare = 0.6;
// A region's pixel counts against a move unless it changed, by this much plus the share that changed over
// the median square: the median takes up what light and shadows changed everywhere.
constexpr double kNoChangeShare = 0.2;
// The best move must lead every rival by this much (in squares' areas of change) to be certain; a rival's
// hidden pixels are counted as if they had changed.
constexpr double kClearLead = 0.2;
// The change the best move leaves unexplained stays below this many squares' area: more means something
// else changed too (a knocked piece, a hand not seen as one). Light and shadows leave up to about 0.8.
constexpr double kMaxUnexplained = 1.0;

cv::Mat Shrunk(const cv::Mat& picture, double scale)
{
    cv::Mat out;
    cv::resize(picture, out, cv::Size(), scale, scale, scale < 1 ? cv::INTER_AREA : cv::INTER_LINEAR);
    return out;
}

cv::Matx33d Scaled(const cv::Matx33d& h, double scale)
{
    const cv::Matx33d s(scale, 0, 0, 0, scale, 0, 0, 0, 1);
    return s * h * s.inv();
}

// How far a change of warp moves the picture's corners, in pixels at most.
double Displacement(const cv::Matx33d& a, const cv::Matx33d& b, cv::Size size)
{
    double most = 0;
    for (const cv::Vec3d& p : {cv::Vec3d(0, 0, 1),
                               {double(size.width), 0, 1},
                               {0, double(size.height), 1},
                               {double(size.width), double(size.height), 1}}) {
        const cv::Vec3d q = a * p, r = b * p;
        most = std::max(most, std::hypot(q[0] / q[2] - r[0] / r[2], q[1] / q[2] - r[1] / r[2]));
    }
    return most;
}

// Intensity-based registration of the new picture to the previous one, coarse to fine from `guess`:
// the homography from previous to new pixels, and the correlation it reached (-1 when it failed).
double RegisterEcc(const cv::Mat& previous, const cv::Mat& next, const cv::Mat& mask, cv::Matx33d& warp)
{
    double correlation = -1;
    for (int width : {kRegistrationWidth, 2 * kRegistrationWidth}) {
        const double scale = double(width) / previous.cols;
        cv::Mat w(Scaled(warp, scale));
        w.convertTo(w, CV_32F);
        try {
            correlation =
                cv::findTransformECC(Shrunk(previous, scale), Shrunk(next, scale), w, cv::MOTION_HOMOGRAPHY,
                                     cv::TermCriteria(cv::TermCriteria::COUNT | cv::TermCriteria::EPS,
                                                      kEccIterations, kEccEpsilon),
                                     Shrunk(mask, scale), 5);
        } catch (const cv::Exception&) {
            return -1;
        }
        w.convertTo(w, CV_64F);
        const cv::Matx33d before = warp;
        warp = Scaled(cv::Matx33d(w), 1 / scale);
        // A camera that stayed where it was needs no finer look.
        if (width == kRegistrationWidth && Displacement(before, warp, previous.size()) < kStillPixels)
            return correlation;
    }
    return correlation;
}

// Where the camera's move took the previous picture's pixels: by features, for moves too large for the
// intensity registration. Nothing when the pictures have too little in common.
std::optional<cv::Matx33d> RegisterFeatures(const cv::Mat& previous, const cv::Mat& next)
{
    const cv::Ptr<cv::ORB> orb = cv::ORB::create(1500);
    std::vector<cv::KeyPoint> kp[2];
    cv::Mat descriptors[2];
    orb->detectAndCompute(previous, cv::noArray(), kp[0], descriptors[0]);
    orb->detectAndCompute(next, cv::noArray(), kp[1], descriptors[1]);
    if (descriptors[0].empty() || descriptors[1].empty())
        return std::nullopt;
    std::vector<cv::DMatch> matches;
    cv::BFMatcher(cv::NORM_HAMMING, true).match(descriptors[0], descriptors[1], matches);
    std::vector<cv::Point2f> from, to;
    for (const cv::DMatch& m : matches) {
        from.push_back(kp[0][size_t(m.queryIdx)].pt);
        to.push_back(kp[1][size_t(m.trainIdx)].pt);
    }
    if (from.size() < size_t(kMinFeatureInliers))
        return std::nullopt;
    cv::Mat inliers;
    const cv::Mat h = cv::findHomography(from, to, cv::RANSAC, 3.0, inliers);
    if (h.empty() || cv::countNonZero(inliers) < kMinFeatureInliers)
        return std::nullopt;
    return cv::Matx33d(h);
}

double Median(const cv::Mat& channel, const cv::Mat& mask)
{
    cv::Mat histogram;
    const int bins = 256;
    const float range[] = {0, 256};
    const float* ranges[] = {range};
    cv::calcHist(&channel, 1, nullptr, mask, histogram, 1, &bins, ranges);
    const double half = cv::sum(histogram)[0] / 2;
    double seen = 0;
    for (int v = 0; v < bins; ++v)
        if ((seen += histogram.at<float>(v)) >= half)
            return v;
    return bins - 1;
}

// Fits, per channel, the gain a + b x + c y that best turns `next` into `previous` over the pixels of
// `mask` (every fourth each way is plenty for three unknowns), and applies it to `next`.
void MatchRamp(const cv::Mat& previous, cv::Mat& next, const cv::Mat& mask)
{
    cv::Mat across(1, next.cols, CV_32F), down(next.rows, 1, CV_32F);
    for (int x = 0; x < next.cols; ++x)
        across.at<float>(x) = float(x) / next.cols;
    for (int y = 0; y < next.rows; ++y)
        down.at<float>(y) = float(y) / next.rows;
    const cv::Mat u = cv::repeat(across, next.rows, 1), v = cv::repeat(down, 1, next.cols);
    std::vector<cv::Mat> gains(3);
    for (int ch = 0; ch < 3; ++ch) {
        cv::Matx33d normal = cv::Matx33d::zeros();
        cv::Vec3d right(0, 0, 0);
        for (int y = 0; y < next.rows; y += 4)
            for (int x = 0; x < next.cols; x += 4) {
                if (!mask.at<uchar>(y, x))
                    continue;
                const double a = next.at<cv::Vec3f>(y, x)[ch];
                const cv::Vec3d row(a, a * u.at<float>(y, x), a * v.at<float>(y, x));
                normal += row * row.t();
                right += row * double(previous.at<cv::Vec3f>(y, x)[ch]);
            }
        cv::Vec3d g(1, 0, 0);
        if (cv::determinant(normal) > 0)
            cv::solve(normal, right, g, cv::DECOMP_CHOLESKY);
        gains[size_t(ch)] = g[0] + g[1] * u + g[2] * v;
    }
    cv::Mat gain;
    cv::merge(gains, gain);
    next = next.mul(gain);
}

BoardCorners Moved(const BoardCorners& corners, const cv::Matx33d& warp, cv::Size size)
{
    BoardCorners moved;
    for (int i = 0; i < 4; ++i) {
        const cv::Vec3d p = warp * cv::Vec3d(corners.points[size_t(i)].x * size.width,
                                             corners.points[size_t(i)].y * size.height, 1);
        moved.points[size_t(i)] = {p[0] / p[2] / size.width, p[1] / p[2] / size.height};
    }
    return moved;
}


// The vertical as the camera's move takes it: the camera matrix goes through the same warp, and is scaled
// back to the homography of the moved corners, whose bottom right (the picture of a1's corner) is 1.
BoardVertical Moved(const BoardVertical& vertical, const BoardCorners& corners, const cv::Matx33d& warp,
                    cv::Size size)
{
    const cv::Vec3d up(vertical[0] * size.width, vertical[1] * size.height, vertical[2]);
    const cv::Vec3d a1(corners.points[0].x * size.width, corners.points[0].y * size.height, 1);
    const cv::Vec3d moved = warp * up / (warp * a1)[2];
    return {moved[0] / size.width, moved[1] / size.height, moved[2]};
}

// The board and a square around it, as the view sees it.
cv::Mat Surroundings(const BoardView& view, cv::Size size)
{
    std::vector<cv::Point> outline;
    for (const cv::Point2d& p : {cv::Point2d(-1, -1), {9, -1}, {9, 9}, {-1, 9}}) {
        const cv::Point2d q = view.project({p.x, p.y, 0});
        outline.emplace_back(cvRound(q.x), cvRound(q.y));
    }
    cv::Mat mask = cv::Mat::zeros(size, CV_8U);
    cv::fillConvexPoly(mask, outline, 255);
    return mask;
}

struct Weight {
    double score = 0;  ///< changed pixels less `none` for each seen one, in squares' areas
    double hidden = 0; ///< pixels that could not be seen, in squares' areas
    int changed = 0;   ///< changed pixels
};

// The change over the regions of the squares that differ between two positions, with the pieces on them
// before and after.
Weight Weigh(const MoveReading& reading, const Position& before, const Position& after)
{
    Weight w;
    if (reading.changed.empty())
        return w;
    const cv::Size size = reading.changed.size();
    const BoardView view(reading.corners, size, reading.vertical);
    std::vector<std::vector<cv::Point>> regions;
    cv::Rect roi;
    for (Square s = 0; s < 64; ++s)
        if (!(before.at(s) == after.at(s)))
            for (const Piece piece : {before.at(s), after.at(s)})
                if (piece.type != PieceType::None) {
                    regions.push_back(PieceRegion(view, s, kRegionRadius, ShapeOf(piece.type).height));
                    roi |= cv::boundingRect(regions.back());
                }
    roi &= cv::Rect(cv::Point(), size);
    if (roi.empty())
        return w;
    cv::Mat mask = cv::Mat::zeros(roi.size(), CV_8U);
    for (const std::vector<cv::Point>& region : regions) // one at a time: overlaps are filled too
        cv::fillPoly(mask, std::vector{region}, 255, cv::LINE_8, 0, -roi.tl());
    const double squareArea = SquareArea(reading.corners, size);
    const int all = cv::countNonZero(mask);
    mask &= reading.seen(roi);
    const int seen = cv::countNonZero(mask);
    w.changed = cv::countNonZero(mask & reading.changed(roi));
    w.score = (w.changed - reading.none * seen) / squareArea;
    w.hidden = (all - seen) / squareArea;
    return w;
}

// Two pictures of the board brought together: the new one registered to the previous one and its light
// matched, and what changed between them.
struct Comparison {
    cv::Size size;          // the working size both are compared at
    BoardSight sight = BoardSight::Clear;
    double shift = 0;       // how far the board's corners moved, in working pixels
    BoardCorners corners;   // the board in the new picture
    std::optional<BoardVertical> vertical;
    cv::Mat changed, valid; // the pixels that changed, and those both pictures have
    cv::Mat board;          // the board's pixels in the new picture
};

// Nothing when the board cannot be found again in the new picture.
std::optional<Comparison> Compare(const cv::Mat& previous, const cv::Mat& next, const BoardCorners& corners,
                                  const std::optional<BoardVertical>& vertical)
{
    Comparison c;
    c.corners = corners;
    c.vertical = vertical;
    cv::Mat before = previous, after = next;
    if (before.cols > kWorkingWidth)
        before = Shrunk(before, double(kWorkingWidth) / before.cols);
    if (after.size() != before.size())
        cv::resize(after, after, before.size(), 0, 0, cv::INTER_AREA);
    const cv::Size size = c.size = before.size();

    // Register the new picture to the previous one over the board and a square around it.
    cv::Mat gray[2];
    cv::cvtColor(before, gray[0], cv::COLOR_BGR2GRAY);
    cv::cvtColor(after, gray[1], cv::COLOR_BGR2GRAY);
    const cv::Mat near = Surroundings(BoardView(corners, size, vertical), size);
    cv::Matx33d warp = cv::Matx33d::eye();
    if (RegisterEcc(gray[0], gray[1], near, warp) < kMinCorrelation) {
        const std::optional<cv::Matx33d> features = RegisterFeatures(gray[0], gray[1]);
        if (!features)
            return std::nullopt;
        warp = *features;
        if (RegisterEcc(gray[0], gray[1], near, warp) < kMinCorrelation)
            return std::nullopt;
    }
    c.corners = Moved(corners, warp, size);
    if (vertical)
        c.vertical = Moved(*vertical, corners, warp, size);
    double shift = 0;
    for (int i = 0; i < 4; ++i)
        shift = std::max(
            shift, cv::norm(cv::Point2d(
                       (c.corners.points[size_t(i)].x - corners.points[size_t(i)].x) * size.width,
                       (c.corners.points[size_t(i)].y - corners.points[size_t(i)].y) * size.height)));
    c.shift = shift;
    c.sight = shift > kMovedPixels ? BoardSight::Moved : BoardSight::Clear;
    if (c.sight == BoardSight::Clear) {
        c.corners = corners; // the registration's noise is not a move of the camera
        c.vertical = vertical;
        warp = cv::Matx33d::eye();
    }

    // The previous picture seen from where the camera is now, and where it has pixels to compare.
    cv::Mat old, &valid = c.valid;
    cv::warpPerspective(before, old, warp, size);
    cv::warpPerspective(cv::Mat(size, CV_8U, cv::Scalar(255)), valid, warp, size, cv::INTER_NEAREST);
    cv::erode(valid, valid, cv::Mat(), cv::Point(-1, -1), 2);
    cv::Mat& board = c.board;
    board = cv::Mat::zeros(size, CV_8U);
    {
        std::vector<cv::Point> area;
        for (const cv::Point2d& p : c.corners.points)
            area.emplace_back(cvRound(p.x * size.width), cvRound(p.y * size.height));
        cv::fillConvexPoly(board, area, 255);
        board &= valid;
    }

    // The light matched per colour channel, so that a change of light is no move: a gain from the
    // medians over the board, then a gain that changes linearly across the picture, fitted where
    // nothing changed.
    cv::Mat oldFloat, newFloat;
    old.convertTo(oldFloat, CV_32FC3);
    after.convertTo(newFloat, CV_32FC3);
    cv::Mat oldChannels[3], newChannels[3];
    cv::split(old, oldChannels);
    cv::split(after, newChannels);
    cv::Scalar gain;
    for (int c = 0; c < 3; ++c)
        gain[c] = (Median(oldChannels[c], board) + 1) / (Median(newChannels[c], board) + 1);
    cv::multiply(newFloat, gain, newFloat);
    cv::Mat diff, &changed = c.changed;
    double level = kMinChangeLevel;
    auto compare = [&] {
        cv::Mat channels;
        cv::absdiff(oldFloat, newFloat, channels);
        cv::Mat split[3];
        cv::split(channels, split);
        diff = cv::max(cv::max(split[0], split[1]), split[2]);
        cv::GaussianBlur(diff, diff, cv::Size(5, 5), 0);
        cv::Mat diff8;
        diff.convertTo(diff8, CV_8U);
        level = std::max(kMinChangeLevel, kChangeOverNoise * Median(diff8, board));
        changed = (diff > level) & valid;
    };
    compare();
    MatchRamp(oldFloat, newFloat, board & ~changed);
    compare();
    return c;
}

} // namespace

double ChangeScore(const MoveReading& reading, const Position& before, const Position& after)
{
    return Weigh(reading, before, after).score;
}

cv::Mat Transient(const cv::Mat& before, const cv::Mat& now, const cv::Mat& after, const BoardCorners& corners,
                  const std::optional<BoardVertical>& vertical)
{
    // The three change masks are laid over one another as they are: a camera nudged by a pixel or two
    // (or a registration a hand pulled that far) leaves them close enough, a larger move does not.
    const std::optional<Comparison> in = Compare(before, now, corners, vertical);
    if (!in || in->shift > kMaxPassingShift)
        return {};
    const std::optional<Comparison> out = Compare(now, after, corners, vertical);
    const std::optional<Comparison> across = Compare(before, after, corners, vertical);
    if (!out || !across || out->shift > kMaxPassingShift || across->shift > kMaxPassingShift)
        return {};
    // What came and went; where the pictures on either side differ, a move may explain it.
    cv::Mat passing = in->changed & out->changed & ~across->changed & in->valid & out->valid;
    cv::morphologyEx(passing, passing, cv::MORPH_OPEN, cv::Mat());
    cv::Mat joined, labels, stats, centroids;
    cv::dilate(passing, joined, cv::getStructuringElement(cv::MORPH_ELLIPSE, {kJoinPixels, kJoinPixels}));
    const double squareArea = SquareArea(corners, in->size);
    cv::Mat hand = cv::Mat::zeros(in->size, CV_8U);
    const int count = cv::connectedComponentsWithStats(joined, labels, stats, centroids, 8, CV_32S);
    for (int i = 1; i < count; ++i) {
        const cv::Mat component = labels == i;
        if (cv::countNonZero(component & passing) >= kMinPassingSquares * squareArea)
            hand |= component;
    }
    return hand;
}

MoveReading RecognizeMove(const cv::Mat& previous, const cv::Mat& next, const Position& position,
                          const BoardCorners& corners, const std::optional<BoardVertical>& vertical,
                          const cv::Mat& covered)
{
    MoveReading reading;
    reading.corners = corners;
    reading.vertical = vertical;
    for (const Move& m : position.legalMoves())
        reading.candidates.push_back({m});
    std::vector<cv::Point2f> quad;
    for (const cv::Point2d& p : corners.points)
        quad.emplace_back(float(p.x), float(p.y));
    if (previous.empty() || next.empty() || previous.type() != CV_8UC3 || next.type() != CV_8UC3 ||
        reading.candidates.empty() || cv::contourArea(quad) < 1e-3)
        return reading;

    const std::optional<Comparison> compared = Compare(previous, next, corners, vertical);
    if (!compared)
        return reading;
    const cv::Size size = compared->size;
    const double squareArea = SquareArea(corners, size);
    reading.sight = compared->sight;
    reading.corners = compared->corners;
    reading.vertical = compared->vertical;
    const cv::Mat &changed = compared->changed, &valid = compared->valid, &board = compared->board;
    const BoardView view(reading.corners, size, reading.vertical);

    // A hand: changed pixels, joined, that reach the edge of what can be compared and are large.
    cv::Mat joined, labels, stats, centroids, hand = cv::Mat::zeros(size, CV_8U);
    cv::dilate(changed, joined, cv::getStructuringElement(cv::MORPH_ELLIPSE, {kJoinPixels, kJoinPixels}));
    cv::Mat inner;
    cv::erode(valid, inner, cv::Mat(), cv::Point(-1, -1), kEdgeBand);
    cv::rectangle(inner, cv::Rect(cv::Point(), size), cv::Scalar(0),
                  2 * kEdgeBand); // erosion spares the edge
    // What pieces on the board can show: the board's volume up to the tallest piece.
    cv::Mat reach = cv::Mat::zeros(size, CV_8U);
    {
        std::vector<cv::Point> volume, hull;
        for (double z : {0.0, ShapeOf(PieceType::King).height})
            for (const cv::Point2d& p : {cv::Point2d(0, 0), {8, 0}, {8, 8}, {0, 8}}) {
                const cv::Point2d q = view.project({p.x, p.y, z});
                volume.emplace_back(cvRound(std::clamp(q.x, -1e5, 1e5)), cvRound(std::clamp(q.y, -1e5, 1e5)));
            }
        cv::convexHull(volume, hull);
        cv::fillConvexPoly(reach, hull, 255);
    }
    const int count = cv::connectedComponentsWithStats(joined, labels, stats, centroids, 8, CV_32S);
    for (int i = 1; i < count; ++i) {
        if (stats.at<int>(i, cv::CC_STAT_AREA) < kMinHandSquares * squareArea)
            continue;
        const cv::Mat component = labels == i;
        if (cv::countNonZero(component & ~inner) > 0 &&
            cv::countNonZero(component & ~reach) >= kMinHandOutside * squareArea)
            hand |= component;
    }
    if (covered.size() == size)
        hand |= covered;
    // A moved camera is the news when both happen: the hidden squares still say what is covered.
    if (reading.sight == BoardSight::Clear && cv::countNonZero(hand & board) > 0)
        reading.sight = BoardSight::Covered;

    // Each square's share of change over its region, with the piece that stands there (a pawn's when
    // none does): what light and shadows changed everywhere shows in their median.
    const cv::Rect picture(0, 0, size.width, size.height);
    const cv::Mat seen = valid & ~hand;
    double share[64];
    for (Square s = 0; s < 64; ++s) {
        const PieceType type = position.at(s).type;
        const std::vector<cv::Point> outline =
            PieceRegion(view, s, kRegionRadius, ShapeOf(type == PieceType::None ? PieceType::Pawn : type).height);
        const cv::Rect roi = cv::boundingRect(outline) & picture;
        share[s] = 0;
        reading.hidden[size_t(s)] = true;
        if (roi.empty())
            continue;
        cv::Mat region = cv::Mat::zeros(roi.size(), CV_8U);
        cv::fillPoly(region, std::vector{outline}, 255, cv::LINE_8, 0, -roi.tl());
        const int all = cv::countNonZero(region);
        const cv::Mat visible = region & seen(roi);
        const int shown = cv::countNonZero(visible);
        reading.hidden[size_t(s)] = all == 0 || shown < kMinVisibleShare * all;
        if (!reading.hidden[size_t(s)])
            share[s] = double(cv::countNonZero(visible & changed(roi))) / shown;
    }
    double sorted[64];
    std::copy(std::begin(share), std::end(share), sorted);
    std::nth_element(sorted, sorted + 32, sorted + 64);
    const double none = kNoChangeShare + sorted[32];

    // Each move by the change over the regions of the squares it alters, with the pieces before and
    // after it: each changed pixel there counts for it, each unchanged one against it. A rival's hidden
    // pixels count as changed.
    const double changedOnBoard = std::max(1, cv::countNonZero(changed & seen & Surroundings(view, size)));
    reading.changed = changed;
    reading.seen = seen;
    reading.none = none;
    std::vector<double> bestCase;
    for (MoveCandidate& c : reading.candidates) {
        const Weight w = Weigh(reading, position, position.play(c.move));
        c.score = w.score;
        c.explained = w.changed / changedOnBoard;
        bestCase.push_back(w.score + (1 - none) * w.hidden);
    }
    std::vector<size_t> order(reading.candidates.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // Promotions on one square alter the same squares: the queen first among equals.
    auto rank = [&](size_t i) {
        const MoveCandidate& c = reading.candidates[i];
        return c.score + (c.move.promotion == PieceType::Queen ? 1e-6 : 0.0);
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rank(a) > rank(b); });
    std::vector<MoveCandidate> ranked;
    double rival = -1e9;
    for (size_t i : order) {
        ranked.push_back(reading.candidates[i]);
        if (i != order.front())
            rival = std::max(rival, bestCase[i]);
    }
    reading.candidates = std::move(ranked);
    const MoveCandidate& best = reading.candidates.front();
    const double unexplained = changedOnBoard * (1 - best.explained) / squareArea;
    reading.uncertain = best.score <= 0 || best.score - rival < kClearLead || unexplained > kMaxUnexplained;
    return reading;
}
