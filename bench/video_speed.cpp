// Frames per second of the video assembly for 200 pictures, at 640 x 480 and 1600 x 1200, measured in
// one run beside two peers on the same pictures: the ffmpeg command line re-encoding them into a
// Motion-JPEG AVI at 2 frames per second, and ffmpeg copying their JPEG streams into one (-c:v copy).
// Each figure is the best of three runs; the file sizes show what each way costs on disk.
#include "PictureNames.h"
#include "VideoAssembler.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {
constexpr int kFrames = 200;

/// Frames per second of the best of three runs of job; 0 when a run fails.
double BestRate(const std::function<bool()>& job)
{
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        const auto t0 = Clock::now();
        if (!job())
            return 0;
        best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
    }
    return kFrames / best;
}

double Megabytes(const fs::path& file)
{
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? 0.0 : size / 1e6;
}

void Run(int width, int height, const fs::path& root, bool drawClocks)
{
    const int plies = kFrames; // every ply is a frame; ply 1 also sets the size
    const fs::path folder = root / (std::to_string(width) + "x" + std::to_string(height)) / "";
    const fs::path links = folder / "links";
    fs::create_directories(links);
    cv::Mat base(height, width, CV_8UC3);
    cv::randu(base, 0, 255);
    cv::GaussianBlur(base, base, {0, 0}, 4); // closer to a photograph than noise
    for (int ply = 1; ply <= plies; ++ply) {
        cv::Mat picture = base.clone();
        cv::circle(picture, {ply * 3 % width, height / 2}, height / 8, cv::Scalar(0, 0, 255), -1);
        const fs::path path = folder / FormatPictureName(1, ply);
        cv::imwrite(path.string(), picture);
        {
            char name[32];
            std::snprintf(name, sizeof name, "frame%03d.jpg", ply - 1);
            fs::create_symlink(path, links / name);
        }
    }

    auto assemble = [&](bool clocks) {
        VideoAssembler assembler(folder.string(), 1, plies, 2.0, clocks);
        const std::atomic<bool> stop{false};
        return assembler.Open() == VideoAssembler::OpenResult::Ready &&
               assembler.Assemble([](int) {}, stop) == kFrames &&
               assembler.Finish() == VideoAssembler::FinishResult::Replaced;
    };
    auto ffmpeg = [&](const std::string& codec, const char* file) {
        const std::string command = "ffmpeg -v error -y -framerate 2 -i '" +
                                    (links / "frame%03d.jpg").string() + "' " + codec + " -f avi '" +
                                    (folder / file).string() + "'";
        return std::system(command.c_str()) == 0;
    };
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (drawClocks) {
        const double ours = BestRate([&] { return assemble(true); });
        const double peer = BestRate([&] { return ffmpeg("-c:v mjpeg -q:v 3", "encoded.avi"); });
        std::printf("%s with the clocks drawn in: Orvelle %.1f frames/s, ffmpeg re-encoding %.1f frames/s\n",
                    size.c_str(), ours, peer);
        std::printf("row: video assembly with the clocks drawn in (VIDEO_CLOCKS=1), %s | %.0f frames/s | | "
                    "ffmpeg re-encoding the pictures | %.0f frames/s\n",
                    size.c_str(), ours, peer);
        return;
    }
    const double ours = BestRate([&] { return assemble(false); });
    const double encoded = BestRate([&] { return ffmpeg("-c:v mjpeg -q:v 3", "encoded.avi"); });
    const double copied = BestRate([&] { return ffmpeg("-c:v copy", "copied.avi"); });
    const double mbOurs = Megabytes(folder / "output.avi"), mbEncoded = Megabytes(folder / "encoded.avi"),
                 mbCopied = Megabytes(folder / "copied.avi");

    std::printf(
        "%-11s Orvelle %7.0f frames/s   ffmpeg re-encoding %6.0f frames/s (%.1f x; target at least 20 x)"
        "   ffmpeg stream copy %6.0f frames/s (%.2f x; target at least 1 x)\n",
        size.c_str(), ours, encoded, encoded > 0 ? ours / encoded : 0.0, copied,
        copied > 0 ? ours / copied : 0.0);
    std::printf(
        "            video sizes: Orvelle %.1f MB, ffmpeg re-encoding %.1f MB, ffmpeg stream copy %.1f MB\n",
        mbOurs, mbEncoded, mbCopied);
    std::printf("row: video assembly of 200 pictures, %s | %.0f frames/s | at least 20 x the peer's | ffmpeg "
                "re-encoding the same job | %.0f frames/s (%.1f x)\n",
                size.c_str(), ours, encoded, encoded > 0 ? ours / encoded : 0.0);
    std::printf(
        "row: video assembly of 200 pictures, %s | %.0f frames/s | at least the peer's | ffmpeg stream "
        "copy (-c:v copy) | %.0f frames/s (%.2f x)\n",
        size.c_str(), ours, copied, copied > 0 ? ours / copied : 0.0);
    std::printf(
        "row: video file of 200 pictures, %s | %.1f MB | | ffmpeg re-encoding / stream copy | %.1f MB / "
        "%.1f MB\n",
        size.c_str(), mbOurs, mbEncoded, mbCopied);
}
} // namespace

int main()
{
    const fs::path root = fs::temp_directory_path() / "orvelle-bench-video";
    fs::remove_all(root);
    Run(640, 480, root, false);
    Run(1600, 1200, root, false);
    fs::remove_all(root);
    Run(640, 480, root, true);
    fs::remove_all(root);
}
