#include "CameraView.h"

#include "GameSession.h"
#include "PreviewWindow.h"
#include "Texts.h"
#include "WindowPlace.h"

#include <QAction>
#include <QScreen>

CameraView::CameraView(GameSession& session, QWidget* mainWindow, QAction* board)
    : QObject(mainWindow), m_session(session), m_main(mainWindow), m_window(new PreviewWindow(mainWindow))
{
    m_window->addAction(board);
    m_window->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(&session, &GameSession::previewOpened, this, &CameraView::Open);
    connect(&session, &GameSession::previewClosed, m_window, &QWidget::hide);
    connect(&session, &GameSession::frameReady, this, [this] {
        QImage image;
        m_session.WithFrame([&image](const cv::Mat& frame) { image = MatToQImage(frame); });
        m_window->SetFrame(std::move(image));
    });
    // The board found on the starting position is shown like a clicked one, so that a misfit is seen.
    connect(&session, &GameSession::boardFound, this, [this](const BoardCorners& corners) {
        if (!m_window->PickingBoard())
            ShowBoard(corners);
    });
    connect(m_window, &PreviewWindow::keyTyped, &session, &GameSession::PreviewKeyTyped);
    connect(m_window, &PreviewWindow::boardCornersPicked, this, [this](const QList<QPointF>& corners) {
        BoardCorners board;
        for (int i = 0; i < 4; ++i)
            board.points[size_t(i)] = cv::Point2d(corners[i].x(), corners[i].y());
        if (const QString error = m_session.SetBoard(board); !error.isEmpty())
            emit notice(error);
        ShowBoard(m_session.Board());
    });
}

void CameraView::Open()
{
    // Beside the clocks rather than over them, and on the screen; a window manager may still place it
    // elsewhere.
    m_window->move(PlaceBeside(m_main->frameGeometry(), m_window->frameGeometry().size(),
                               m_main->screen()->availableGeometry()));
    ShowBoard(m_session.Board());
    m_window->show();
}

void CameraView::ShowBoard(const std::optional<BoardCorners>& board)
{
    QList<QPointF> corners;
    if (board)
        for (const cv::Point2d& p : board->points)
            corners.append(QPointF(p.x, p.y));
    m_window->SetBoardCorners(corners);
}

void CameraView::PickBoard()
{
    if (!m_window->isVisible()) {
        ShowMessage(m_main,
                    tr("The board's corners are clicked on the camera's picture: tick \"Take pictures\" "
                       "first, then choose \"Board...\" again."));
        return;
    }
    m_window->PickBoardCorners();
    m_window->raise();
}
