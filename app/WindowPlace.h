#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>

class QWidget;

/// Brings the main window back at the size, place and state (maximised, full screen) it had when it last
/// closed, kept beside the settings file; on the first start it opens maximised, to be read across a
/// table. Before the window is shown.
void RestoreWindowPlace(QWidget* window, const QString& settingsFile);
/// Keeps where the main window is, for the next start.
void SaveWindowPlace(const QWidget* window, const QString& settingsFile);
/// Another part of the window's state kept with its place (which parts show, and their sizes).
QVariant WindowPlaceValue(const QString& settingsFile, const QString& key, const QVariant& fallback = {});
void KeepWindowPlaceValue(const QString& settingsFile, const QString& key, const QVariant& value);

/// Where a window of the given size opens beside the main window: to its right where the screen has room,
/// else to its left, else in the screen's top right corner; always wholly on the screen where it fits.
QPoint PlaceBeside(const QRect& mainWindow, const QSize& size, const QRect& screen);
