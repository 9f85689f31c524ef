#include "BoardFinder.h"

#include <algorithm>
#include <cmath>
#include <opencv2/calib3d.hpp>
#include <opencv2/imgproc.hpp>

namespace {
// The grid detector is slow on large pictures and needs no more detail than this; it misses the grid in
// small ones, which are enlarged to this.
constexpr int kMaxWorkingWidth = 800;
constexpr int kMinWorkingWidth = 400;
// The empty ranks 3 to 6 give a grid of 7 x 3 inner corners at least, whatever the pieces hide.
const cv::Size kMinGrid(7, 3);
// A placement is believed only if its empty squares are this much more even than the squares holding
// pieces (a ratio of the mean standard deviations within squares).
constexpr double kMinEmptyContrast = 1.3;
// The light pieces' ranks are this many grey levels lighter than the dark pieces' on average.
constexpr double kMinPieceContrast = 8.0;
// Of the 32 empty squares at the start, at least this many are as light or as dark as their colour.
constexpr int kMinCheckered = 30;
// Of the 32 squares with pieces at the start, at least this many are less even than the empty ones.
constexpr int kMinBusy = 24;
// The whole board is in the picture: a placement with a corner farther out than this share of the
// picture's size is not the board.
constexpr double kMaxOutside = 0.02;
constexpr int kPixelsPerSquare = 16;
constexpr std::uint64_t kSeed = 0x0123456789abcdefull;
// A grid point may lie this share of a square off the board's plane mapping: more means the detector
// put it on a piece or past the board. The grid is the board's when this share of its points, and at
// least a row's worth, fit.
constexpr double kMaxGridError = 0.15;
constexpr double kMinGridInliers = 0.6;
constexpr int kMinGridPoints = 12;
// Refined corners of squares fit the board's plane mapping within this many pixels.
constexpr double kRefinedError = 1.5;

struct SquareStats {
    double mean[64];
    double spread[64];
};

SquareStats Measure(const cv::Mat& gray, const cv::Matx33d& boardToPicture)
{
    const double s = kPixelsPerSquare;
    const cv::Matx33d toTopDown(s, 0, 0, 0, -s, 8 * s, 0, 0, 1);
    cv::Mat top;
    cv::warpPerspective(gray, top, toTopDown * boardToPicture.inv(),
                        cv::Size(8 * kPixelsPerSquare, 8 * kPixelsPerSquare));
    SquareStats stats;
    const int inset = kPixelsPerSquare / 5;
    for (Square sq = 0; sq < 64; ++sq) {
        const cv::Rect cell(FileOf(sq) * kPixelsPerSquare + inset,
                            (7 - RankOf(sq)) * kPixelsPerSquare + inset, kPixelsPerSquare - 2 * inset,
                            kPixelsPerSquare - 2 * inset);
        cv::Scalar mean, spread;
        cv::meanStdDev(top(cell), mean, spread);
        stats.mean[sq] = mean[0];
        stats.spread[sq] = spread[0];
    }
    return stats;
}

// How well the starting position fits a placement of the board: the middle ranks even, with light and
// dark squares where they belong, and the light pieces on ranks 1 and 2. Negative when it does not fit.
double Fit(const SquareStats& s)
{
    double light = 0, dark = 0, emptySpread = 0, fullSpread = 0, white = 0, black = 0;
    for (Square sq = 0; sq < 64; ++sq) {
        const int rank = RankOf(sq);
        if (rank >= 2 && rank <= 5) {
            ((FileOf(sq) + rank) % 2 == 0 ? dark : light) += s.mean[sq];
            emptySpread += s.spread[sq];
        } else {
            fullSpread += s.spread[sq];
            (rank <= 1 ? white : black) += s.mean[sq];
        }
    }
    if (light <= dark || white - black < 16 * kMinPieceContrast ||
        fullSpread < kMinEmptyContrast * emptySpread)
        return -1;
    // Each empty square on its side of the middle between the light and the dark ones: a grid placed
    // across the board's edge or the pieces has some that are not.
    const double middle = (light + dark) / 32;
    int agree = 0, busy = 0;
    for (Square sq = 16; sq < 48; ++sq)
        agree += ((FileOf(sq) + RankOf(sq)) % 2 == 0) == (s.mean[sq] < middle);
    for (Square sq : {0, 8, 48, 56})
        for (Square f = sq; f < sq + 8; ++f)
            busy += s.spread[f] > kMinEmptyContrast * emptySpread / 32;
    if (agree < kMinCheckered || busy < kMinBusy)
        return -1;
    return fullSpread / std::max(emptySpread, 1.0);
}

bool Inside(const cv::Matx33d& boardToPicture, cv::Size size)
{
    for (const cv::Vec3d& corner : {cv::Vec3d(0, 0, 1), {8, 0, 1}, {8, 8, 1}, {0, 8, 1}}) {
        const cv::Vec3d p = boardToPicture * corner;
        if (p[2] <= 0 || std::abs(p[0] / p[2] / size.width - 0.5) > 0.5 + kMaxOutside ||
            std::abs(p[1] / p[2] / size.height - 0.5) > 0.5 + kMaxOutside)
            return false;
    }
    return true;
}

// The placement of a detected grid on the board that fits the starting position best: its homography
// from board to picture and its fit (0 when none fits).
double Place(const cv::Mat& gray, const std::vector<cv::Point2f>& found, int rows, int cols,
             cv::Matx33d& best)
{
    double bestFit = 0;
    for (int transposed = 0; transposed < 2; ++transposed) {
        const int along = transposed ? rows : cols, across = transposed ? cols : rows;
        // The detector may skip a line of the grid across (pieces stand on it): the points past the
        // skip are one square farther on. No skip is -1.
        for (int skip = -1; skip < across - 1; ++skip) {
            auto grid = [&](int x0, int y0, int flip) {
                std::vector<cv::Point2f> board;
                const int span = across + (skip >= 0);
                for (int r = 0; r < rows; ++r) {
                    for (int c = 0; c < cols; ++c) {
                        int i = transposed ? r : c, j = transposed ? c : r;
                        j += skip >= 0 && j > skip;
                        i = flip & 1 ? along - 1 - i : i;
                        j = flip & 2 ? span - 1 - j : j;
                        board.emplace_back(float(x0 + i), float(y0 + j));
                    }
                }
                return board;
            };
            // Whether the points make a regular grid does not depend on where it lies on the board.
            const std::vector<cv::Point2f> canonical = grid(0, 0, 0);
            cv::Mat inliers;
            if (cv::findHomography(found, canonical, cv::RANSAC, kMaxGridError, inliers).empty() ||
                cv::countNonZero(inliers) < std::max<double>(kMinGridPoints, kMinGridInliers * found.size()))
                continue;
            std::vector<cv::Point2f> fitting;
            for (size_t i = 0; i < found.size(); ++i)
                if (inliers.at<uchar>(int(i)))
                    fitting.push_back(found[i]);
            auto fittingGrid = [&](int x0, int y0, int flip) {
                const std::vector<cv::Point2f> all = grid(x0, y0, flip);
                std::vector<cv::Point2f> some;
                for (size_t i = 0; i < all.size(); ++i)
                    if (inliers.at<uchar>(int(i)))
                        some.push_back(all[i]);
                return some;
            };
            const int span = across + (skip >= 0);
            for (int flip = 0; flip < 4; ++flip) {
                // The board's own edges may show as lines of the grid too: a frame or margin unlike the
                // squares.
                for (int x0 = 0; x0 + along - 1 <= 8; ++x0) {
                    for (int y0 = 0; y0 + span - 1 <= 8; ++y0) {
                        const cv::Mat h = cv::findHomography(fittingGrid(x0, y0, flip), fitting);
                        if (h.empty() || !Inside(cv::Matx33d(h), gray.size()))
                            continue;
                        const double fit = Fit(Measure(gray, cv::Matx33d(h)));
                        if (fit > bestFit) {
                            bestFit = fit;
                            best = cv::Matx33d(h);
                        }
                    }
                }
            }
        }
    }
    return bestFit;
}
// The placement made exact: the corners between the empty middle ranks' squares, found to a fraction of
// a pixel near where the placement puts them, give the homography again. Where too few are found, the
// placement stays.
cv::Matx33d Refined(const cv::Mat& gray, const cv::Matx33d& boardToPicture)
{
    std::vector<cv::Point2f> board, picture;
    for (int y = 2; y <= 6; ++y)
        for (int x = 1; x <= 7; ++x) {
            const cv::Vec3d p = boardToPicture * cv::Vec3d(x, y, 1);
            board.emplace_back(float(x), float(y));
            picture.emplace_back(float(p[0] / p[2]), float(p[1] / p[2]));
        }
    // A window of a quarter of the smallest square's side.
    const cv::Vec3d a = boardToPicture * cv::Vec3d(3, 6, 1), b = boardToPicture * cv::Vec3d(4, 7, 1);
    const int window = std::max(2, int(std::hypot(a[0] / a[2] - b[0] / b[2], a[1] / a[2] - b[1] / b[2]) / 6));
    cv::cornerSubPix(gray, picture, cv::Size(window, window), cv::Size(-1, -1),
                     cv::TermCriteria(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 30, 0.01));
    cv::Mat inliers;
    const cv::Mat h = cv::findHomography(board, picture, cv::RANSAC, kRefinedError, inliers);
    if (h.empty() || cv::countNonZero(inliers) < kMinGridPoints)
        return boardToPicture;
    return cv::Matx33d(h);
}
} // namespace

std::optional<BoardCorners> FindBoardCorners(const cv::Mat& startPicture)
{
    if (startPicture.empty() || startPicture.type() != CV_8UC3)
        return std::nullopt;
    // The grid detector draws on OpenCV's random numbers: the same picture gives the same board.
    cv::theRNG() = cv::RNG(kSeed);
    cv::Mat gray;
    cv::cvtColor(startPicture, gray, cv::COLOR_BGR2GRAY);
    const int width = std::clamp(gray.cols, kMinWorkingWidth, kMaxWorkingWidth);
    if (width != gray.cols)
        cv::resize(gray, gray, cv::Size(), double(width) / gray.cols, double(width) / gray.cols,
                   width < gray.cols ? cv::INTER_AREA : cv::INTER_LINEAR);
    // The grid may be found lying either way, or wrongly (pieces hide its lines); the exhaustive search is
    // slower but finds more. Every grid found is placed, and the placement that fits best is kept.
    double bestFit = 0;
    cv::Matx33d best;
    for (int flags :
         {0, int(cv::CALIB_CB_EXHAUSTIVE), int(cv::CALIB_CB_NORMALIZE_IMAGE | cv::CALIB_CB_EXHAUSTIVE)}) {
        for (cv::Size grid : {kMinGrid, cv::Size(kMinGrid.height, kMinGrid.width)}) {
            std::vector<cv::Point2f> found;
            cv::Mat meta;
            // The points run along the grid's rows, whose length the meta data does not always say.
            if (!cv::findChessboardCornersSB(gray, grid, found, flags | cv::CALIB_CB_LARGER, meta) ||
                meta.total() != found.size())
                continue;
            for (const bool swap : {false, true}) {
                cv::Matx33d homography;
                const double fit = Place(gray, found, swap ? meta.cols : meta.rows,
                                         swap ? meta.rows : meta.cols, homography);
                if (fit > bestFit) {
                    bestFit = fit;
                    best = homography;
                }
            }
        }
        if (bestFit > 0)
            break; // the slower searches are for when the quick one finds nothing that fits
    }
    if (bestFit <= 0)
        return std::nullopt;
    best = Refined(gray, best);
    BoardCorners corners;
    const cv::Point2d outer[4] = {{0, 0}, {8, 0}, {8, 8}, {0, 8}};
    for (int i = 0; i < 4; ++i) {
        const cv::Vec3d p = best * cv::Vec3d(outer[i].x, outer[i].y, 1);
        corners.points[size_t(i)] = {p[0] / p[2] / gray.cols, p[1] / p[2] / gray.rows};
    }
    return corners;
}
