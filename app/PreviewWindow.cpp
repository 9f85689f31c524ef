#include "PreviewWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>

QImage MatToQImage(const cv::Mat& frame)
{
    if (frame.empty() || frame.depth() != CV_8U)
        return {};
    switch (frame.channels()) {
    case 1:
        return QImage(frame.data, frame.cols, frame.rows, static_cast<qsizetype>(frame.step), QImage::Format_Grayscale8)
            .copy();
    case 3:
        return QImage(frame.data, frame.cols, frame.rows, static_cast<qsizetype>(frame.step), QImage::Format_BGR888)
            .copy();
    case 4:
        return QImage(frame.data, frame.cols, frame.rows, static_cast<qsizetype>(frame.step), QImage::Format_ARGB32)
            .copy();
    default:
        return {};
    }
}

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Orvelle preview"));
    setWindowTitle(QStringLiteral("Orvelle"));
    // The players' keys belong to the clock window: showing the preview must not take the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicked (for the board's corners), it takes the keys typed, which close the camera.
    setFocusPolicy(Qt::ClickFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize PreviewWindow::sizeHint() const
{
    return m_frame.isNull() ? QSize(320, 240) : m_frame.size();
}

QSize PreviewWindow::minimumSizeHint() const
{
    return {80, 60};
}

void PreviewWindow::SetFrame(QImage frame)
{
    if (frame.isNull())
        return;
    if (frame.size() != m_frame.size()) {
        if (isWindow())
            resize(frame.size());
        updateGeometry();
    }
    m_frame = std::move(frame);
    update();
}

QRectF PreviewWindow::PictureRect() const
{
    if (m_frame.isNull())
        return rect();
    const QSizeF fitted = QSizeF(m_frame.size()).scaled(size(), Qt::KeepAspectRatio);
    return {(width() - fitted.width()) / 2, (height() - fitted.height()) / 2, fitted.width(),
            fitted.height()};
}

void PreviewWindow::SetBoardCorners(const QList<QPointF>& corners)
{
    m_corners = corners.size() == 4 ? corners : QList<QPointF>();
    update();
}

void PreviewWindow::PickBoardCorners()
{
    m_picking = true;
    m_picked.clear();
    setCursor(Qt::CrossCursor);
    update();
}

void PreviewWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRectF picture = PictureRect();
    if (!m_frame.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(picture, m_frame);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const auto toPixels = [&picture](QPointF f) {
        return QPointF(picture.x() + f.x() * picture.width(), picture.y() + f.y() * picture.height());
    };
    QTransform board; // from squares (a1's outer corner at 0,0, rank 8 at y = 8) to pixels
    if (!m_picking && m_corners.size() == 4 &&
        QTransform::quadToQuad(QPolygonF({{0, 0}, {8, 0}, {8, 8}, {0, 8}}),
                               QPolygonF({toPixels(m_corners[0]), toPixels(m_corners[1]),
                                          toPixels(m_corners[2]), toPixels(m_corners[3])}),
                               board)) {
        painter.setPen(QPen(QColor(0, 255, 0), 2));
        for (int i = 0; i <= 8; ++i) {
            painter.drawLine(board.map(QPointF(i, 0)), board.map(QPointF(i, 8)));
            painter.drawLine(board.map(QPointF(0, i)), board.map(QPointF(8, i)));
        }
        painter.drawText(board.map(QPointF(0.3, 0.4)), QStringLiteral("a1"));
    }
    if (m_picking) {
        static const char* const kCorners[] = {"a1", "h1", "h8", "a8"};
        painter.setPen(QPen(QColor(255, 64, 0), 3));
        for (const QPointF& p : m_picked)
            painter.drawEllipse(toPixels(p), 5, 5);
        const QString text =
            QCoreApplication::translate("PreviewWindow", "Click the outer corner of %1 (%2 of 4)")
                .arg(QLatin1String(kCorners[m_picked.size()]))
                .arg(m_picked.size() + 1);
        QFont font = painter.font();
        font.setPointSize(14);
        font.setBold(true);
        painter.setFont(font);
        const QRectF band(picture.x(), picture.y(), picture.width(), 32);
        painter.fillRect(band, QColor(0, 0, 0, 160));
        painter.setPen(Qt::white);
        painter.drawText(band, Qt::AlignCenter, text);
    }
}

void PreviewWindow::mousePressEvent(QMouseEvent* event)
{
    const QRectF picture = PictureRect();
    if (!m_picking || event->button() != Qt::LeftButton || picture.isEmpty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF p = event->position() - picture.topLeft();
    m_picked.append(QPointF(std::clamp(p.x() / picture.width(), 0.0, 1.0),
                            std::clamp(p.y() / picture.height(), 0.0, 1.0)));
    if (m_picked.size() == 4) {
        m_picking = false;
        unsetCursor();
        emit boardCornersPicked(m_picked);
    }
    update();
}

void PreviewWindow::keyPressEvent(QKeyEvent* event)
{
    // A Shift press is a clock press, not a key typed into the preview; other modifiers alone neither.
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
        QWidget::keyPressEvent(event);
        return;
    default:
        if (m_picking) {
            // A key while the corners are being clicked gives up the clicking, not the camera.
            m_picking = false;
            unsetCursor();
            update();
            return;
        }
        emit keyTyped();
    }
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    // The camera stays open until the clocks end: closing its window puts the picture back into the
    // main window.
    event->ignore();
    emit windowClosed();
}
