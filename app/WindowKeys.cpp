#include "WindowKeys.h"

#include "GameSession.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

WindowKeys::WindowKeys(QWidget* window, GameSession& session) : QObject(window), m_window(window)
{
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [&session](QWidget*, QWidget* now) {
        auto* line = qobject_cast<QLineEdit*>(now);
        session.SetTyping((line && !line->isReadOnly()) || qobject_cast<QAbstractSpinBox*>(now) ||
                          qobject_cast<QTextEdit*>(now) || qobject_cast<QPlainTextEdit*>(now));
    });
}

WindowKeys::~WindowKeys()
{
    qApp->removeEventFilter(this);
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != m_window)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool press = type == QEvent::KeyPress && !key->isAutoRepeat();
    if (key->key() == Qt::Key_Space || key->key() == Qt::Key_F11) {
        if (press)
            emit(key->key() == Qt::Key_Space ? pausePressed() : fullScreenPressed());
        return true;
    }
    // Space being the clock's, Enter presses the focused button or box.
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        if (press)
            button->click();
        return true;
    }
    return false;
}
