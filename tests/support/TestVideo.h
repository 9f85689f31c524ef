#pragma once

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>
#include <string>

/// Writes a Motion-JPEG AVI whose frame i is filled with grey level (i * 7) % 256, so that a
/// picture can be told from its neighbours. Returns false when it could not be written.
inline bool WriteTestVideo(const std::string& path, int frames, cv::Size size = {320, 240})
{
    cv::VideoWriter writer(path, cv::CAP_FFMPEG, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 25, size);
    if (!writer.isOpened())
        return false;
    for (int i = 0; i < frames; ++i) {
        cv::Mat frame(size, CV_8UC3, cv::Scalar::all((i * 7) % 256));
        cv::putText(frame, std::to_string(i), {10, size.height / 2}, cv::FONT_HERSHEY_SIMPLEX, 1.0,
                    cv::Scalar(0, 0, 255), 2);
        writer.write(frame);
    }
    return true;
}
