#include "ClockEngine.h"

#include "ClockState.h"
#include "ShiftKeys.h"
#include "Ticker.h"

#include <thread>

ClockEngine::ClockEngine(std::shared_ptr<ClockState> state, std::shared_ptr<ShiftKeys> keys,
                         std::shared_ptr<Ticker> ticker, std::shared_ptr<EngineWindow> window,
                         std::shared_ptr<EngineCamera> camera)
    : m_state(std::move(state)), m_keys(std::move(keys)), m_ticker(std::move(ticker)),
      m_window(std::move(window)), m_camera(std::move(camera))
{
}

bool ClockEngine::Step()
{
    ClockState& s = *m_state;

    if (s.m_bArmed) {
        if (m_camera && !m_cameraOpen && m_window->TakePicturesChecked()) {
            m_cameraOpen = m_camera->OpenCamera();
            if (!m_cameraOpen)
                m_window->ReportNoCamera();
        }
        bool started = false;
        {
            std::lock_guard lock(s.m_stepMutex);
            // The key is read before the state, as each query consumes the key's "pressed since" mark.
            if (m_keys->LeftPressed()) {
                s.m_bLeftRunning = false;
                started = true;
            } else if (m_keys->RightPressed()) {
                s.m_bLeftRunning = true;
                started = true;
            }
            if (started) {
                s.m_bArmed = false;
                m_lastReadingNs = m_ticker->NowNs();
                ++s.m_nGame;
            }
        }
        if (started)
            m_window->DisableForGame();
    }

    if (m_cameraOpen && !m_camera->ShowPreviewFrame())
        return false;

    int savedPly = 0;
    bool running = false;
    {
        std::lock_guard lock(s.m_stepMutex);
        running = !s.m_bArmed;
        if (running) {
            const std::int64_t now = m_ticker->NowNs();
            const double interval = static_cast<double>(now - m_lastReadingNs) / 1e9;
            m_lastReadingNs = now;

            bool switched = false;
            if (m_keys->LeftPressed() && s.m_bLeftRunning) {
                s.m_bLeftRunning = false;
                switched = true;
            } else if (m_keys->RightPressed() && !s.m_bLeftRunning) {
                s.m_bLeftRunning = true;
                switched = true;
            }
            if (switched)
                savedPly = ++s.m_nPlies;

            // Charged after the switch: the interval of a switching iteration goes to the clock that has
            // just started. The time has no floor; a flag fall shows 00:00 and play goes on.
            std::atomic<double>& time = s.m_bLeftRunning ? s.m_fLeftTime : s.m_fRightTime;
            time = time - interval;
        }
    }
    // Outside the lock: handing a picture over may wait for the picture writer, and Reset must not.
    if (savedPly > 0 && m_cameraOpen)
        m_camera->SaveMovePicture(s.m_nGame, savedPly);
    if (running)
        m_window->UpdateTimeDisplay();
    return true;
}

void ClockEngine::End()
{
    if (m_cameraOpen)
        m_camera->CloseCamera();
    m_cameraOpen = false;
}

void ClockThreadProc(ClockEngine& engine, std::chrono::milliseconds period)
{
    while (engine.State().m_bThreadRun) {
        if (!engine.Step())
            break;
        std::this_thread::sleep_for(period);
    }
    engine.End();
}
