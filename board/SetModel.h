#pragma once

#include "BoardGeometry.h"

#include <opencv2/core.hpp>
#include <optional>

/// What a game's starting picture teaches about this camera and this set before the first move: 32 pieces
/// of known kinds stand on known squares beside 32 known empty squares, in this light.
struct SetModel {
    /// Where the camera shows height, when the pieces showed it better than a camera guessed from the
    /// corners does.
    std::optional<BoardVertical> vertical;
};

/// The model from the picture of the starting position, with the board at `corners`.
SetModel LearnSetModel(const cv::Mat& start, const BoardCorners& corners);
