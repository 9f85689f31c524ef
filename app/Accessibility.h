#pragma once

class QPalette;
class QString;
class QWidget;

/// Keeps the widget's own text-change events (a running clock's, ten a second) from assistive
/// technology, which hears the widget by its name instead, changed at the moments that matter.
void QuietTextChanges(QWidget* widget);

/// Gives the widget a new accessible name and announces it (Qt 6.4 changes the name silently).
void Rename(QWidget* widget, const QString& name);

/// A dark palette, for ORVELLE_PALETTE=dark.
QPalette DarkPalette();

/// Whether the widget's ground is dark (a dark theme), so that its coloured texts must be light.
bool HasDarkGround(const QWidget* widget);
/// The red of flags and warnings, legible on a dark or a light ground.
QString WarningColour(bool darkGround);
/// The orange of a clock in its last seconds, legible on a dark or a light ground.
QString LowTimeColour(bool darkGround);
