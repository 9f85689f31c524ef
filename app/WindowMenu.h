#pragma once

#include <QObject>

class COrvelleDlg;
class QAction;
class TimeControlMenu;

/// The main window's menu, a right-click anywhere in it (or the Menu key, or Shift+F10): the time controls,
/// Settings..., Game details..., Board..., the camera's picture and About, each with its shortcut.
class WindowMenu final : public QObject {
    Q_OBJECT
public:
    explicit WindowMenu(COrvelleDlg& window);
    /// "Board...", "Camera picture" (shown or hidden) and "Camera in its own window", which the camera's
    /// picture offers too.
    QAction* Board() const { return m_board; }
    QAction* CameraPicture() const { return m_cameraPicture; }
    QAction* CameraWindow() const { return m_cameraWindow; }

private:
    QAction* m_board;
    QAction* m_cameraPicture;
    QAction* m_cameraWindow;
};
