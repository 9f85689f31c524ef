#pragma once

#include "Camera.h"

/// A preview without a window: it copies each frame, as the real one does, and nobody types into it.
class NullPreview final : public PreviewSink {
public:
    void OpenPreview() override {}
    void ShowFrame(const cv::Mat& frame) override { frame.copyTo(m_copy); }
    bool WaitForKey(std::chrono::milliseconds) override { return false; }
    void ClosePreview() override {}

private:
    cv::Mat m_copy;
};
