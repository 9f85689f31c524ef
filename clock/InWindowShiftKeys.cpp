#include "InWindowShiftKeys.h"

#include "X11ShiftKeys.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace {
#if defined(Q_OS_WIN)
constexpr quint32 kLeftShiftCode = 42, kRightShiftCode = 54;
quint32 NativeCode(const QKeyEvent* e)
{
    return e->nativeScanCode();
}
#elif defined(Q_OS_MACOS)
constexpr quint32 kLeftShiftCode = 56, kRightShiftCode = 60; // virtual key codes; macOS gives no scan code
quint32 NativeCode(const QKeyEvent* e)
{
    return e->nativeVirtualKey();
}
#else
constexpr quint32 kLeftShiftCode = 50, kRightShiftCode = 62; // X11 and Wayland keycodes
quint32 NativeCode(const QKeyEvent* e)
{
    return e->nativeScanCode();
}
#endif
} // namespace

InWindowShiftKeys::InWindowShiftKeys()
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool InWindowShiftKeys::Query(Key& key)
{
    const bool pressed = key.pressedSinceQuery.exchange(false);
    return pressed || key.down;
}

bool InWindowShiftKeys::LeftPressed()
{
    return Query(m_left);
}

bool InWindowShiftKeys::RightPressed()
{
    return Query(m_right);
}

bool InWindowShiftKeys::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const quint32 code = NativeCode(key);
        Key* target = code == kLeftShiftCode ? &m_left : code == kRightShiftCode ? &m_right : nullptr;
        if (target && !key->isAutoRepeat()) {
            const bool down = event->type() == QEvent::KeyPress;
            target->down = down;
            if (down)
                target->pressedSinceQuery = true;
        }
        break;
    }
    case QEvent::ApplicationDeactivate:
        // A release outside our windows never reaches us; do not leave a key held down forever.
        m_left.down = false;
        m_right.down = false;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

std::shared_ptr<ShiftKeys> MakeShiftKeys()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (std::shared_ptr<ShiftKeys> keys = X11ShiftKeys::Open())
            return keys;
    }
    return std::make_shared<InWindowShiftKeys>();
}
