#include "COrvelleApp.h"
#include "VideoCommand.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    // orvelle --video DIR --game N [--plies K]: a game's video, with no window and no display needed.
    if (const std::optional<int> exitCode = VideoCommandMain(argc, argv))
        return *exitCode;

#if defined(Q_OS_LINUX)
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::fputs("Orvelle needs a desktop: no DISPLAY or WAYLAND_DISPLAY is set.\n", stderr);
        return 1;
    }
#endif
    COrvelleApp app(argc, argv);
    return app.InitInstance();
}
