#pragma once

#include <opencv2/core.hpp>

#include <string>
#include <vector>

/// A camera present on this machine: the number that CAM_REF takes, and its name.
struct CameraDevice {
    int index;
    std::string name;
};

/// The cameras present, by number: on Linux the V4L2 devices that capture video, each named by its driver's
/// card name; elsewhere none (the number is then typed in).
std::vector<CameraDevice> ListCameras();

/// One frame from a source address, or from camera `index` when the address is empty; an empty frame
/// when nothing comes from it, and then in reason (when given) why, as far as the source says.
cv::Mat GrabOneFrame(int index, const std::string& source, std::string* reason = nullptr);
