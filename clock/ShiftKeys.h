#pragma once

/// The two Shift keys as the engine polls them. Each query answers "down now, or
/// pressed since my previous query of this key", so a tap shorter than a poll counts.
class ShiftKeys {
public:
    virtual ~ShiftKeys() = default;
    virtual bool LeftPressed() = 0;
    virtual bool RightPressed() = 0;
};
