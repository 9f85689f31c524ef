#pragma once

#include "GameRecord.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct ClockState;
class ShiftKeys;
class Ticker;

/// What the engine asks of the main window. Implementations must not block on the
/// window's thread, except ReportNoCamera, which holds the loop while the clocks wait.
class EngineWindow {
public:
    virtual ~EngineWindow() = default;
    /// The check state of "Take pictures", as the window's thread last set it.
    virtual bool TakePicturesChecked() = 0;
    /// Tells the user there is no camera (and why, when the camera could tell), waits until the message
    /// is dismissed, then unchecks "Take pictures".
    virtual void ReportNoCamera(const std::string& reason) = 0;
    /// Disables "Make Video", "Take pictures" and the four spinners when a game starts.
    virtual void DisableForGame() = 0;
    virtual void UpdateTimeDisplay() = 0;
    /// The camera has closed by itself (its source ended, or a key was typed into its picture): the
    /// clocks go on without pictures, and "Take pictures" is no longer ticked. Only a game that loses
    /// its pictures is worth telling the players about.
    virtual void CameraClosed(bool duringGame) = 0;
};

/// The webcam as the engine drives it.
class EngineCamera {
public:
    virtual ~EngineCamera() = default;
    /// True when the camera opened (and its preview is shown).
    virtual bool OpenCamera() = 0;
    /// Why the last OpenCamera failed, as the source said; empty when it did not say.
    virtual std::string OpenError() const { return {}; }
    /// Grabs, shows and keeps the current frame; false when the grab failed or a key was typed into the
    /// preview.
    virtual bool ShowPreviewFrame() = 0;
    /// Saves the current frame as the picture of one ply.
    virtual void SaveMovePicture(int game, int ply) = 0;
    /// At the press that starts a game: keeps the starting position, which the game score reads the
    /// first move against; by default nowhere.
    virtual void SaveStartPicture(int /*game*/) {}
    /// Keeps a ply's record beside its picture; by default nowhere.
    virtual void RecordPly(int /*game*/, const PlyRecord& /*record*/) {}
    virtual void CloseCamera() = 0;
};

/// One iteration of the clock loop at a time: start test, preview, switch test, ply count, time
/// control and picture, charge, display. It never sleeps, so tests run it step by step.
class ClockEngine {
public:
    ClockEngine(std::shared_ptr<ClockState> state, std::shared_ptr<ShiftKeys> keys,
                std::shared_ptr<Ticker> ticker, std::shared_ptr<EngineWindow> window,
                std::shared_ptr<EngineCamera> camera = nullptr);

    /// Runs one iteration.
    void Step();
    /// The end of the loop: releases the camera if it is open.
    void End();
    /// Takes this camera from the next game on: while the clocks wait, the engine closes the one it has
    /// and opens this one as it opened the first. Any thread may call it.
    void ReplaceCamera(std::shared_ptr<EngineCamera> camera);

    ClockState& State() { return *m_state; }
    bool CameraOpen() const { return m_cameraOpen; }
    /// The plies of the current game (or of the last one while waiting); the engine thread's own.
    const std::vector<PlyRecord>& Record() const { return m_record; }

private:
    /// The running part of an iteration, under the mutex: the switch with its credit and record,
    /// then the charge and the flag.
    std::optional<PlyRecord> Advance(bool switches, double interval);

    std::shared_ptr<ClockState> m_state;
    std::shared_ptr<ShiftKeys> m_keys;
    std::shared_ptr<Ticker> m_ticker;
    std::shared_ptr<EngineWindow> m_window;
    std::shared_ptr<EngineCamera> m_camera;
    std::int64_t m_lastReadingNs = 0;
    double m_turnElapsed = 0.0; // seconds the running side has spent on this turn
    std::vector<PlyRecord> m_record;
    bool m_cameraOpen = false;
    std::mutex m_nextCameraMutex;
    std::shared_ptr<EngineCamera> m_nextCamera; // from ReplaceCamera, not taken yet
};

/// The worker thread's body: steps the engine every period until the run flag drops, then ends it.
void ClockThreadProc(ClockEngine& engine, std::chrono::milliseconds period = std::chrono::milliseconds(10));
