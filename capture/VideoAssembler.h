#pragma once

#include "GameRecord.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <opencv2/core.hpp>
#include <optional>
#include <string>
#include <vector>

class AviWriter;

/// What a JPEG file's markers say about it: the frame size and whether its bytes can go into a
/// Motion-JPEG stream as they are. Not valid when the markers are broken or the file is cut short.
struct JpegInfo {
    bool valid = false;
    bool baseline = false; ///< baseline or extended sequential, three components: any player decodes it
    cv::Size size;
};

/// Reads the markers of a whole JPEG file, up to the start of its scan, and checks that it ends in
/// the end-of-image marker. Decodes nothing.
JpegInfo InspectJpeg(const std::vector<std::uint8_t>& bytes);

/// What the video shows under one frame: the move and who made it, and both clocks (or, without the
/// game's record, the time since the first picture).
struct FrameCaption {
    std::string move;
    std::string clocks;
};

/// Turns one game's pictures into "output.avi" in the picture folder: the picture of ply 1 decides
/// the frame size, and plies 1 to N are the frames, in order, Motion-JPEG at the given rate. Each frame
/// is the picture file's own bytes; only a picture of another size, or one that gets the clocks drawn
/// in, is decoded and encoded again. The file is written as "output.avi.part" and renamed over
/// "output.avi" when finished, together with "output.srt", whose subtitles give the clocks.
class VideoAssembler {
public:
    enum class OpenResult { Ready, FirstPictureMissing, WriterFailed };
    enum class FinishResult { Replaced, KeptOld, Failed };

    /// folderUtf8 is empty or ends in a separator. drawClocks burns the captions into the frames.
    VideoAssembler(std::string folderUtf8, int game, int plies, double fps, bool drawClocks = false);
    /// Abandons the file when it was not finished, leaving any older video as it was.
    ~VideoAssembler();

    /// Reads the first picture's size and opens "output.avi.part"; no file is touched unless the first
    /// picture is there and whole.
    OpenResult Open();
    /// Writes the frames, calling progress (0 to 1000) after each ply, also for a picture that is
    /// missing or broken; ends at such a picture, or after the current frame once stop is set (before
    /// the first one if it is set already). Returns the number of frames written.
    int Assemble(const std::function<void(int progress)>& progress, const std::atomic<bool>& stop);
    /// Ends the file. It replaces "output.avi" and "output.srt" when it holds a frame; without one (the
    /// assembly never ran, was stopped before its first frame, or had no ply), or
    /// on failure, the older video stays. Calls after the first return its result.
    FinishResult Finish();

    int Game() const { return m_game; }
    cv::Size FrameSize() const { return m_size; }
    int Frames() const { return static_cast<int>(m_captions.size()); }
    /// The ply whose picture was missing or broken and ended the assembly; 0 when none did.
    int FailedPly() const { return m_failedPly; }
    std::string FirstPictureName() const;
    std::filesystem::path VideoPath() const;

private:
    std::filesystem::path InFolder(const std::string& name) const;
    /// The JPEG bytes of one frame: the picture's own, or made again to fit and to carry the clocks.
    bool FrameBytes(int ply, std::vector<std::uint8_t>& bytes, FrameCaption& caption) const;
    bool WriteSubtitles() const;

    std::string m_folder;
    int m_game;
    int m_plies;
    double m_fps;
    bool m_drawClocks;
    cv::Size m_size;
    std::filesystem::file_time_type m_firstTime;
    std::map<int, PlyRecord> m_record;
    std::vector<FrameCaption> m_captions;
    std::unique_ptr<AviWriter> m_muxer;
    bool m_assembled = false;
    bool m_failed = false;
    int m_failedPly = 0;
    std::optional<FinishResult> m_finished;
};
