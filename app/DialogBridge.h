#pragma once

#include "Camera.h"
#include "ClockEngine.h"

#include <opencv2/core.hpp>

#include <condition_variable>
#include <filesystem>
#include <string>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class COrvelleDlg;
struct ClockState;

/// The main window and its camera preview as the engine and picture threads see them. Everything
/// reaches the window as a queued invocation on the window's thread; once the window has detached,
/// nothing reaches it at all.
class DialogBridge final : public EngineWindow, public PreviewSink {
public:
    DialogBridge(COrvelleDlg* dialog, std::shared_ptr<ClockState> state);

    /// Called by the window before it goes: later posts are dropped.
    void Detach();
    /// Mirrors the "Take pictures" check box; called on the window's thread.
    void SetTakePictures(bool checked) { m_takePictures = checked; }

    bool TakePicturesChecked() override { return m_takePictures; }
    void ReportNoCamera() override;
    void DisableForGame() override;
    void UpdateTimeDisplay() override;

    void OpenPreview() override;
    void ShowFrame(const cv::Mat& frame) override;
    bool WaitForKey(std::chrono::milliseconds timeout) override;
    void ClosePreview() override;
    /// Called on the window's thread when a key was typed into the preview.
    void PreviewKeyTyped();

    /// The outcome of one picture, from the picture writer's thread.
    void ReportPicture(const std::filesystem::path& path, const std::string& error);

    /// Runs f(dialog) on the window's thread, unless the window is gone by then.
    void Post(std::function<void(COrvelleDlg&)> f);

private:
    std::mutex m_mutex;
    COrvelleDlg* m_dialog;
    std::shared_ptr<ClockState> m_state;
    std::atomic<bool> m_takePictures{false};
    std::atomic<bool> m_displayPending{false};

    std::mutex m_frameMutex;
    cv::Mat m_frame; // the newest frame the preview has not drawn yet
    std::atomic<bool> m_framePending{false};

    std::mutex m_keyMutex;
    std::condition_variable m_keyChanged;
    bool m_keyTyped = false;
};
