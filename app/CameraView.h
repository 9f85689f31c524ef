#pragma once

#include "BoardGeometry.h"

#include <QObject>
#include <optional>

class GameSession;
class PreviewWindow;
class QAction;
class QWidget;

/// The camera's window as the game session drives it: its frames, the board's grid over them, the
/// board's corners clicked on it ("Board..."), and where it opens.
class CameraView final : public QObject {
    Q_OBJECT
public:
    /// The window belongs to mainWindow, beside which it opens; board is the "Board..." action, offered
    /// on the picture too.
    CameraView(GameSession& session, QWidget* mainWindow, QAction* board);

    PreviewWindow& Window() { return *m_window; }
    /// "Board...": the next four clicks on the picture are the board's corners.
    void PickBoard();

signals:
    /// Something the players should know, shown under the clocks.
    void notice(const QString& text);

private:
    void Open();
    void ShowBoard(const std::optional<BoardCorners>& board);

    GameSession& m_session;
    QWidget* m_main;
    PreviewWindow* m_window;
};
