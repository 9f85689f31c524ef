#include "COrvelleApp.h"

#include "Accessibility.h"
#include "COrvelleDlg.h"
#include "Texts.h"

#include <opencv2/core/utils/logger.hpp>

COrvelleApp::COrvelleApp(int& argc, char** argv) : QApplication(argc, argv)
{
    SetIdentity();
    LoadTranslations();
    // Lets a Wayland desktop match the window to its launcher and icon.
    setDesktopFileName(QStringLiteral("example.kadrith.Orvelle"));
    setWindowIcon(ProgramIcon());
    // OpenCV's own warnings (a camera that is not there, a backend it tried) are no news to the user.
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_ERROR);
    // ORVELLE_PALETTE=dark: a dark theme where the desktop's own does not reach Qt (and a way to see
    // that every text stays legible on one).
    if (qEnvironmentVariable("ORVELLE_PALETTE") == QLatin1String("dark")) {
        setStyle(QStringLiteral("Fusion"));
        setPalette(DarkPalette());
    }
}

void COrvelleApp::SetIdentity()
{
    setOrganizationName(QStringLiteral("Kadrith"));
    setApplicationName(kProductName);
    setApplicationVersion(QStringLiteral(ORVELLE_VERSION));
}

int COrvelleApp::InitInstance(const QString& settingsFile)
{
    DialogSeams seams;
    if (!settingsFile.isEmpty())
        seams.store = std::make_shared<SettingsStore>(settingsFile);
    COrvelleDlg dialog(seams);
    dialog.exec();
    return 0;
}
