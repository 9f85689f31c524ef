#pragma once

#include "BoardGeometry.h"

#include <QObject>
#include <optional>

class GameSession;
class PreviewWindow;
class QAction;
class QSplitter;
class QWidget;
class WindowMenu;

/// The camera's picture as the game session drives it: its frames, the board's grid over them, the
/// board's corners clicked on it ("Board..."), and where it shows: in the main window under the clocks
/// (the part below split, which the players can shrink, or hide with "Camera picture"), or in a window
/// of its own ("Camera in its own window"). The choices and the part's size are kept with the window's
/// place.
class CameraView final : public QObject {
    Q_OBJECT
public:
    /// split holds the clocks and gets the picture below them; menu's camera entries are offered on the
    /// picture too.
    CameraView(GameSession& session, QSplitter* split, const WindowMenu& menu);

    PreviewWindow& Window() { return *m_window; }
    /// "Board...": the next four clicks on the picture are the board's corners.
    void PickBoard();
    /// Keeps the choices and the picture's size for the next start.
    void SavePlace() const;

signals:
    /// Something the players should know, shown under the clocks.
    void notice(const QString& text);

private:
    /// Shows the picture where the players chose, when the camera is open.
    void Place();
    void ShowBoard(const std::optional<BoardCorners>& board);

    GameSession& m_session;
    QSplitter* m_split;
    QWidget* m_main;
    PreviewWindow* m_window;
    QAction* m_shown;
    QAction* m_own;
    QString m_placeFile;
    bool m_open = false;  // the camera is open
    bool m_sized = false; // the part under the clocks has had its size
};
