#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <optional>

// The settings file: INI text, as QSettings writes it, but with values read the way a person writes
// them. A value is the text after "=" without blanks at either end: commas, semicolons and single
// backslashes are part of it (/media/club, games, /media/a;b, d:\pics). A value may be put in double
// quotes, to keep blanks at its ends. In both forms \\ is one backslash and \" a quote, which is how
// QSettings writes them; any other backslash stands for itself.

/// The QSettings format for Orvelle's settings files (extension "conf").
QSettings::Format ConfFormat();

/// A value's text as it stands after "=": a QString when it reads as one; otherwise the text itself
/// as a QByteArray (a quote left open, text after the closing quote, bytes that are not UTF-8), which
/// is kept as it was when the file is written again.
QVariant ParseConfValue(QByteArrayView text);

/// How a value is written, readable both here and by QSettings' own INI format; none for a text that
/// the file cannot hold (line breaks and other control characters).
std::optional<QByteArray> FormatConfValue(const QString& value);
