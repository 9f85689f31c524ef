#include "BroadcastToken.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOthers = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                             QFileDevice::WriteOther | QFileDevice::ExeOther;

} // namespace

QString BroadcastTokenPath(const QString& settingsFile)
{
    return QFileInfo(settingsFile).dir().filePath(QStringLiteral("broadcast-token"));
}

BroadcastToken ReadBroadcastToken(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {
            {},
            QCoreApplication::translate("BroadcastToken", "The broadcast token file %1 cannot be read: %2")
                .arg(path, file.errorString())};
    // Asked of the file now open, so that it is the one whose bytes are read.
    if (file.permissions() & kOthers)
        return {
            {},
            QCoreApplication::translate(
                "BroadcastToken",
                "The broadcast token file %1 can be read or changed by other users, so Orvelle does not use "
                "it: make it yours alone with \"chmod 600 %1\", or set the token again in the settings.")
                .arg(path)};
    const QByteArray token = file.readAll().trimmed();
    if (token.isEmpty())
        return {
            {},
            QCoreApplication::translate("BroadcastToken", "The broadcast token file %1 is empty.").arg(path)};
    return {token, {}};
}

QString WriteBroadcastToken(const QString& path, const QByteArray& token)
{
    QSaveFile file(path);
    // The new file is made the user's alone before the token is in it.
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(kOwnerOnly) ||
        file.write(token + '\n') < 0 || !file.commit())
        return QCoreApplication::translate("BroadcastToken",
                                           "The broadcast token could not be written to %1: %2")
            .arg(path, file.errorString());
    return {};
}
