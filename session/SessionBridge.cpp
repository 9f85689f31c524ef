#include "SessionBridge.h"

#include "ClockState.h"
#include "GameSession.h"

#include <future>

SessionBridge::SessionBridge(GameSession* session, std::shared_ptr<ClockState> state)
    : m_session(session), m_state(std::move(state))
{}

void SessionBridge::Detach()
{
    std::lock_guard lock(m_mutex);
    m_session = nullptr;
}

void SessionBridge::Post(std::function<void(GameSession&)> f)
{
    std::lock_guard lock(m_mutex);
    // The session is the context: should it be deleted before the call runs, Qt drops the call.
    if (m_session)
        QMetaObject::invokeMethod(
            m_session, [s = m_session, f = std::move(f)] { f(*s); }, Qt::QueuedConnection);
}

void SessionBridge::ReportNoCamera(const std::string& reason)
{
    // The message holds the loop until it is dismissed. A session that goes away meanwhile drops the
    // call and with it the promise, which wakes us as well.
    auto dismissed = std::make_shared<std::promise<void>>();
    std::future<void> done = dismissed->get_future();
    Post([dismissed, reason = QString::fromStdString(reason)](GameSession& s) {
        s.OnNoCamera(reason);
        dismissed->set_value();
    });
    while (done.wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout &&
           m_state->m_bThreadRun) {
    }
}

void SessionBridge::DisableForGame()
{
    Post([](GameSession& s) { s.OnGameStarted(); });
}

void SessionBridge::UpdateTimeDisplay()
{
    // At most one display update waits in the queue; it reads the times when it runs.
    if (m_displayPending.exchange(true))
        return;
    Post([this](GameSession& s) {
        m_displayPending = false;
        s.OnClocksMoved();
    });
}

void SessionBridge::CameraClosed(bool duringGame)
{
    // At once: the engine must not open the camera again before the window has heard of it.
    m_takePictures = false;
    Post([duringGame](GameSession& s) { emit s.cameraClosed(duringGame); });
}

void SessionBridge::OpenPreview()
{
    Post([](GameSession& s) { emit s.previewOpened(); });
}

void SessionBridge::ShowFrame(const cv::Mat& frame)
{
    {
        std::lock_guard lock(m_frameMutex);
        frame.copyTo(m_frame);
    }
    // Frames the window has not drawn yet are replaced, never queued up.
    if (m_framePending.exchange(true))
        return;
    Post([this](GameSession& s) {
        m_framePending = false;
        emit s.frameReady();
    });
}

void SessionBridge::WithFrame(const std::function<void(const cv::Mat&)>& use)
{
    std::lock_guard lock(m_frameMutex);
    use(m_frame);
}

bool SessionBridge::WaitForKey(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_keyMutex);
    // A key is taken once: a camera opened again later starts without it.
    return m_keyChanged.wait_for(lock, timeout, [this] { return m_keyTyped; }) &&
           std::exchange(m_keyTyped, false);
}

void SessionBridge::PreviewKeyTyped()
{
    {
        std::lock_guard lock(m_keyMutex);
        m_keyTyped = true;
    }
    m_keyChanged.notify_all();
}

void SessionBridge::ClosePreview()
{
    Post([](GameSession& s) { emit s.previewClosed(); });
}

void SessionBridge::ReportPicture(const std::filesystem::path& path, const std::string& error)
{
    Post([path, error](GameSession& s) { s.OnPictureWritten(path, error); });
}
