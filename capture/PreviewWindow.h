#pragma once

#include <QImage>
#include <QWidget>

#include <opencv2/core.hpp>

/// A deep copy of a frame as a QImage: 8-bit BGR, grey or BGRA; a null image for anything else.
QImage MatToQImage(const cv::Mat& frame);

/// The live camera picture, captioned "Orvelle" and as large as the frames.
class PreviewWindow final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    void SetFrame(QImage frame);
    const QImage& Frame() const { return m_frame; }

signals:
    /// A key (other than a modifier) was typed into the window.
    void keyTyped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QImage m_frame;
};
