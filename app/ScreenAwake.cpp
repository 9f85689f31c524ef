#include "ScreenAwake.h"

#include "Texts.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
QDBusMessage ScreenSaverCall(const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}
} // namespace

ScreenAwake::ScreenAwake(QObject* parent) : QObject(parent) {}

ScreenAwake::~ScreenAwake()
{
    m_wanted = false;
    Release();
}

void ScreenAwake::Set(bool awake)
{
    if (awake == m_wanted)
        return;
    m_wanted = awake;
    if (!awake) {
        Release();
        return;
    }
    if (m_pending || m_cookie)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = ScreenSaverCall(QStringLiteral("Inhibit"));
    call << kProductName << tr("A chess game is running");
    m_pending = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        m_pending = false;
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError())
            return;
        m_cookie = reply.value();
        if (!m_wanted) // released while the answer was on its way
            Release();
    });
}

void ScreenAwake::Release()
{
    if (!m_cookie)
        return;
    QDBusMessage call = ScreenSaverCall(QStringLiteral("UnInhibit"));
    call << m_cookie;
    QDBusConnection::sessionBus().asyncCall(call);
    m_cookie = 0;
}
