#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QWidget>

#include <opencv2/core.hpp>

/// A deep copy of a frame as a QImage: 8-bit BGR, grey or BGRA; a null image for anything else.
QImage MatToQImage(const cv::Mat& frame);

/// The live camera picture, as large as its room allows with its shape kept: a part of the main window,
/// or a window of its own captioned "Orvelle" that opens as large as the frames.
class PreviewWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    void SetFrame(QImage frame);
    const QImage& Frame() const { return m_frame; }
    /// The board's corners a1, h1, h8, a8 as fractions of the picture, over which the 8 x 8 grid is drawn;
    /// empty for none.
    void SetBoardCorners(const QList<QPointF>& corners);
    const QList<QPointF>& BoardCorners() const { return m_corners; }
    /// The next four clicks on the picture are the corners a1, h1, h8 and a8; a key typed meanwhile
    /// gives up.
    void PickBoardCorners();
    bool PickingBoard() const { return m_picking; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    /// A key (other than a modifier) was typed into the picture.
    void keyTyped();
    /// The fourth corner has been clicked.
    void boardCornersPicked(const QList<QPointF>& corners);
    /// The window of its own was closed: the picture goes back into the main window.
    void windowClosed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    /// Where the frame is drawn.
    QRectF PictureRect() const;

    QImage m_frame;
    QList<QPointF> m_corners;
    QList<QPointF> m_picked;
    bool m_picking = false;
};
