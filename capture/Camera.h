#pragma once

#include "ClockEngine.h"

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <chrono>
#include <memory>
#include <string>

class PictureWriter;

/// Where the camera's frames are shown, and where the user can stop it with a key.
/// Called on the engine thread; implementations hand the work to the window's thread.
class PreviewSink {
public:
    virtual ~PreviewSink() = default;
    virtual void OpenPreview() = 0;
    /// Shows a frame; the sink keeps its own copy.
    virtual void ShowFrame(const cv::Mat& frame) = 0;
    /// Waits up to timeout for a key typed into the preview; true when one was.
    virtual bool WaitForKey(std::chrono::milliseconds timeout) = 0;
    virtual void ClosePreview() = 0;
};

/// Which camera, at which size, and where its pictures go.
struct CameraConfig {
    int index = 0;
    std::string source;       // when not empty: a video file, a stream address or a GStreamer pipeline
    int width = 640;          // the size asked of a camera opened by index
    int height = 480;
    std::string folderUtf8;   // empty, or ends in a separator
};

/// The OpenCV backend for a source address (CAM_URL), and for a camera by number.
int SourceApi(const std::string& source);
int CameraApi();

/// Opens camera `index` and asks it for width x height. The size is a request: a camera that refuses it is
/// opened again and gives pictures of its own size. False when there is no such camera.
bool OpenCameraAtSize(cv::VideoCapture& capture, int index, int api, int width, int height);

/// The webcam through OpenCV, as the clock engine drives it.
class Camera final : public EngineCamera {
public:
    Camera(CameraConfig config, std::shared_ptr<PreviewSink> preview, std::shared_ptr<PictureWriter> writer);

    bool OpenCamera() override;
    bool ShowPreviewFrame() override;
    void SaveMovePicture(int game, int ply) override;
    void CloseCamera() override;

private:
    CameraConfig m_config;
    std::shared_ptr<PreviewSink> m_preview;
    std::shared_ptr<PictureWriter> m_writer;
    cv::VideoCapture m_capture;
    cv::Mat m_frame; // the current frame: the one the last preview step grabbed
    cv::Mat m_spare; // memory for the next picture's copy, touched before it is needed
};
