#pragma once

#include <QProcess>
#include <QTemporaryFile>

/// What pgn-extract finds wrong with the games, and its exit code if not 0: empty when all is well.
inline QString PgnExtractReport(const QByteArray& games)
{
    QTemporaryFile file;
    QProcess tool;
    if (file.open() && file.write(games) == games.size() && file.flush())
        tool.start("/usr/games/pgn-extract", {"-r", "-s", file.fileName()});
    if (!tool.waitForFinished(10000))
        return "pgn-extract did not run (scripts/deps.sh installs it)";
    const QString report = QString::fromUtf8(tool.readAllStandardError() + tool.readAllStandardOutput());
    return report.trimmed() + (tool.exitCode() ? QString(" exit code %1").arg(tool.exitCode()) : QString());
}
