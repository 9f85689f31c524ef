#pragma once

#include "ShiftKeys.h"

#include <QObject>
#include <atomic>
#include <memory>

/// Both Shift keys while one of this program's windows has the keyboard focus: an application
/// event filter reading the keys' native scan codes. The fallback where no system-wide source exists.
class InWindowShiftKeys final : public QObject, public ShiftKeys {
    Q_OBJECT
public:
    /// Installs itself as an event filter on the application.
    InWindowShiftKeys();

    bool LeftPressed() override;
    bool RightPressed() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Key {
        std::atomic<bool> down{false};
        std::atomic<bool> pressedSinceQuery{false};
    };
    static bool Query(Key& key);
    Key m_left, m_right;
};

/// The best source this platform has: system-wide X11 keys under xcb, else the in-window filter.
std::shared_ptr<ShiftKeys> MakeShiftKeys();
