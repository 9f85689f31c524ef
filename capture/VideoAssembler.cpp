#include "VideoAssembler.h"

#include "PictureNames.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <fstream>
#include <future>
#include <iterator>

VideoAssembler::VideoAssembler(std::string folderUtf8, int game, int plies, double fps)
    : m_folder(std::move(folderUtf8)), m_game(game), m_plies(plies), m_fps(fps)
{
}

VideoAssembler::~VideoAssembler()
{
    Finish();
}

std::string VideoAssembler::FirstPictureName() const
{
    return FormatPictureName(m_game, 1);
}

std::filesystem::path VideoAssembler::VideoPath() const
{
    return ToNarrowPath(m_folder, "output.avi");
}

cv::Mat VideoAssembler::LoadPicture(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty())
        return {};
    try {
        return cv::imdecode(bytes, cv::IMREAD_COLOR);
    } catch (const cv::Exception&) {
        return {};
    }
}

VideoAssembler::OpenResult VideoAssembler::Open()
{
    const cv::Mat first = LoadPicture(ToNarrowPath(m_folder, FirstPictureName()));
    if (first.empty())
        return OpenResult::FirstPictureMissing;
    m_size = first.size();
    const int mjpg = cv::VideoWriter::fourcc('M', 'J', 'P', 'G');
    // The path as UTF-8 bytes, which is what OpenCV hands to the file system on Linux and macOS.
    const std::string path = reinterpret_cast<const char*>(VideoPath().u8string().c_str());
    // FFmpeg where OpenCV has it, OpenCV's own Motion-JPEG writer where it does not.
    for (int api : {cv::CAP_FFMPEG, cv::CAP_OPENCV_MJPEG}) {
        try {
            if (m_writer.open(path, api, mjpg, m_fps, m_size, true))
                return OpenResult::Ready;
        } catch (const cv::Exception&) {
        }
    }
    return OpenResult::WriterFailed;
}

int VideoAssembler::Assemble(const std::function<void(int progress)>& progress, const std::atomic<bool>& stop)
{
    if (!m_writer.isOpened())
        return 0;
    auto load = [this](int ply) { return LoadPicture(ToNarrowPath(m_folder, FormatPictureName(m_game, ply))); };
    // The next picture is read and decoded while the current one is encoded.
    std::future<cv::Mat> next;
    if (m_plies >= 2)
        next = std::async(std::launch::async, load, 2);
    int frames = 0;
    for (int p = 2; p <= m_plies; ++p) {
        cv::Mat picture = next.get();
        if (p < m_plies)
            next = std::async(std::launch::async, load, p + 1);
        const bool loaded = !picture.empty();
        if (loaded) {
            // A picture of another size would be dropped or refused by the writer: fit it instead.
            if (picture.size() != m_size)
                cv::resize(picture, picture, m_size, 0, 0, cv::INTER_AREA);
            m_writer.write(picture);
            ++frames;
        }
        progress(static_cast<int>(static_cast<double>(p - 1) / (m_plies - 1) * 1000));
        if (!loaded || stop)
            break;
    }
    return frames;
}

void VideoAssembler::Finish()
{
    m_writer.release();
}
