#include "CameraList.h"

#include "Media.h"

#ifdef __linux__
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

std::vector<CameraDevice> ListCameras()
{
    std::vector<CameraDevice> cameras;
#ifdef __linux__
    // OpenCV's V4L2 backend opens camera n as /dev/videon; a device may also be a metadata node
    // of the same camera, which captures nothing.
    for (int index = 0; index < 64; ++index) {
        const int fd = ::open(("/dev/video" + std::to_string(index)).c_str(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            continue;
        v4l2_capability caps{};
        if (::ioctl(fd, VIDIOC_QUERYCAP, &caps) == 0) {
            const auto device =
                caps.capabilities & V4L2_CAP_DEVICE_CAPS ? caps.device_caps : caps.capabilities;
            if (device & V4L2_CAP_VIDEO_CAPTURE)
                cameras.push_back({index, reinterpret_cast<const char*>(caps.card)});
        }
        ::close(fd);
    }
#endif
    return cameras;
}

cv::Mat GrabOneFrame(int index, const std::string& source, std::string* reason)
{
    cv::Mat frame;
    const Media* media = LoadMedia();
    try {
        // At the camera's own size: this is only a look at what it sees.
        if (const auto capture = media ? media->OpenSource(source, index, 0, 0) : nullptr)
            capture->Read(frame);
    } catch (const cv::Exception&) {
        frame.release();
    }
    if (frame.empty() && reason)
        *reason = media ? media->SourceError(source, index) : MediaError();
    return frame;
}
