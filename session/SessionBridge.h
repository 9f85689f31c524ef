#pragma once

#include "Camera.h"
#include "ClockEngine.h"

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <opencv2/core.hpp>
#include <string>

class GameSession;
struct ClockState;

/// The game session as the engine, the camera and the picture writer see it from their threads.
/// Everything reaches the session as a queued invocation on the session's thread; once the session has
/// detached, nothing reaches it at all.
class SessionBridge final : public EngineWindow, public PreviewSink {
public:
    SessionBridge(GameSession* session, std::shared_ptr<ClockState> state);

    /// Called by the session before it goes: later posts are dropped.
    void Detach();
    /// Mirrors the "Take pictures" choice; called on the session's thread.
    void SetTakePictures(bool checked) { m_takePictures = checked; }

    bool TakePicturesChecked() override { return m_takePictures; }
    void ReportNoCamera(const std::string& reason) override;
    void DisableForGame() override;
    void UpdateTimeDisplay() override;
    void CameraClosed(bool duringGame) override;

    void OpenPreview() override;
    void ShowFrame(const cv::Mat& frame) override;
    bool WaitForKey(std::chrono::milliseconds timeout) override;
    void ClosePreview() override;
    /// Called on the session's thread when a key was typed into the preview.
    void PreviewKeyTyped();
    /// Lets use() read the newest frame, which is not replaced meanwhile.
    void WithFrame(const std::function<void(const cv::Mat&)>& use);

    /// The outcome of one picture, from the picture writer's thread.
    void ReportPicture(const std::filesystem::path& path, const std::string& error);

private:
    /// Runs f(session) on the session's thread, unless the session is gone by then.
    void Post(std::function<void(GameSession&)> f);

    std::mutex m_mutex;
    GameSession* m_session;
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
