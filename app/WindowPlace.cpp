#include "WindowPlace.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QWidget>
#include <algorithm>
#include <memory>

namespace {
constexpr int kGap = 16;

std::unique_ptr<QSettings> PlaceFile(const QString& settingsFile)
{
    // Beside the settings file, but not in it: the settings change only when the user chooses.
    const QFileInfo settings(settingsFile);
    if (settings.suffix() == QLatin1String("conf"))
        return std::make_unique<QSettings>(
            settings.dir().filePath(settings.completeBaseName() + QStringLiteral("-window.conf")),
            QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kadrith"),
                                       QStringLiteral("Orvelle-window"));
}
} // namespace

void RestoreWindowPlace(QWidget* window, const QString& settingsFile)
{
    if (!window->restoreGeometry(PlaceFile(settingsFile)->value(QStringLiteral("geometry")).toByteArray()))
        window->setWindowState(Qt::WindowMaximized);
}

void SaveWindowPlace(const QWidget* window, const QString& settingsFile)
{
    PlaceFile(settingsFile)->setValue(QStringLiteral("geometry"), window->saveGeometry());
}

QVariant WindowPlaceValue(const QString& settingsFile, const QString& key, const QVariant& fallback)
{
    return PlaceFile(settingsFile)->value(key, fallback);
}

void KeepWindowPlaceValue(const QString& settingsFile, const QString& key, const QVariant& value)
{
    PlaceFile(settingsFile)->setValue(key, value);
}

QPoint PlaceBeside(const QRect& mainWindow, const QSize& size, const QRect& screen)
{
    const int screenEnd = screen.x() + screen.width();
    int x = mainWindow.x() + mainWindow.width() + kGap;
    if (x + size.width() > screenEnd)
        x = mainWindow.x() - kGap - size.width();
    if (x < screen.x())
        x = screenEnd - size.width();
    // On the screen, wherever it fits.
    x = std::max(screen.x(), std::min(x, screenEnd - size.width()));
    const int y =
        std::max(screen.y(), std::min(mainWindow.y(), screen.y() + screen.height() - size.height()));
    return {x, y};
}
