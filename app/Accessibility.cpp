#include "Accessibility.h"

#include <QAccessible>
#include <QSet>
#include <QWidget>

namespace {
QSet<const QObject*>& QuietWidgets()
{
    static QSet<const QObject*> widgets;
    return widgets;
}

QAccessible::UpdateHandler g_previous = nullptr;

void Filter(QAccessibleEvent* event)
{
    const QAccessible::Event type = event->type();
    if ((type == QAccessible::TextInserted || type == QAccessible::TextRemoved ||
         type == QAccessible::TextUpdated) &&
        QuietWidgets().contains(event->object()))
        return;
    if (g_previous) {
        g_previous(event);
        return;
    }
    // With no handler before this one the event goes to the platform, for which this one steps aside.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&Filter);
}
} // namespace

void QuietTextChanges(QWidget* widget)
{
    static const bool installed = (g_previous = QAccessible::installUpdateHandler(&Filter), true);
    Q_UNUSED(installed)
    QuietWidgets().insert(widget);
    QObject::connect(widget, &QObject::destroyed, [widget] { QuietWidgets().remove(widget); });
}

void Rename(QWidget* widget, const QString& name)
{
    widget->setAccessibleName(name);
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

bool HasDarkGround(const QWidget* widget)
{
    return widget->palette().color(widget->backgroundRole()).lightness() < 128;
}

QString WarningColour(bool darkGround)
{
    return darkGround ? QStringLiteral("#ff6b6b") : QStringLiteral("#c00000");
}

QString LowTimeColour(bool darkGround)
{
    return darkGround ? QStringLiteral("#ffa040") : QStringLiteral("#c04000");
}
