#include "DialogBridge.h"

#include "COrvelleDlg.h"
#include "ClockState.h"

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
