#include "CommandLine.h"

#include "PgnCommand.h"
#include "VideoCommand.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace {
int BadArguments(const QString& reason)
{
    std::fprintf(stderr, "orvelle: %s\nTry 'orvelle --help' for more information.\n", qPrintable(reason));
    return 2;
}
} // namespace

CommandLine::CommandLine()
{
    m_parser.setApplicationDescription(
        QStringLiteral("A chess clock that can photograph the board at every move.\n"
                       "Without options it opens its window."));
    m_parser.addOption(
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")});
    m_parser.addVersionOption();
    m_parser.addOption(
        {QStringLiteral("settings"),
         QStringLiteral("Use the settings file FILE instead of the user's own (it is made with "
                        "the defaults when it does not exist)."),
         QStringLiteral("FILE")});
    AddVideoOptions(m_parser);
    AddPgnOptions(m_parser);
}

std::optional<int> CommandLine::Parse(const QStringList& arguments)
{
    if (!m_parser.parse(arguments))
        return BadArguments(m_parser.errorText());
    if (!m_parser.positionalArguments().isEmpty())
        return BadArguments(
            QStringLiteral("Unexpected argument '%1'.").arg(m_parser.positionalArguments().first()));
    if (m_parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(m_parser.helpText()), stdout);
        return 0;
    }
    if (m_parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    const QString settings = SettingsFile();
    if (m_parser.isSet(QStringLiteral("settings")) && (settings.isEmpty() || QFileInfo(settings).isDir()))
        return BadArguments(QStringLiteral("--settings needs a file, not '%1'.").arg(settings));
    return std::nullopt;
}

QString CommandLine::SettingsFile() const
{
    return m_parser.value(QStringLiteral("settings"));
}
