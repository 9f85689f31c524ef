#pragma once

#include <QObject>

class GameSession;
class QWidget;

/// The keyboard in the main window, wherever the focus is: Space is the clock's pause and F11 full
/// screen (a focused button never takes Space for a click), Enter presses the focused button or box; and
/// Shift typed into a text field of the program's own, in any of its windows, is typing, not a clock press.
class WindowKeys final : public QObject {
    Q_OBJECT
public:
    /// Watches the whole application's keys and focus.
    WindowKeys(QWidget* window, GameSession& session);
    ~WindowKeys() override;

signals:
    void pausePressed();
    void fullScreenPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
};
