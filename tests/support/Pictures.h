#pragma once

#include "PictureNames.h"

#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <set>

/// Writes the pictures of one game as the camera would, each numbered in its top-left corner's
/// grey level (ply * 20), leaving out the plies in missing.
inline void WriteGamePictures(const std::filesystem::path& folder, int game, int plies,
                              cv::Size size = {320, 240}, const std::set<int>& missing = {})
{
    std::filesystem::create_directories(folder);
    for (int ply = 1; ply <= plies; ++ply) {
        if (missing.count(ply))
            continue;
        cv::Mat picture(size, CV_8UC3, cv::Scalar::all(ply * 20 % 256));
        cv::imwrite((folder / FormatPictureName(game, ply)).string(), picture);
    }
}
