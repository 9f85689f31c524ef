#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <opencv2/core.hpp>
#include <string>
#include <vector>

/// Frames from a camera, a video file, a stream address or a GStreamer pipeline.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    /// The next frame, in memory that the source may reuse at the next call; false when there is none.
    virtual bool Read(cv::Mat& frame) = 0;
    /// The frames per second the source says it gives; 0 when it does not say.
    virtual double FramesPerSecond() const { return 0.0; }
};

/// A Motion-JPEG AVI file being written from JPEG bytes as they are.
class AviWriter {
public:
    virtual ~AviWriter() = default;
    /// Appends one frame, shown for 1/fps s; false when it could not be written.
    virtual bool Write(const std::vector<std::uint8_t>& jpeg) = 0;
    /// Writes the file's index and flushes it; false when that failed (a full disk shows here).
    virtual bool Finish() = 0;
};

/// What needs OpenCV's image and video modules or FFmpeg: cameras, JPEG files and the video. Those
/// libraries bring a few hundred more (GStreamer, every codec) whose loading alone would take longer
/// than the rest of the program's start, so they live in a plugin that is loaded on first use.
/// OpenCV's exceptions pass through as they are.
class Media {
public:
    virtual ~Media() = default;
    /// Opens source when it is not empty, else camera index, asking it for width x height when they are
    /// not 0 (a request: a camera that refuses it gives pictures of its own size). Null when nothing opens.
    virtual std::unique_ptr<FrameSource> OpenSource(const std::string& source, int index, int width,
                                                    int height) const = 0;
    /// Why source (or camera index when it is empty) gives no picture, in the words of what reads it
    /// ("no element \"x264dec\"", "No such file or directory"); empty when nothing more can be told.
    virtual std::string SourceError(const std::string& source, int index) const = 0;
    virtual bool EncodeJpeg(const cv::Mat& frame, std::vector<std::uint8_t>& jpeg, int quality) const = 0;
    /// A colour picture from the bytes of an image file; empty when they are not one.
    virtual cv::Mat DecodeImage(const std::vector<std::uint8_t>& bytes) const = 0;
    /// Starts the file at path (replacing it) for frames of the given size; null when it cannot be.
    virtual std::unique_ptr<AviWriter> OpenAvi(const std::filesystem::path& path, cv::Size size,
                                               double fps) const = 0;
};

/// The plugin, loaded by the first call from any thread. Null when it cannot be loaded; the reason is then
/// written to the standard error once, and is MediaError().
const Media* LoadMedia();
std::string MediaError();
