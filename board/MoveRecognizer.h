#pragma once

#include "BoardGeometry.h"
#include "Position.h"

#include <opencv2/core.hpp>
#include <vector>

/// A legal move that could explain the change between two pictures, with its evidence.
struct MoveCandidate {
    Move move;
    /// The change seen over the picture regions the move alters, less what those regions would show if
    /// nothing had changed there; higher is better.
    double score = 0.0;
    /// The share of all the change seen on the board that those regions hold.
    double explained = 0.0;
};

/// What a new picture says about the move just played.
struct MoveReading {
    std::vector<MoveCandidate> candidates; ///< every legal move, best first
    bool uncertain = true;                 ///< the best is not clearly ahead, or explains too little
};

/// Which legal move of the position turned the previous picture into the next one. Both pictures show
/// the board from the same camera, whose corners are given. The pictures are compared in a top-down
/// view, over the regions that each changed square's pieces cover as upright shapes, so that a tall
/// piece seen from the side is judged where the picture shows it. A promotion is a queen unless the
/// pictures clearly say otherwise.
MoveReading RecognizeMove(const cv::Mat& previous, const cv::Mat& next, const Position& position,
                          const BoardCorners& corners);
