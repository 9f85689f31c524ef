#include "Camera.h"

#include "PictureNames.h"
#include "PictureWriter.h"
#include "Ticker.h"

#include <filesystem>
#include <string_view>

namespace {
/// A source read frame by frame in order: a file, not a pipeline, a stream address or a device.
bool IsRecorded(std::string_view source)
{
    return !source.empty() && source.find('!') == std::string_view::npos &&
           source.find("://") == std::string_view::npos && source.rfind("/dev/", 0) != 0;
}

// A video file that gives no frame rate (or a nonsensical one) plays at the common rate of cameras.
constexpr double kDefaultFps = 25.0;
constexpr double kMaxFps = 1000.0;

/// Reads one frame into raw; false when there is none.
bool ReadFrame(FrameSource& capture, cv::Mat& raw)
{
    try {
        return capture.Read(raw);
    } catch (const cv::Exception&) {
        return false;
    }
}
} // namespace

Camera::Camera(CameraConfig config, std::shared_ptr<PreviewSink> preview,
               std::shared_ptr<PictureWriter> writer)
    : m_config(std::move(config)), m_preview(std::move(preview)), m_writer(std::move(writer)),
      m_recorded(IsRecorded(m_config.source)),
      m_ticker(m_config.ticker ? m_config.ticker : std::make_shared<SteadyTicker>())
{}

Camera::~Camera()
{
    StopGrabbing();
}

bool Camera::OpenCamera()
{
    const Media* media = LoadMedia();
    try {
        if (media)
            m_capture = media->OpenSource(m_config.source, m_config.index, m_config.width, m_config.height);
    } catch (const cv::Exception&) {
        m_capture.reset();
    }
    if (!m_capture) {
        m_openError = media ? media->SourceError(m_config.source, m_config.index) : MediaError();
        return false;
    }
    if (!m_config.folderUtf8.empty()) {
        std::error_code ignored; // a folder that cannot be made shows up as failed pictures, each reported
        std::filesystem::create_directories(ToNarrowPath(m_config.folderUtf8, ""), ignored);
    }
    // The first frame is waited for here, while the clocks wait; the capture reuses its buffer at the
    // next read, so what is kept is a copy.
    cv::Mat raw;
    m_grabEnded = !ReadFrame(*m_capture, raw);
    m_grabReady = !m_grabEnded;
    if (m_grabReady)
        raw.copyTo(m_grabbed);
    m_grabStop = false;
    m_grabWanted = false;
    const double fps = m_capture->FramesPerSecond();
    m_frameNs = 1e9 / (fps > 0.0 && fps <= kMaxFps ? fps : kDefaultFps);
    m_playStartNs = m_ticker->NowNs();
    m_framesPlayed = 0;
    if (m_grabReady)
        m_grabber = std::thread([this] { GrabFrames(); });
    m_preview->OpenPreview();
    return true;
}

void Camera::GrabFrames()
{
    cv::Mat raw, copy;
    for (;;) {
        {
            std::unique_lock lock(m_grabMutex);
            m_grabChanged.wait(lock, [this] { return m_grabWanted || m_grabStop; });
            if (m_grabStop)
                return;
            m_grabWanted = false;
        }
        const bool read = ReadFrame(*m_capture, raw);
        if (read)
            raw.copyTo(copy); // into memory of its own, outside the lock
        {
            std::lock_guard lock(m_grabMutex);
            if (read) {
                std::swap(copy, m_grabbed);
                m_grabReady = true;
            } else {
                m_grabEnded = true;
            }
        }
        m_grabChanged.notify_all();
        if (!read)
            return;
    }
}

bool Camera::ShowPreviewFrame()
{
    bool taken = false;
    // A file's next frame is shown when its time since the first has come, not at every iteration.
    const bool due = !m_recorded || static_cast<double>(m_ticker->NowNs() - m_playStartNs) >=
                                        static_cast<double>(m_framesPlayed) * m_frameNs;
    if (due) {
        std::unique_lock lock(m_grabMutex);
        if (m_recorded)
            m_grabChanged.wait_for(lock, std::chrono::seconds(5),
                                   [this] { return m_grabReady || m_grabEnded; });
        if (m_grabReady) {
            ++m_framesPlayed;
            // The buffers go round: the frame before this one becomes the grabber's next memory.
            std::swap(m_frame, m_grabbed);
            m_grabReady = false;
            m_grabWanted = true;
            taken = true;
        } else if (m_grabEnded) {
            return false;
        }
    }
    if (taken) {
        m_grabChanged.notify_all();
        m_preview->ShowFrame(m_frame);
        // A clock press copies the frame for the picture writer. Copying into fresh memory costs page
        // faults (milliseconds for a large frame), so the copy's memory is made and touched here.
        if (m_spare.size() != m_frame.size() || m_spare.type() != m_frame.type())
            m_frame.copyTo(m_spare);
    }
    // The loop's own sleep paces it; a key typed into the preview is only looked for.
    return !m_preview->WaitForKey(std::chrono::milliseconds(0));
}

void Camera::SaveMovePicture(int game, int ply)
{
    // The capture reuses its buffer at the next grab, so the writer gets a copy, in the spare memory.
    m_frame.copyTo(m_spare);
    m_writer->Submit(ToNarrowPath(m_config.folderUtf8, FormatPictureName(game, ply)), std::move(m_spare));
    m_spare = cv::Mat();
}

void Camera::SaveStartPicture(int game)
{
    // Ply 0 is the press by Black that starts the game: its name is "gameNNmove000b.jpg", which the video,
    // counting from ply 1, never reads.
    if (m_config.startPicture)
        SaveMovePicture(game, 0);
}

void Camera::RecordPly(int game, const PlyRecord& record)
{
    if (!m_config.keepRecord)
        return;
    PlyRecord line = record;
    line.picture = FormatPictureName(game, record.ply);
    // The first ply starts the file afresh: game numbers begin again at every run of the program.
    const bool fresh = record.ply == 1;
    m_writer->Append(ToNarrowPath(m_config.folderUtf8, FormatRecordName(game)),
                     (fresh ? GameRecordHeader() + "\n" : std::string()) + FormatGameRecordLine(line) + "\n",
                     fresh);
}

void Camera::StopGrabbing()
{
    {
        std::lock_guard lock(m_grabMutex);
        m_grabStop = true;
    }
    m_grabChanged.notify_all();
    if (m_grabber.joinable())
        m_grabber.join();
}

void Camera::CloseCamera()
{
    StopGrabbing();
    m_capture.reset();
    m_preview->ClosePreview();
}
