#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <filesystem>

/// A file's whole content, or nothing when it cannot be read: a missing file fails the comparison
/// that follows, not the test's set-up.
inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
inline QByteArray ReadFile(const std::filesystem::path& path)
{
    return ReadFile(QString::fromStdString(path.string()));
}
