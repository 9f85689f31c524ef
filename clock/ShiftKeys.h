#pragma once

#include <atomic>
#include <memory>

/// The two Shift keys as the engine polls them. Each query answers "down now, or
/// pressed since my previous query of this key", so a tap shorter than a poll counts.
class ShiftKeys {
public:
    virtual ~ShiftKeys() = default;
    virtual bool LeftPressed() = 0;
    virtual bool RightPressed() = 0;
};

/// Shift keys that count for nothing while the players type into the program's own text fields, where a
/// Shift is a capital letter: the presses are still read, so that none is kept for later.
class TypingShiftKeys final : public ShiftKeys {
public:
    explicit TypingShiftKeys(std::shared_ptr<ShiftKeys> keys) : m_keys(std::move(keys)) {}
    void SetTyping(bool typing) { m_typing = typing; }
    bool LeftPressed() override { return m_keys->LeftPressed() && !m_typing; }
    bool RightPressed() override { return m_keys->RightPressed() && !m_typing; }

private:
    std::shared_ptr<ShiftKeys> m_keys;
    std::atomic<bool> m_typing{false};
};
