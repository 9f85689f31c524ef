#pragma once

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

/// The program's options and what a run asked for. It is read before any window system is touched,
/// so that --help, --version and the modes without a window work without a display.
class CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
public:
    /// Reads the arguments (the program's name first), in the language the running application has loaded.
    /// Returns an exit code when the program should end at once: 0 after --help or --version (printed on
    /// stdout), 2 after a bad argument (said on stderr).
    std::optional<int> Parse(const QStringList& arguments);
    /// The file of --settings; empty for the user's own settings.
    QString SettingsFile() const;
    bool IsSet(const QString& option) const { return m_parser.isSet(option); }
    QString Value(const QString& option) const { return m_parser.value(option); }
    const QCommandLineParser& Parser() const { return m_parser; }

private:
    void AddOptions();

    QCommandLineParser m_parser;
};
