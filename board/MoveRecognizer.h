#pragma once

#include "BoardGeometry.h"
#include "Position.h"

#include <array>
#include <opencv2/core.hpp>
#include <optional>
#include <vector>

/// A legal move that could explain the change between two pictures, with its evidence.
struct MoveCandidate {
    Move move;
    /// The change seen on the squares the move alters, each less the change that counts as none; higher
    /// is better. Squares hidden from the camera count as unchanged.
    double score = 0.0;
    /// The share of all the change seen on the board that those squares hold.
    double explained = 0.0;
};

/// What the camera could see of the board in the new picture.
enum class BoardSight {
    Clear,   ///< the whole board, where it was
    Covered, ///< part of the board hidden (a hand at the edge): the move is read from what can be seen
    Moved,   ///< the camera moved: the board was found again, at the reading's corners
    Lost,    ///< the board cannot be found in the new picture: nothing was read
};

/// What a new picture says about the move just played.
struct MoveReading {
    std::vector<MoveCandidate> candidates; ///< every legal move, best first
    bool uncertain = true; ///< the best is not clearly ahead, explains too little, or may be hidden
    BoardSight sight = BoardSight::Lost;
    BoardCorners corners; ///< where the board lies in the new picture
    std::optional<BoardVertical> vertical; ///< where the camera shows height in it, when known
    /// The evidence, at the size the pictures were compared at: the pixels that changed, and those that
    /// could be seen (not under a hand, and in both pictures). Kept only as long as ChangeScore needs it.
    cv::Mat changed, seen;
    double none = 1.0;             ///< the share of a region's pixels that changes when nothing moved there
    std::array<bool, 64> hidden{}; ///< squares mostly behind something that is no piece (a hand)
};

/// Which legal move of the position turned the previous picture into the next one, given the board's
/// corners in the previous picture. The new picture is registered to the previous one first, which
/// absorbs a nudged camera and gives the corners in the new picture, and its light matched per colour
/// channel. The change between them is then weighed square by square, over the region an upright piece
/// on the square would cover, as the camera sees it: this needs nothing of what the set looks like.
/// Change that reaches in from the picture's edge is a hand, and so are the pixels of `covered` (hands
/// already known in either picture); the squares under them are not judged.
/// Between promotions, which the change does not tell apart, the queen comes first.
MoveReading RecognizeMove(const cv::Mat& previous, const cv::Mat& next, const Position& position,
                          const BoardCorners& corners,
                          const std::optional<BoardVertical>& vertical = std::nullopt,
                          const cv::Mat& covered = cv::Mat());

/// The pixels of the picture `now` that show something in neither the picture before it nor the one after:
/// a hand, an arm or a sleeve passing over the board, gone by the next press. At the size and in the
/// place RecognizeMove compares `now` at, for its `covered`; empty when the camera moved or the board was
/// lost in between.
cv::Mat Transient(const cv::Mat& before, const cv::Mat& now, const cv::Mat& after, const BoardCorners& corners,
                  const std::optional<BoardVertical>& vertical);

/// How well a reading's change is explained by the board going from `before` to `after`, which may be
/// several plies apart: over the regions of the squares that differ, with the pieces before and after,
/// each changed pixel counts for it and each unchanged one against it, in squares' areas. A candidate's
/// score is this for its move.
double ChangeScore(const MoveReading& reading, const Position& before, const Position& after);
