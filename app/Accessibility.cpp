#include "Accessibility.h"

#include <QAccessible>
#include <QPalette>
#include <QSet>
#include <QWidget>
#include <mutex>

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
    static std::once_flag installed;
    std::call_once(installed, [] { g_previous = QAccessible::installUpdateHandler(&Filter); });
    QuietWidgets().insert(widget);
    QObject::connect(widget, &QObject::destroyed, [widget] { QuietWidgets().remove(widget); });
}

void Rename(QWidget* widget, const QString& name)
{
    widget->setAccessibleName(name);
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

QPalette DarkPalette()
{
    const QColor ground(45, 45, 48), base(30, 30, 32), text(232, 232, 232), button(62, 62, 66);
    QPalette p(button, ground);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, ground);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
        p.setColor(role, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(110, 170, 255));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    return p;
}

bool HasDarkGround(const QWidget* widget)
{
    return widget->palette().color(widget->backgroundRole()).lightness() < 128;
}

QString WarningColour(bool darkGround)
{
    return darkGround ? QStringLiteral("#ff7b7b") : QStringLiteral("#c00000");
}

QString LowTimeColour(bool darkGround)
{
    return darkGround ? QStringLiteral("#ffa040") : QStringLiteral("#c04000");
}
