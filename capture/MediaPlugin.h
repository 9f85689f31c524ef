#pragma once

#include <opencv2/videoio.hpp>

/// Opens camera `index` and asks it for width x height. The size is a request: a camera that refuses it is
/// opened again and gives pictures of its own size. False when there is no such camera.
bool OpenCameraAtSize(cv::VideoCapture& capture, int index, int api, int width, int height);
