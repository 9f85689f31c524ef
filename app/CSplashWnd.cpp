#include "CSplashWnd.h"

#include "Identifiers.h"
#include "Texts.h"

#include <QPainter>
#include <QTimer>

namespace {
constexpr int kSplashMilliseconds = 1500;
}

void CSplashWnd::ShowSplashScreen(QWidget* parent)
{
    if (!s_enabled || s_current)
        return;
    const QPixmap bitmap = ResourcePng(QStringLiteral(":/orvelle/splash.png"));
    if (bitmap.isNull())
        return;
    auto* splash = new CSplashWnd(parent, bitmap);
    splash->show();
    splash->repaint();
}

CSplashWnd::CSplashWnd(QWidget* parent, QPixmap bitmap)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_bitmap(std::move(bitmap))
{
    s_current = this;
    setObjectName(ORVELLE_ID(IDB_SPLASH));
    setWindowTitle(tr("Orvelle splash")); // never shown (no frame); names it in window lists
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    setFixedSize(m_bitmap.deviceIndependentSize().toSize());
    const QRect owner = parent ? parent->frameGeometry() : QRect();
    if (owner.isValid())
        move(owner.center() - rect().center());
    QTimer::singleShot(kSplashMilliseconds, this, [this] {
        QWidget* owner = parentWidget();
        close();
        if (owner)
            owner->update();
    });
}

CSplashWnd::~CSplashWnd()
{
    s_current = nullptr;
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter(this).drawPixmap(0, 0, m_bitmap);
}
