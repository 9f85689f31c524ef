#pragma once

#include "ClockRules.h"
#include "ClockState.h"
#include "Fakes.h"

#include <QtTest>

/// The clock engine over fake keys, time and window, both clocks at 300 s; the camera is a fake one
/// unless the test gives its own.
struct EngineRig {
    static constexpr std::int64_t kMs = 1'000'000;
    std::shared_ptr<ClockState> state = std::make_shared<ClockState>();
    std::shared_ptr<FakeShiftKeys> keys = std::make_shared<FakeShiftKeys>();
    std::shared_ptr<FakeTicker> ticker = std::make_shared<FakeTicker>();
    std::shared_ptr<FakeWindow> window = std::make_shared<FakeWindow>();
    std::shared_ptr<FakeCamera> camera = std::make_shared<FakeCamera>();
    std::unique_ptr<ClockEngine> engine;

    explicit EngineRig(std::shared_ptr<EngineCamera> realCamera = nullptr,
                       std::shared_ptr<FakeTicker> time = nullptr)
        : ticker(time ? std::move(time) : std::make_shared<FakeTicker>()),
          engine(std::make_unique<ClockEngine>(state, keys, ticker, window,
                                               realCamera ? std::move(realCamera) : camera))
    {
        state->m_fLeftPreset = state->m_fRightPreset = state->m_fLeftTime = state->m_fRightTime = 300.0;
    }
    void step(std::int64_t ns = 10 * kMs)
    {
        ticker->advance(ns);
        engine->Step();
    }
    void run(double seconds) { step(static_cast<std::int64_t>(seconds * 1e9)); }
    /// The running side's player presses, in an iteration of no length; the left key starts a game.
    void press()
    {
        FakeShiftKeys::tap(state->m_bArmed || state->m_bLeftRunning ? keys->left : keys->right);
        step(0);
    }
    /// One iteration per character: L/R tap a key, l/r/b hold left/right/both down, - releases
    /// both, X presses Reset, . only steps.
    void play(const QString& script)
    {
        for (QChar c : script) {
            if (c == u'L' || c == u'R')
                FakeShiftKeys::tap(c == u'L' ? keys->left : keys->right);
            if (c == u'l' || c == u'b')
                keys->left.down = true;
            if (c == u'r' || c == u'b')
                keys->right.down = true;
            if (c == u'-')
                keys->left.down = keys->right.down = false;
            if (c == u'X')
                ResetClocks(*state);
            step();
        }
    }
    /// The start press, then turns of the given seconds, each ended by its player's press.
    void playTurns(const QList<double>& turns)
    {
        press();
        for (double t : turns) {
            run(t);
            press();
        }
    }
};
