#include "MediaPlugin.h"

#include "Media.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <filesystem>
#include <gst/gst.h>
#include <opencv2/imgcodecs.hpp>

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

namespace {
class VideoSource final : public FrameSource {
public:
    bool Read(cv::Mat& frame) override { return m_capture.read(frame) && !frame.empty(); }
    double FramesPerSecond() const override { return m_capture.get(cv::CAP_PROP_FPS); }
    cv::VideoCapture m_capture;
};

/// What GStreamer says of a pipeline: that it cannot be made (an element missing, a typing error), or
/// the first error it posts when started (a file not there, a decoder missing).
std::string PipelineError(const std::string& pipeline)
{
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error))
        return error ? error->message : "GStreamer cannot start";
    GstElement* bin = gst_parse_launch(pipeline.c_str(), &error);
    std::string reason = error ? error->message : "";
    g_clear_error(&error);
    if (bin && reason.empty()) {
        gst_element_set_state(bin, GST_STATE_PAUSED);
        GstBus* bus = gst_element_get_bus(bin);
        // A live source never prerolls: five seconds without an error is as far as this looks.
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus, 5 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE));
        if (message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            gchar* debug = nullptr;
            gst_message_parse_error(message, &error, &debug);
            reason = error ? error->message : "";
            // The missing plug-in's name is in the details.
            if (debug && reason.find("plug-in") != std::string::npos)
                reason += std::string(" (") + debug + ")";
            g_clear_error(&error);
            g_free(debug);
        }
        if (message)
            gst_message_unref(message);
        gst_object_unref(bus);
        gst_element_set_state(bin, GST_STATE_NULL);
    }
    if (bin)
        gst_object_unref(bin);
    return reason;
}

/// What FFmpeg says of a file or a stream address: that it cannot be opened or read, or that it holds
/// no video it has a decoder for.
std::string FfmpegError(const std::string& source)
{
    AVFormatContext* input = nullptr;
    int result = avformat_open_input(&input, source.c_str(), nullptr, nullptr);
    std::string reason;
    if (result >= 0)
        result = avformat_find_stream_info(input, nullptr);
    if (result < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(result, text, sizeof text);
        reason = text;
    } else if (const int video = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
               video < 0) {
        reason = video == AVERROR_DECODER_NOT_FOUND ? "no decoder for its video" : "it holds no video";
    }
    avformat_close_input(&input);
    return reason;
}

class AvformatAviWriter final : public AviWriter {
public:
    ~AvformatAviWriter() override
    {
        if (m_muxer)
            avio_closep(&m_muxer->pb);
        avformat_free_context(m_muxer);
    }

    bool Open(const std::filesystem::path& path, cv::Size size, double fps)
    {
        if (avformat_alloc_output_context2(&m_muxer, nullptr, "avi", nullptr) < 0)
            return false;
        AVStream* stream = avformat_new_stream(m_muxer, nullptr);
        if (!stream)
            return false;
        stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        stream->codecpar->codec_id = AV_CODEC_ID_MJPEG;
        stream->codecpar->codec_tag = MKTAG('M', 'J', 'P', 'G');
        stream->codecpar->width = size.width;
        stream->codecpar->height = size.height;
        m_frameTime = av_inv_q(av_d2q(fps, 1000));
        stream->time_base = m_frameTime;
        stream->avg_frame_rate = av_d2q(fps, 1000);
        // "file:" keeps a folder name with a colon from being taken for a protocol.
        const std::u8string name = path.u8string();
        const std::string url = "file:" + std::string(name.begin(), name.end());
        return avio_open(&m_muxer->pb, url.c_str(), AVIO_FLAG_WRITE) >= 0 &&
               avformat_write_header(m_muxer, nullptr) >= 0;
    }

    bool Write(const std::vector<std::uint8_t>& jpeg) override
    {
        AVPacket* packet = av_packet_alloc();
        if (!packet)
            return false;
        const AVRational timeBase = m_muxer->streams[0]->time_base;
        // The bytes stay ours: the muxer copies them out before it returns.
        packet->data = const_cast<std::uint8_t*>(jpeg.data());
        packet->size = static_cast<int>(jpeg.size());
        packet->flags = AV_PKT_FLAG_KEY;
        packet->pts = packet->dts = av_rescale_q(m_frames, m_frameTime, timeBase);
        packet->duration = av_rescale_q(1, m_frameTime, timeBase);
        const bool written = av_write_frame(m_muxer, packet) >= 0 && m_muxer->pb->error == 0;
        av_packet_free(&packet);
        m_frames += written;
        return written;
    }

    bool Finish() override { return av_write_trailer(m_muxer) >= 0 && m_muxer->pb->error == 0; }

private:
    AVFormatContext* m_muxer = nullptr;
    AVRational m_frameTime{};
    std::int64_t m_frames = 0;
};

class OpenCvMedia final : public Media {
public:
    std::unique_ptr<FrameSource> OpenSource(const std::string& source, int index, int width,
                                            int height) const override
    {
        auto video = std::make_unique<VideoSource>();
        cv::VideoCapture& capture = video->m_capture;
        if (!source.empty()) {
            // A pipeline names its elements with "!"; anything else is a file or a stream address, for
            // FFmpeg. Naming the backend also spares probing every other one (FireWire cameras among them).
            capture.open(source, source.find('!') != std::string::npos ? cv::CAP_GSTREAMER : cv::CAP_FFMPEG);
        } else {
#ifdef __linux__
            const int api = cv::CAP_V4L2;
#else
            const int api = cv::CAP_ANY;
#endif
            if (width > 0 && height > 0)
                OpenCameraAtSize(capture, index, api, width, height);
            else
                capture.open(index, api);
        }
        if (!capture.isOpened())
            return nullptr;
        return video;
    }

    std::string SourceError(const std::string& source, int index) const override
    {
        if (source.find('!') != std::string::npos)
            return PipelineError(source);
        if (!source.empty())
            return FfmpegError(source);
#ifdef __linux__
        const std::string device = "/dev/video" + std::to_string(index);
        if (std::error_code error; !std::filesystem::exists(device, error))
            return "there is no " + device;
#endif
        return {};
    }

    bool EncodeJpeg(const cv::Mat& frame, std::vector<std::uint8_t>& jpeg, int quality) const override
    {
        return cv::imencode(".jpg", frame, jpeg, {cv::IMWRITE_JPEG_QUALITY, quality});
    }

    cv::Mat DecodeImage(const std::vector<std::uint8_t>& bytes) const override
    {
        return cv::imdecode(bytes, cv::IMREAD_COLOR);
    }

    std::unique_ptr<AviWriter> OpenAvi(const std::filesystem::path& path, cv::Size size,
                                       double fps) const override
    {
        auto writer = std::make_unique<AvformatAviWriter>();
        if (!writer->Open(path, size, fps))
            return nullptr;
        return writer;
    }
};
} // namespace

/// The plugin's one entry point, which the program looks up by name.
extern "C" __attribute__((visibility("default"))) const Media* OrvelleMedia()
{
    static const OpenCvMedia media;
    return &media;
}
