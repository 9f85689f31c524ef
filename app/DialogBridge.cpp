#include "DialogBridge.h"

#include "COrvelleDlg.h"
#include "ClockState.h"
#include "PreviewWindow.h"

#include <future>

DialogBridge::DialogBridge(COrvelleDlg* dialog, std::shared_ptr<ClockState> state)
    : m_dialog(dialog), m_state(std::move(state))
{
}

void DialogBridge::Detach()
{
    std::lock_guard lock(m_mutex);
    m_dialog = nullptr;
}

void DialogBridge::Post(std::function<void(COrvelleDlg&)> f)
{
    std::lock_guard lock(m_mutex);
    // The dialog is the context: should it be deleted before the call runs, Qt drops the call.
    if (m_dialog)
        QMetaObject::invokeMethod(
            m_dialog, [d = m_dialog, f = std::move(f)] { f(*d); }, Qt::QueuedConnection);
}

void DialogBridge::ReportNoCamera()
{
    // The message holds the loop until it is dismissed. A window that goes away meanwhile drops the
    // call and with it the promise, which wakes us as well.
    auto dismissed = std::make_shared<std::promise<void>>();
    std::future<void> done = dismissed->get_future();
    Post([dismissed](COrvelleDlg& d) {
        d.ShowNoCameraMessage();
        dismissed->set_value();
    });
    while (done.wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout && m_state->m_bThreadRun) {
    }
}

void DialogBridge::DisableForGame()
{
    Post([](COrvelleDlg& d) { d.DisableForGame(); });
}

void DialogBridge::UpdateTimeDisplay()
{
    // At most one display update waits in the window's queue; it reads the times when it runs.
    if (m_displayPending.exchange(true))
        return;
    Post([this](COrvelleDlg& d) {
        m_displayPending = false;
        d.UpdateTimeDisplay();
    });
}

void DialogBridge::OpenPreview()
{
    Post([](COrvelleDlg& d) { d.ShowPreview(); });
}

void DialogBridge::ShowFrame(const cv::Mat& frame)
{
    {
        std::lock_guard lock(m_frameMutex);
        frame.copyTo(m_frame);
    }
    // Frames the window has not drawn yet are replaced, never queued up.
    if (m_framePending.exchange(true))
        return;
    Post([this](COrvelleDlg& d) {
        m_framePending = false;
        QImage image;
        {
            std::lock_guard lock(m_frameMutex);
            image = MatToQImage(m_frame);
        }
        d.Preview().SetFrame(std::move(image));
    });
}

bool DialogBridge::WaitForKey(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_keyMutex);
    return m_keyChanged.wait_for(lock, timeout, [this] { return m_keyTyped; });
}

void DialogBridge::PreviewKeyTyped()
{
    {
        std::lock_guard lock(m_keyMutex);
        m_keyTyped = true;
    }
    m_keyChanged.notify_all();
}

void DialogBridge::ClosePreview()
{
    Post([](COrvelleDlg& d) { d.Preview().hide(); });
}

void DialogBridge::ReportPicture(const std::filesystem::path& path, const std::string& error)
{
    if (error.empty()) {
        Post([path](COrvelleDlg& d) { d.OnPictureWritten(path); });
        return;
    }
    Post([file = QString::fromStdU16String(path.u16string()), reason = QString::fromStdString(error)](
             COrvelleDlg& d) { d.ShowPictureNotice(file, reason); });
}
