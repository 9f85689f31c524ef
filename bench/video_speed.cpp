// Frames per second of the video assembly for 200 pictures, at 640 x 480 and 1600 x 1200, measured
// in one run beside ffmpeg doing the same job on the same pictures: decode each JPEG and write it
// as a Motion-JPEG frame of an AVI at 2 frames per second (ffmpeg fed through numbered links).
#include "PictureNames.h"
#include "VideoAssembler.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {
double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void Run(int width, int height, const fs::path& root)
{
    const int plies = 201; // ply 1 sets the size; plies 2 to 201 are the 200 frames
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
        if (ply >= 2) {
            char name[32];
            std::snprintf(name, sizeof name, "frame%03d.jpg", ply - 2);
            fs::create_symlink(path, links / name);
        }
    }

    auto t0 = Clock::now();
    VideoAssembler assembler(folder.string(), 1, plies, 2.0);
    assembler.Open();
    std::atomic<bool> stop{false};
    const int frames = assembler.Assemble([](int) {}, stop);
    assembler.Finish();
    const double ours = frames / Seconds(t0);

    const std::string command = "ffmpeg -v error -y -framerate 2 -i '" + (links / "frame%03d.jpg").string() +
                                "' -c:v mjpeg -q:v 3 -f avi '" + (folder / "ffmpeg.avi").string() + "'";
    t0 = Clock::now();
    const int status = std::system(command.c_str());
    const double peer = status == 0 ? 200 / Seconds(t0) : 0;

    std::printf("%4d x %-4d  Orvelle %7.1f frames/s   ffmpeg %7.1f frames/s   ratio %.2f  (target: at least 1)\n",
                width, height, ours, peer, peer > 0 ? ours / peer : 0.0);
    std::printf("             video sizes: Orvelle %.1f MB, ffmpeg %.1f MB\n",
                fs::file_size(folder / "output.avi") / 1e6, status == 0 ? fs::file_size(folder / "ffmpeg.avi") / 1e6 : 0.0);
    std::printf("row: video assembly of 200 pictures, %d x %d | %.0f frames/s | at least ffmpeg's | ffmpeg, same job | %.0f frames/s\n",
                width, height, ours, peer);
}
} // namespace

int main()
{
    const fs::path root = fs::temp_directory_path() / "orvelle-bench-video";
    fs::remove_all(root);
    Run(640, 480, root);
    Run(1600, 1200, root);
    fs::remove_all(root);
}
