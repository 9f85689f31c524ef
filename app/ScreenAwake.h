#pragma once

#include <QObject>

/// Keeps the screen saver away while a game runs, through the desktop's D-Bus screen-saver service
/// (org.freedesktop.ScreenSaver). Calls are asynchronous, so a missing or slow service never holds the
/// window; without a session bus it does nothing.
class ScreenAwake final : public QObject {
    Q_OBJECT
public:
    explicit ScreenAwake(QObject* parent = nullptr);
    /// Releases the inhibition if it is held.
    ~ScreenAwake() override;

    /// Inhibits the screen saver (true) or releases it (false); repeated calls cost nothing.
    void Set(bool awake);
    bool Held() const { return m_wanted; }

private:
    void Release();

    bool m_wanted = false;
    bool m_pending = false; // an Inhibit call whose cookie has not come back yet
    uint m_cookie = 0;      // 0: none held
};
