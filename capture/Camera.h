#pragma once

#include "ClockEngine.h"
#include "Media.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <opencv2/core.hpp>
#include <string>
#include <thread>

class PictureWriter;
class Ticker;

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
    std::string source; // when not empty: a video file, a stream address or a GStreamer pipeline
    int width = 640;    // the size asked of a camera opened by index
    int height = 480;
    std::string folderUtf8;  // empty, or ends in a separator
    bool keepRecord = false; // also write each game's plies to "gameNN.tsv" beside the pictures
    // Also a picture of the starting position at the press that starts a game, "gameNNmove000b.jpg".
    bool startPicture = false;
    std::shared_ptr<Ticker> ticker; // the time a video file is played by; empty: the steady clock
};

/// The webcam through OpenCV, as the clock engine drives it. Frames are grabbed on a thread of its
/// own, one after another, so that a camera's slow frame rate never holds the clock loop: each
/// iteration takes the newest frame there is, or none. A video file is played frame by frame instead,
/// at the rate it was recorded at: an iteration whose time has come for the next frame waits for it,
/// as reading a file has no rate of its own.
class Camera final : public EngineCamera {
public:
    Camera(CameraConfig config, std::shared_ptr<PreviewSink> preview, std::shared_ptr<PictureWriter> writer);
    ~Camera() override;

    /// Opens the source and waits for its first frame, so that every ply has a picture.
    bool OpenCamera() override;
    std::string OpenError() const override { return m_openError; }
    /// Shows the frame grabbed since the last call, if any; false when the source has ended or a
    /// key was typed into the preview.
    bool ShowPreviewFrame() override;
    void SaveMovePicture(int game, int ply) override;
    void SaveStartPicture(int game) override;
    void RecordPly(int game, const PlyRecord& record) override;
    void CloseCamera() override;

private:
    void GrabFrames();
    void StopGrabbing();

    CameraConfig m_config;
    std::shared_ptr<PreviewSink> m_preview;
    std::shared_ptr<PictureWriter> m_writer;
    std::unique_ptr<FrameSource> m_capture; // the grabbing thread's alone while it runs
    std::string m_openError;
    bool m_recorded = false; // a video file: every frame in turn
    std::shared_ptr<Ticker> m_ticker;
    double m_frameNs = 0.0;         // a video file's time per frame
    std::int64_t m_playStartNs = 0; // when its first frame was shown
    std::int64_t m_framesPlayed = 0;
    cv::Mat m_frame; // the current frame: the newest one taken by a preview step
    cv::Mat m_spare; // memory for the next picture's copy, touched before it is needed

    std::mutex m_grabMutex;
    std::condition_variable m_grabChanged;
    cv::Mat m_grabbed;         // a frame grabbed and not taken yet
    bool m_grabWanted = false; // the engine has taken the last frame: grab the next one
    bool m_grabReady = false;
    bool m_grabEnded = false; // the source failed or ran out
    bool m_grabStop = false;
    std::thread m_grabber;
};
