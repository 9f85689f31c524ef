#pragma once

#include <QByteArray>
#include <QString>

/// The token file "broadcast-token" in the folder of the settings file.
QString BroadcastTokenPath(const QString& settingsFile);

/// A token read from its file, or why there is none.
struct BroadcastToken {
    QByteArray token;
    QString error;
};

/// Reads the token (surrounding blanks and line breaks dropped). Refuses a file that anyone but its
/// owner may read or write (its mode must be 0600 or stricter), a missing file and an empty one, saying
/// which and what to do. The token itself is never part of a message.
BroadcastToken ReadBroadcastToken(const QString& path);
/// Writes the token readable and writable by the user alone (mode 0600), replacing the file in one
/// step; returns why it could not, or an empty text.
QString WriteBroadcastToken(const QString& path, const QByteArray& token);
