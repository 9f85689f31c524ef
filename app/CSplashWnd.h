#pragma once

#include <QPixmap>
#include <QWidget>

/// The splash picture, shown centred over the main window for 1.5 s while it opens.
/// It deletes itself; there is never more than one.
class CSplashWnd final : public QWidget {
    Q_OBJECT
public:
    static void EnableSplashScreen(bool enable) { s_enabled = enable; }
    /// Shows the splash over the parent if allowed and none is shown; a missing picture shows nothing.
    static void ShowSplashScreen(QWidget* parent);
    static CSplashWnd* Current() { return s_current; }

    ~CSplashWnd() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CSplashWnd(QWidget* parent, QPixmap bitmap);

    QPixmap m_bitmap;
    static inline bool s_enabled = false;
    static inline CSplashWnd* s_current = nullptr;
};
