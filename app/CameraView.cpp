#include "CameraView.h"

#include "GameSession.h"
#include "PreviewWindow.h"
#include "Settings.h"
#include "Texts.h"
#include "WindowMenu.h"
#include "WindowPlace.h"

#include <QAction>
#include <QScreen>
#include <QSplitter>

namespace {
const QString kShownKey = QStringLiteral("cameraShown");
const QString kOwnKey = QStringLiteral("cameraWindow");
const QString kSizesKey = QStringLiteral("cameraSizes");
} // namespace

CameraView::CameraView(GameSession& session, QSplitter* split, const WindowMenu& menu)
    : QObject(split), m_session(session), m_split(split), m_main(split->window()),
      m_window(new PreviewWindow), m_shown(menu.CameraPicture()), m_own(menu.CameraWindow()),
      m_placeFile(session.Store().FileName())
{
    m_split->addWidget(m_window);
    // The clocks first: they keep their size when the window changes, and the picture never takes it.
    m_split->setStretchFactor(0, 1);
    m_split->setStretchFactor(1, 0);
    m_split->setCollapsible(0, false);
    m_window->hide();
    m_window->addActions({menu.Board(), m_shown, m_own});
    m_window->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_shown->setChecked(WindowPlaceValue(m_placeFile, kShownKey, true).toBool());
    m_own->setChecked(WindowPlaceValue(m_placeFile, kOwnKey, false).toBool());
    const auto chosen = [this] {
        KeepWindowPlaceValue(m_placeFile, kShownKey, m_shown->isChecked());
        KeepWindowPlaceValue(m_placeFile, kOwnKey, m_own->isChecked());
        Place();
    };
    connect(m_shown, &QAction::toggled, this, chosen);
    connect(m_own, &QAction::toggled, this, chosen);
    connect(m_window, &PreviewWindow::windowClosed, m_own, [this] { m_own->setChecked(false); });

    connect(&session, &GameSession::previewOpened, this, [this] {
        m_open = true;
        ShowBoard(m_session.Board());
        Place();
    });
    connect(&session, &GameSession::previewClosed, this, [this] {
        m_open = false;
        Place();
    });
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

void CameraView::Place()
{
    const bool own = m_own->isChecked();
    if (own != m_window->isWindow()) {
        m_window->hide();
        if (own) {
            m_window->setParent(m_main, Qt::Window);
            m_window->resize(m_window->sizeHint());
            // Beside the clocks rather than over them, and on the screen; a window manager may still
            // place it elsewhere.
            m_window->move(PlaceBeside(m_main->frameGeometry(), m_window->frameGeometry().size(),
                                       m_main->screen()->availableGeometry()));
        } else {
            m_split->addWidget(m_window);
        }
    }
    if (!m_open || !m_shown->isChecked()) {
        m_window->hide();
        return;
    }
    m_window->show();
    if (own || m_sized)
        return;
    // The first showing under the clocks: the size it had last time, else a third of the height.
    m_sized = true;
    QList<int> sizes;
    for (const QVariant& v : WindowPlaceValue(m_placeFile, kSizesKey).toList())
        sizes.append(v.toInt());
    const int height = m_split->height();
    if (sizes.size() != 2 || sizes[0] <= 0 || sizes[1] <= 0)
        sizes = {height - height / 3, height / 3};
    m_split->setSizes(sizes);
}

void CameraView::SavePlace() const
{
    if (m_window->isWindow() || !m_window->isVisible())
        return;
    QVariantList sizes;
    for (int size : m_split->sizes())
        sizes.append(size);
    KeepWindowPlaceValue(m_placeFile, kSizesKey, sizes);
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
    if (!m_open) {
        ShowMessage(m_main,
                    tr("The board's corners are clicked on the camera's picture: tick \"Take pictures\" "
                       "first, then choose \"Board...\" again."));
        return;
    }
    m_shown->setChecked(true);
    m_window->PickBoardCorners();
    m_window->raise();
}
