#include "PreviewWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

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

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Orvelle preview"));
    setWindowTitle(QStringLiteral("Orvelle"));
    // The players' keys belong to the clock window: showing the preview must not take the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(640, 480);
}

void PreviewWindow::SetFrame(QImage frame)
{
    if (frame.isNull())
        return;
    if (frame.size() != m_frame.size())
        setFixedSize(frame.size());
    m_frame = std::move(frame);
    update();
}

void PreviewWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_frame.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(0, 0, m_frame);
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
        emit keyTyped();
    }
}

void PreviewWindow::closeEvent(QCloseEvent* event)
{
    // The camera stays open until the clocks end; its window goes with it, not before.
    event->ignore();
}
