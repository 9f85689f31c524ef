#include "COrvelleApp.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
#if defined(Q_OS_LINUX)
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::fputs("Orvelle needs a desktop: no DISPLAY or WAYLAND_DISPLAY is set.\n", stderr);
        return 1;
    }
#endif
    COrvelleApp app(argc, argv);
    return app.InitInstance();
}
