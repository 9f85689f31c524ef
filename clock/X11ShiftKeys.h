#pragma once

#include "ShiftKeys.h"

#include <memory>

/// Both Shift keys system-wide on X11, whichever window has the focus, from XInput2 raw key
/// events on the root window. Queried from one thread only (the engine's).
class X11ShiftKeys final : public ShiftKeys {
public:
    /// Null when there is no X server or it lacks XInput 2.2.
    static std::unique_ptr<X11ShiftKeys> Open(const char* displayName = nullptr);
    ~X11ShiftKeys() override;

    bool LeftPressed() override;
    bool RightPressed() override;

private:
    struct Key {
        unsigned keycode = 0;
        bool down = false;
        bool pressedSinceQuery = false;
    };
    X11ShiftKeys() = default;
    void Drain();
    bool Query(Key& key);

    struct _XDisplay* m_display = nullptr;
    int m_xiOpcode = 0;
    Key m_left, m_right;
};
