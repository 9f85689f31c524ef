#include "CommandLine.h"

#include "PgnCommand.h"
#include "VideoCommand.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {
int BadArguments(const QString& reason)
{
    std::fprintf(stderr, "orvelle: %s\n%s\n", qUtf8Printable(reason),
                 qUtf8Printable(QCoreApplication::translate("CommandLine",
                                                            "Try 'orvelle --help' for more information.")));
    return 2;
}
} // namespace

void CommandLine::AddOptions()
{
    m_parser.setApplicationDescription(tr("A chess clock that can photograph the board at every move.\n"
                                          "Without options it opens its window."));
    m_parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, tr("Show this help and exit.")});
    m_parser.addVersionOption();
    m_parser.addOption({QStringLiteral("settings"),
                        tr("Use the settings file FILE instead of the user's own (it is made with "
                           "the defaults when it does not exist)."),
                        tr("FILE")});
    AddVideoOptions(m_parser);
    AddPgnOptions(m_parser);
}

std::optional<int> CommandLine::Parse(const QStringList& arguments)
{
    // The options' words come from the translations, which the application has only now.
    AddOptions();
    if (!m_parser.parse(arguments))
        return BadArguments(m_parser.errorText());
    if (!m_parser.positionalArguments().isEmpty())
        return BadArguments(tr("Unexpected argument '%1'.").arg(m_parser.positionalArguments().first()));
    if (m_parser.isSet(QStringLiteral("help"))) {
        std::fputs(qUtf8Printable(m_parser.helpText()), stdout);
        return 0;
    }
    if (m_parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    const QString settings = SettingsFile();
    if (m_parser.isSet(QStringLiteral("settings")) && (settings.isEmpty() || QFileInfo(settings).isDir()))
        return BadArguments(tr("--settings needs a file, not '%1'.").arg(settings));
    return std::nullopt;
}

QString CommandLine::SettingsFile() const
{
    return m_parser.value(QStringLiteral("settings"));
}
