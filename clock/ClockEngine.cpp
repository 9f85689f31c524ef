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
{}

void ClockEngine::Step()
{
    ClockState& s = *m_state;

    bool started = false;
    if (s.m_bArmed) {
        std::shared_ptr<EngineCamera> next;
        {
            std::lock_guard lock(m_nextCameraMutex);
            next = std::move(m_nextCamera);
        }
        if (next) {
            End();
            m_camera = std::move(next);
        }
        if (m_camera && !m_cameraOpen && m_window->TakePicturesChecked()) {
            m_cameraOpen = m_camera->OpenCamera();
            if (!m_cameraOpen)
                m_window->ReportNoCamera(m_camera->OpenError());
        }
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
                m_turnElapsed = 0.0;
                m_record.clear();
            }
        }
        if (started)
            m_window->DisableForGame();
    }

    if (m_cameraOpen && !m_camera->ShowPreviewFrame()) {
        // The camera only: a game must never stop for it. Its plies go on without pictures.
        End();
        m_window->CameraClosed(!s.m_bArmed);
    }
    if (started && m_cameraOpen)
        m_camera->SaveStartPicture(s.m_nGame);

    std::optional<PlyRecord> ply;
    bool running = false;
    {
        std::lock_guard lock(s.m_stepMutex);
        running = !s.m_bArmed;
        if (running) {
            const std::int64_t now = m_ticker->NowNs();
            const double interval = static_cast<double>(now - m_lastReadingNs) / 1e9;
            m_lastReadingNs = now;
            // A key switches only when its own side's clock runs; the other side's key, and a key still
            // held after it has ended its own turn, do nothing. While paused the keys are still read,
            // so that a press made meanwhile is not taken at the resume.
            const bool leftSwitches = m_keys->LeftPressed() && s.m_bLeftRunning;
            const bool rightSwitches = !leftSwitches && m_keys->RightPressed() && !s.m_bLeftRunning;
            if (!s.m_bPaused)
                ply = Advance(leftSwitches || rightSwitches, interval);
        }
    }
    // Outside the lock: handing a picture over may wait for the picture writer, and Reset must not.
    if (ply && m_cameraOpen) {
        // The record first: should the folder fail both, the picture's failure is the one left shown.
        m_camera->RecordPly(s.m_nGame, *ply);
        m_camera->SaveMovePicture(s.m_nGame, ply->ply);
    }
    if (running)
        m_window->UpdateTimeDisplay();
}

std::optional<PlyRecord> ClockEngine::Advance(bool switches, double interval)
{
    ClockState& s = *m_state;
    const TimeControl& control = s.m_control;
    std::optional<PlyRecord> ply;
    if (switches) {
        const bool leftMoved = s.m_bLeftRunning;
        std::atomic<int>& moves = leftMoved ? s.m_nLeftMoves : s.m_nRightMoves;
        std::atomic<double>& moverTime = leftMoved ? s.m_fLeftTime : s.m_fRightTime;
        // Seen before the credit: an increment may bring a fallen clock back above zero.
        const bool flagged = leftMoved ? s.m_bLeftFlag : s.m_bRightFlag;
        moverTime = moverTime + CreditAtPress(control, moves, m_turnElapsed);
        ++moves;
        s.m_bLeftRunning = !leftMoved;
        ply = PlyRecord{++s.m_nPlies, leftMoved, m_turnElapsed, s.m_fLeftTime, s.m_fRightTime, {}, flagged};
        m_record.push_back(*ply);
        m_turnElapsed = 0.0;
    }

    // Charged after the switch: the interval of a switching iteration goes to the clock that has just
    // started. The time has no floor; a flag fall is marked and play goes on.
    const bool leftRuns = s.m_bLeftRunning;
    const int moves = leftRuns ? s.m_nLeftMoves : s.m_nRightMoves;
    std::atomic<double>& time = leftRuns ? s.m_fLeftTime : s.m_fRightTime;
    time = time - ChargeFor(control, moves, m_turnElapsed, interval);
    m_turnElapsed += interval;
    if (time <= 0.0 && !(leftRuns ? s.m_bLeftFlag : s.m_bRightFlag)) {
        (leftRuns ? s.m_bLeftFlag : s.m_bRightFlag) = true;
        if (s.m_nFirstFlag == 0)
            s.m_nFirstFlag = leftRuns ? 1 : 2;
    }
    s.m_fDelayLeft = DelayLeft(control, moves, m_turnElapsed);
    return ply;
}

void ClockEngine::End()
{
    if (m_cameraOpen)
        m_camera->CloseCamera();
    m_cameraOpen = false;
}

void ClockEngine::ReplaceCamera(std::shared_ptr<EngineCamera> camera)
{
    std::lock_guard lock(m_nextCameraMutex);
    m_nextCamera = std::move(camera);
}

void ClockThreadProc(ClockEngine& engine, std::chrono::milliseconds period)
{
    while (engine.State().m_bThreadRun) {
        engine.Step();
        std::this_thread::sleep_for(period);
    }
    engine.End();
}
