#include "VideoAssembler.h"

#include "ClockRules.h"
#include "Media.h"
#include "PictureNames.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <future>
#include <opencv2/imgproc.hpp>

namespace fs = std::filesystem;

namespace {
// Frames that are made again (fitted, or with the clocks drawn in) keep the text's edges sharp.
constexpr int kRedrawnQuality = 95;

std::vector<std::uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size <= 0)
        return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        return {};
    return bytes;
}

/// A SubRip time, hh:mm:ss,mmm.
std::string SrtTime(long long ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld,%03lld", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return text;
}

/// A dark bar across the bottom with the move on the left and the clocks on the right, sized to the
/// frame so that it reads at 640 x 480 and up.
void DrawCaption(cv::Mat& frame, const FrameCaption& caption)
{
    const int barHeight = std::max(24, frame.rows / 12);
    const cv::Rect bar(0, frame.rows - barHeight, frame.cols, barHeight);
    cv::rectangle(frame, bar, cv::Scalar(20, 20, 20), cv::FILLED);
    const int font = cv::FONT_HERSHEY_SIMPLEX;
    const int thickness = std::max(1, barHeight / 20);
    const int margin = barHeight / 3;
    double scale = cv::getFontScaleFromHeight(font, barHeight / 2, thickness);
    int baseline = 0;
    const int textWidth = cv::getTextSize(caption.move, font, scale, thickness, &baseline).width +
                          cv::getTextSize(caption.clocks, font, scale, thickness, &baseline).width;
    if (textWidth > frame.cols - 3 * margin)
        scale *= static_cast<double>(frame.cols - 3 * margin) / textWidth;
    const cv::Size clocks = cv::getTextSize(caption.clocks, font, scale, thickness, &baseline);
    const int y = bar.y + (barHeight + clocks.height) / 2;
    const cv::Scalar white(255, 255, 255);
    cv::putText(frame, caption.move, {margin, y}, font, scale, white, thickness, cv::LINE_AA);
    cv::putText(frame, caption.clocks, {frame.cols - margin - clocks.width, y}, font, scale, white, thickness,
                cv::LINE_AA);
}

/// The caption of a ply's frame: from the game's record when it has the ply, else from the time since
/// the first picture.
FrameCaption Caption(int ply, const PlyRecord* record, double secondsSinceFirst)
{
    const bool white = ply % 2 == 1;
    FrameCaption caption{"Move " + std::to_string((ply + 1) / 2) + ", " + (white ? "White" : "Black"), {}};
    if (!record) {
        caption.clocks = "Elapsed " + FormatClockText(secondsSinceFirst);
        return caption;
    }
    // The side that pressed tells which clock is White's.
    const bool whiteLeft = record->leftMoved == white;
    caption.clocks = "White " + FormatClockText(whiteLeft ? record->leftTime : record->rightTime) +
                     "   Black " + FormatClockText(whiteLeft ? record->rightTime : record->leftTime);
    return caption;
}
} // namespace

JpegInfo InspectJpeg(const std::vector<std::uint8_t>& b)
{
    JpegInfo info;
    const std::size_t n = b.size();
    // A file cut short has lost its end-of-image marker.
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8 || b[n - 2] != 0xFF || b[n - 1] != 0xD9)
        return info;
    bool frameHeader = false;
    for (std::size_t i = 2; i + 4 <= n;) {
        if (b[i] != 0xFF)
            return info;
        const std::uint8_t marker = b[i + 1];
        if (marker == 0xFF) { // fill byte
            ++i;
            continue;
        }
        const std::size_t length = static_cast<std::size_t>(b[i + 2]) << 8 | b[i + 3];
        if (length < 2 || i + 2 + length > n)
            return info;
        // Start of frame: every C0 to CF except the Huffman (C4), arithmetic (CC) and reserved (C8) tables.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (length < 8)
                return info;
            info.size = {b[i + 7] << 8 | b[i + 8], b[i + 5] << 8 | b[i + 6]};
            info.baseline = (marker == 0xC0 || marker == 0xC1) && b[i + 4] == 8 && b[i + 9] == 3;
            frameHeader = true;
        } else if (marker == 0xDA) { // start of scan: the headers are complete
            info.valid = frameHeader && info.size.width > 0 && info.size.height > 0;
            return info;
        }
        i += 2 + length;
    }
    return info;
}

VideoAssembler::VideoAssembler(std::string folderUtf8, int game, int plies, double fps, bool drawClocks)
    : m_folder(std::move(folderUtf8)), m_game(game), m_plies(plies), m_fps(fps), m_drawClocks(drawClocks)
{}

VideoAssembler::~VideoAssembler()
{
    if (!m_finished) {
        m_muxer.reset();
        std::error_code ignored;
        fs::remove(InFolder("output.avi.part"), ignored);
    }
}

fs::path VideoAssembler::InFolder(const std::string& name) const
{
    return ToNarrowPath(m_folder, name);
}

std::string VideoAssembler::FirstPictureName() const
{
    return FormatPictureName(m_game, 1);
}

fs::path VideoAssembler::VideoPath() const
{
    return InFolder("output.avi");
}

VideoAssembler::OpenResult VideoAssembler::Open()
{
    const fs::path first = InFolder(FirstPictureName());
    const JpegInfo info = InspectJpeg(ReadFile(first));
    if (!info.valid)
        return OpenResult::FirstPictureMissing;
    m_size = info.size;
    std::error_code error;
    m_firstTime = fs::last_write_time(first, error);
    std::ifstream record(InFolder(FormatRecordName(m_game)));
    for (const PlyRecord& r : ParseGameRecord(record))
        m_record[r.ply] = r;

    if (const Media* media = LoadMedia())
        m_muxer = media->OpenAvi(InFolder("output.avi.part"), m_size, m_fps);
    if (m_muxer)
        return OpenResult::Ready;
    fs::remove(InFolder("output.avi.part"), error);
    return OpenResult::WriterFailed;
}

bool VideoAssembler::FrameBytes(int ply, std::vector<std::uint8_t>& bytes, FrameCaption& caption) const
{
    const fs::path path = InFolder(FormatPictureName(m_game, ply));
    bytes = ReadFile(path);
    const JpegInfo info = InspectJpeg(bytes);
    if (!info.valid)
        return false;
    std::error_code error;
    const auto time = fs::last_write_time(path, error);
    const auto found = m_record.find(ply);
    caption = Caption(ply, found == m_record.end() ? nullptr : &found->second,
                      error ? 0.0 : std::chrono::duration<double>(time - m_firstTime).count());
    if (info.baseline && info.size == m_size && !m_drawClocks)
        return true;
    // Open() has loaded the plugin.
    const Media& media = *LoadMedia();
    cv::Mat frame;
    try {
        frame = media.DecodeImage(bytes);
    } catch (const cv::Exception&) {
    }
    if (frame.empty())
        return false;
    if (frame.size() != m_size)
        cv::resize(frame, frame, m_size, 0, 0, cv::INTER_AREA);
    if (m_drawClocks)
        DrawCaption(frame, caption);
    return media.EncodeJpeg(frame, bytes, kRedrawnQuality);
}

int VideoAssembler::Assemble(const std::function<void(int progress)>& progress, const std::atomic<bool>& stop)
{
    if (!m_muxer || m_assembled || stop)
        return 0;
    m_assembled = true;
    struct Frame {
        bool loaded = false;
        std::vector<std::uint8_t> bytes;
        FrameCaption caption;
    };
    auto make = [this](int ply) {
        Frame f;
        f.loaded = FrameBytes(ply, f.bytes, f.caption);
        return f;
    };
    // Frames that are drawn on are made two at a time, one per core; the others cost too little to
    // be worth a thread, and are made as they are written.
    const auto policy = m_drawClocks ? std::launch::async : std::launch::deferred;
    std::future<Frame> next = std::async(policy, make, 1);
    for (int p = 1; p <= m_plies; ++p) {
        std::future<Frame> current = std::move(next);
        if (p < m_plies)
            next = std::async(policy, make, p + 1);
        const Frame frame = current.get();
        if (frame.loaded && !m_muxer->Write(frame.bytes)) {
            m_failed = true;
            break;
        }
        if (frame.loaded)
            m_captions.push_back(frame.caption);
        else
            m_failedPly = p;
        progress(static_cast<int>(static_cast<double>(p) / m_plies * 1000));
        if (!frame.loaded || stop)
            break;
    }
    return Frames();
}

bool VideoAssembler::WriteSubtitles() const
{
    std::ofstream srt(InFolder("output.srt.part"), std::ios::binary | std::ios::trunc);
    const auto at = [this](int frame) { return std::llround(frame * 1000.0 / m_fps); };
    for (int k = 0; k < Frames(); ++k) {
        srt << k + 1 << "\r\n"
            << SrtTime(at(k)) << " --> " << SrtTime(at(k + 1)) << "\r\n"
            << m_captions[k].move << "   " << m_captions[k].clocks << "\r\n\r\n";
    }
    srt.close();
    return srt.good();
}

VideoAssembler::FinishResult VideoAssembler::Finish()
{
    if (m_finished)
        return *m_finished;
    const fs::path part = InFolder("output.avi.part");
    const fs::path srtPart = InFolder("output.srt.part");
    std::error_code error;
    if (!m_muxer || !m_assembled || Frames() == 0) {
        // Never started, stopped before its first frame, or no frame to show: the older video stays.
        m_muxer.reset();
        fs::remove(part, error);
        return *(m_finished = FinishResult::KeptOld);
    }
    // The trailer flushes the file, so a disk that filled up shows here.
    bool ok = !m_failed && m_muxer->Finish();
    m_muxer.reset();
    ok = ok && WriteSubtitles();
    if (ok) {
        fs::rename(part, VideoPath(), error);
        if (!error)
            fs::rename(srtPart, InFolder("output.srt"), error);
        ok = !error;
    }
    fs::remove(part, error);
    fs::remove(srtPart, error);
    return *(m_finished = ok ? FinishResult::Replaced : FinishResult::Failed);
}
