#pragma once

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>

/// Turns one game's pictures into "output.avi" in the picture folder: the picture of ply 1 decides
/// the frame size, and plies 2 to N are the frames, in order, Motion-JPEG at the given rate.
class VideoAssembler {
public:
    enum class OpenResult { Ready, FirstPictureMissing, WriterFailed };

    /// folderUtf8 is empty or ends in a separator.
    VideoAssembler(std::string folderUtf8, int game, int plies, double fps);
    /// Finishes the file if it is still open.
    ~VideoAssembler();

    /// Reads the first picture for the frame size and opens the video; no file is touched unless the
    /// first picture is there.
    OpenResult Open();
    /// Writes the frames, calling progress (0 to 1000) after each ply, also for a picture that
    /// failed to load; ends at the first missing picture, or after the current frame once stop is set.
    /// Returns the number of frames written.
    int Assemble(const std::function<void(int progress)>& progress, const std::atomic<bool>& stop);
    /// Finishes the file.
    void Finish();

    cv::Size FrameSize() const { return m_size; }
    std::string FirstPictureName() const;
    std::filesystem::path VideoPath() const;

    /// A picture as a colour image, read through std::filesystem so that any folder name works;
    /// empty when missing or unreadable.
    static cv::Mat LoadPicture(const std::filesystem::path& path);

private:
    std::string m_folder;
    int m_game;
    int m_plies;
    double m_fps;
    cv::Size m_size;
    cv::VideoWriter m_writer;
};
