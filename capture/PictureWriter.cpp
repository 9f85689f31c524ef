#include "PictureWriter.h"

#include "Media.h"
#include "Words.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {
// OpenCV's own default, which the pictures have always had.
constexpr int kPictureQuality = 95;
} // namespace

PictureWriter::PictureWriter(Report report, std::size_t capacity)
    : m_report(std::move(report)), m_capacity(capacity ? capacity : 1), m_thread([this] { Run(); })
{}

PictureWriter::~PictureWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void PictureWriter::Submit(std::filesystem::path path, cv::Mat frame)
{
    Queue({std::move(path), std::move(frame), {}, false});
}

void PictureWriter::Append(std::filesystem::path path, std::string text, bool fresh)
{
    Queue({std::move(path), cv::Mat(), std::move(text), fresh});
}

void PictureWriter::Queue(Job job)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < m_capacity; });
    m_queue.push_back(std::move(job));
    ++m_unfinished;
    m_changed.notify_all();
}

bool PictureWriter::Busy()
{
    std::lock_guard lock(m_mutex);
    return m_unfinished > 0;
}

void PictureWriter::WaitUntilWritten()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_unfinished == 0; });
}

void PictureWriter::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return; // stopping, and nothing left to write
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        m_changed.notify_all(); // room in the queue
        lock.unlock();
        const std::string error =
            job.text.empty() ? WriteJpeg(job.path, job.frame) : AppendText(job.path, job.text, job.fresh);
        if (m_report)
            m_report(job.path, error);
        lock.lock();
        --m_unfinished;
        m_changed.notify_all();
    }
}

std::string PictureWriter::WriteJpeg(const std::filesystem::path& path, const cv::Mat& frame)
{
    const Media* media = LoadMedia();
    if (!media)
        return MediaError();
    std::vector<uchar> jpeg;
    try {
        if (frame.empty() || !media->EncodeJpeg(frame, jpeg, kPictureQuality))
            return Tr("PictureWriter", "the picture could not be encoded");
    } catch (const cv::Exception& e) {
        return e.what();
    }
    std::filesystem::path part = path;
    part += ".part";
    {
        errno = 0;
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        if (out)
            out.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
        if (out)
            out.close();
        if (!out) {
            const int saved = errno;
            std::error_code ignored;
            std::filesystem::remove(part, ignored);
            return saved ? std::strerror(saved) : Tr("PictureWriter", "the file could not be written");
        }
    }
    std::error_code error;
    std::filesystem::rename(part, path, error);
    if (error) {
        std::filesystem::remove(part, error);
        return error.message();
    }
    return {};
}

std::string PictureWriter::AppendText(const std::filesystem::path& path, const std::string& text, bool fresh)
{
    errno = 0;
    std::ofstream out(path, std::ios::binary | (fresh ? std::ios::trunc : std::ios::app));
    if (out)
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (out)
        out.close();
    if (out)
        return {};
    const int saved = errno;
    return saved ? std::strerror(saved) : Tr("PictureWriter", "the file could not be written");
}
