#include "Camera.h"

#include "PictureNames.h"
#include "PictureWriter.h"

#include <filesystem>

int SourceApi(const std::string& source)
{
    // A pipeline names its elements with "!"; anything else is a file or a stream address, for FFmpeg.
    // Naming the backend also spares probing every other one (FireWire cameras among them).
    return source.find('!') != std::string::npos ? cv::CAP_GSTREAMER : cv::CAP_FFMPEG;
}

int CameraApi()
{
#ifdef __linux__
    return cv::CAP_V4L2;
#else
    return cv::CAP_ANY;
#endif
}

bool OpenCameraAtSize(cv::VideoCapture& capture, int index, int api, int width, int height)
{
    // Not as open parameters: OpenCV turns a size that the camera refuses there into a failure to open.
    if (!capture.open(index, api))
        return false;
    if (!capture.set(cv::CAP_PROP_FRAME_WIDTH, width) || !capture.set(cv::CAP_PROP_FRAME_HEIGHT, height)) {
        // A refused size can leave a V4L2 capture without buffers; opened again, it streams at its own size.
        capture.release();
        return capture.open(index, api);
    }
    return true;
}

Camera::Camera(CameraConfig config, std::shared_ptr<PreviewSink> preview, std::shared_ptr<PictureWriter> writer)
    : m_config(std::move(config)), m_preview(std::move(preview)), m_writer(std::move(writer))
{
}

bool Camera::OpenCamera()
{
    try {
        if (!m_config.source.empty()) {
            m_capture.open(m_config.source, SourceApi(m_config.source));
        } else {
            OpenCameraAtSize(m_capture, m_config.index, CameraApi(), m_config.width, m_config.height);
        }
    } catch (const cv::Exception&) {
        m_capture.release();
    }
    if (!m_capture.isOpened())
        return false;
    if (!m_config.folderUtf8.empty()) {
        std::error_code ignored; // a folder that cannot be made shows up as failed pictures, each reported
        std::filesystem::create_directories(ToNarrowPath(m_config.folderUtf8, ""), ignored);
    }
    m_preview->OpenPreview();
    return true;
}

bool Camera::ShowPreviewFrame()
{
    try {
        if (!m_capture.read(m_frame) || m_frame.empty())
            return false;
    } catch (const cv::Exception&) {
        return false;
    }
    m_preview->ShowFrame(m_frame);
    // A clock press copies the frame for the picture writer. Copying into fresh memory costs page faults
    // (milliseconds for a large frame), so the copy's memory is made and touched here, ahead of the press.
    if (m_spare.size() != m_frame.size() || m_spare.type() != m_frame.type())
        m_frame.copyTo(m_spare);
    return !m_preview->WaitForKey(std::chrono::milliseconds(10));
}

void Camera::SaveMovePicture(int game, int ply)
{
    // The capture reuses its buffer at the next grab, so the writer gets a copy, in the spare memory.
    m_frame.copyTo(m_spare);
    m_writer->Submit(ToNarrowPath(m_config.folderUtf8, FormatPictureName(game, ply)), std::move(m_spare));
    m_spare = cv::Mat();
}

void Camera::CloseCamera()
{
    m_capture.release();
    m_preview->ClosePreview();
}
