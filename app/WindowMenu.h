#pragma once

#include <QObject>

class COrvelleDlg;
class QAction;
class TimeControlMenu;

/// The main window's menu, a right-click anywhere in it (or the Menu key, or Shift+F10): the time controls,
/// Settings..., Game details..., Board... and About, each with its shortcut.
class WindowMenu final : public QObject {
    Q_OBJECT
public:
    explicit WindowMenu(COrvelleDlg& window);
    /// "Board...", which the camera's window offers too.
    QAction* Board() const { return m_board; }

private:
    QAction* m_board;
};
