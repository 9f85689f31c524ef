#pragma once

#include "ClockEngine.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class COrvelleDlg;
struct ClockState;

/// The main window as the engine thread sees it. Everything reaches the window as a queued
/// invocation on the window's thread; once the window has detached, nothing reaches it at all.
class DialogBridge final : public EngineWindow {
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

    /// Runs f(dialog) on the window's thread, unless the window is gone by then.
    void Post(std::function<void(COrvelleDlg&)> f);

private:
    std::mutex m_mutex;
    COrvelleDlg* m_dialog;
    std::shared_ptr<ClockState> m_state;
    std::atomic<bool> m_takePictures{false};
    std::atomic<bool> m_displayPending{false};
};
