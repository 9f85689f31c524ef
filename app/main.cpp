#include "COrvelleApp.h"
#include "CommandLine.h"
#include "PgnCommand.h"
#include "Texts.h"
#include "VideoCommand.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    CommandLine commandLine;
    {
        // No window system yet: help, version, bad arguments and the modes without a window need no display.
        QCoreApplication core(argc, argv);
        COrvelleApp::SetIdentity();
        LoadTranslations();
        if (const std::optional<int> exitCode = commandLine.Parse(core.arguments()))
            return *exitCode;
        // Each mode without a window runs here, on this core application, and ends the program.
        if (commandLine.IsSet(QStringLiteral("video")))
            return RunVideoCommand(commandLine.Parser());
        if (commandLine.IsSet(QStringLiteral("pgn")))
            return RunPgnCommand(commandLine.Parser());
#if defined(Q_OS_LINUX)
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
            std::fprintf(stderr, "%s\n",
                         qUtf8Printable(QCoreApplication::translate(
                             "main", "Orvelle needs a desktop: no DISPLAY or WAYLAND_DISPLAY is set.")));
            return 1;
        }
#endif
    }
    COrvelleApp app(argc, argv);
    return app.InitInstance(commandLine.SettingsFile());
}
