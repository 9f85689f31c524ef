#pragma once

#include "ClockEngine.h"
#include "ShiftKeys.h"
#include "Ticker.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

/// Time that moves only when the test says so.
class FakeTicker final : public Ticker {
public:
    std::int64_t NowNs() override { return m_now; }
    void advance(std::int64_t ns) { m_now += ns; }

private:
    std::atomic<std::int64_t> m_now{1'000'000'000};
};

/// Shift keys the test holds down, releases or taps (a press and release between two queries).
class FakeShiftKeys final : public ShiftKeys {
public:
    struct Key {
        std::atomic<bool> down{false};
        std::atomic<bool> tapped{false};
    };
    bool LeftPressed() override { return Query(left); }
    bool RightPressed() override { return Query(right); }
    static void tap(Key& key) { key.tapped = true; }

    Key left, right;

private:
    static bool Query(Key& key) { return key.tapped.exchange(false) || key.down; }
};

/// Records what the engine asks of the window.
class FakeWindow final : public EngineWindow {
public:
    bool TakePicturesChecked() override { return takePictures; }
    void ReportNoCamera(const std::string&) override { takePictures = false; }
    void DisableForGame() override { ++disables; }
    void UpdateTimeDisplay() override { ++displays; }
    void CameraClosed(bool duringGame) override
    {
        takePictures = false;
        ++cameraClosings;
        closedInGame = duringGame;
    }

    std::atomic<bool> takePictures{false};
    int disables = 0, displays = 0, cameraClosings = 0;
    bool closedInGame = false;
};

/// A camera that always opens, and whose preview stops when the test says so.
class FakeCamera final : public EngineCamera {
public:
    bool OpenCamera() override
    {
        ++opens;
        return true;
    }
    bool ShowPreviewFrame() override
    {
        ++previews;
        return !stopPreview;
    }
    void SaveMovePicture(int game, int ply) override { saved.emplace_back(game, ply); }
    void CloseCamera() override { ++closes; }

    bool stopPreview = false;
    int opens = 0, previews = 0, closes = 0;
    std::vector<std::pair<int, int>> saved;
};
