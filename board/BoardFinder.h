#pragma once

#include "BoardGeometry.h"

#include <opencv2/core.hpp>
#include <optional>

/// The board's corners found on a picture of the starting position: the empty middle of the board gives
/// the grid of squares, the side with the light pieces is rank 1 and a1 is a dark square. Nothing when
/// no board is seen.
std::optional<BoardCorners> FindBoardCorners(const cv::Mat& startPicture);
