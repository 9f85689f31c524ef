#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <opencv2/core.hpp>
#include <string>
#include <thread>

/// Writes pictures as JPEG files on a thread of its own, so that encoding and the disk never stall
/// the clocks. Its queue is bounded and blocks rather than drops: a picture is data.
class PictureWriter {
public:
    /// Called on the writer's thread after each picture: error empty when the file was written.
    using Report = std::function<void(const std::filesystem::path& path, const std::string& error)>;

    explicit PictureWriter(Report report = {}, std::size_t capacity = 8);
    /// Writes what is still queued, then stops.
    ~PictureWriter();

    /// Queues a picture; the frame must be the caller's own copy. Waits while the queue is full.
    void Submit(std::filesystem::path path, cv::Mat frame);
    /// Queues text for the end of a file (a new file when fresh), written and flushed in turn with
    /// the pictures. Reported like a picture.
    void Append(std::filesystem::path path, std::string text, bool fresh);
    /// Returns when every picture submitted so far has been written or has failed.
    void WaitUntilWritten();
    /// Whether pictures are still waiting to be written.
    bool Busy();

    /// Encodes and writes one JPEG through a temporary file and a rename, so a reader never sees
    /// half a picture. Returns the reason of a failure, or an empty text.
    static std::string WriteJpeg(const std::filesystem::path& path, const cv::Mat& frame);
    /// Appends text to a file (replacing it when fresh) and flushes it. Returns the reason of a failure.
    static std::string AppendText(const std::filesystem::path& path, const std::string& text, bool fresh);

private:
    struct Job {
        std::filesystem::path path;
        cv::Mat frame;
        std::string text; // when there is no frame: text to append
        bool fresh = false;
    };
    void Queue(Job job);
    void Run();

    Report m_report;
    const std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_queue;
    std::size_t m_unfinished = 0;
    bool m_stopping = false;
    std::thread m_thread;
};
