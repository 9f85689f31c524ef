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
constexpr int kPixelsPerSquare = 16;
// A grid point may lie this share of a square off the board's plane mapping: more means the detector
// skipped or invented a line of the grid (pieces standing on it), and the grid is not the board's.
constexpr double kMaxGridError = 0.15;

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

// Whether the grid's points sit where a flat board with square cells would put them.
bool Regular(const std::vector<cv::Point2f>& board, const std::vector<cv::Point2f>& picture,
             const cv::Matx33d& boardToPicture)
{
    const cv::Matx33d back = boardToPicture.inv();
    for (size_t i = 0; i < board.size(); ++i) {
        const cv::Vec3d p = back * cv::Vec3d(picture[i].x, picture[i].y, 1);
        if (std::hypot(p[0] / p[2] - board[i].x, p[1] / p[2] - board[i].y) > kMaxGridError)
            return false;
    }
    return true;
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
    if (light <= dark || white <= black || fullSpread < kMinEmptyContrast * emptySpread)
        return -1;
    return fullSpread / std::max(emptySpread, 1.0);
}

// The placement of a detected grid on the board that fits the starting position best: its homography
// from board to picture and its fit (0 when none fits).
double Place(const cv::Mat& gray, const std::vector<cv::Point2f>& found, int rows, int cols,
             cv::Matx33d& best)
{
    double bestFit = 0;
    for (int transposed = 0; transposed < 2; ++transposed) {
        const int along = transposed ? rows : cols, across = transposed ? cols : rows;
        for (int flip = 0; flip < 4; ++flip) {
            for (int x0 = 1; x0 + along - 1 <= 7; ++x0) {
                for (int y0 = 1; y0 + across - 1 <= 7; ++y0) {
                    std::vector<cv::Point2f> board;
                    for (int r = 0; r < rows; ++r) {
                        for (int c = 0; c < cols; ++c) {
                            int i = transposed ? r : c, j = transposed ? c : r;
                            i = flip & 1 ? along - 1 - i : i;
                            j = flip & 2 ? across - 1 - j : j;
                            board.emplace_back(float(x0 + i), float(y0 + j));
                        }
                    }
                    const cv::Mat h = cv::findHomography(board, found);
                    if (h.empty() || !Regular(board, found, cv::Matx33d(h)))
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
    return bestFit;
}
} // namespace

std::optional<BoardCorners> FindBoardCorners(const cv::Mat& startPicture)
{
    if (startPicture.empty() || startPicture.type() != CV_8UC3)
        return std::nullopt;
    cv::Mat gray;
    cv::cvtColor(startPicture, gray, cv::COLOR_BGR2GRAY);
    if (gray.cols > kMaxWorkingWidth)
        cv::resize(gray, gray, cv::Size(), double(kMaxWorkingWidth) / gray.cols,
                   double(kMaxWorkingWidth) / gray.cols, cv::INTER_AREA);
    // The grid may be found lying either way, or wrongly (pieces hide its lines); the exhaustive search is
    // slower but finds more.
    for (int flags :
         {0, int(cv::CALIB_CB_EXHAUSTIVE), int(cv::CALIB_CB_NORMALIZE_IMAGE | cv::CALIB_CB_EXHAUSTIVE)}) {
        for (cv::Size grid : {kMinGrid, cv::Size(kMinGrid.height, kMinGrid.width)}) {
            std::vector<cv::Point2f> found;
            cv::Mat meta;
            cv::Matx33d homography;
            // The points run along the grid's rows, whose length the meta data does not always say.
            if (!cv::findChessboardCornersSB(gray, grid, found, flags | cv::CALIB_CB_LARGER, meta) ||
                meta.total() != found.size() ||
                (Place(gray, found, meta.rows, meta.cols, homography) <= 0 &&
                 Place(gray, found, meta.cols, meta.rows, homography) <= 0))
                continue;
            BoardCorners corners;
            const cv::Point2d outer[4] = {{0, 0}, {8, 0}, {8, 8}, {0, 8}};
            for (int i = 0; i < 4; ++i) {
                const cv::Vec3d p = homography * cv::Vec3d(outer[i].x, outer[i].y, 1);
                corners.points[i] = {p[0] / p[2] / gray.cols, p[1] / p[2] / gray.rows};
            }
            return corners;
        }
    }
    return std::nullopt;
}
