#include "COrvelleApp.h"

#include "COrvelleDlg.h"
#include "Texts.h"

#include <QPalette>
#include <QStyle>
#include <opencv2/core/utils/logger.hpp>

namespace {
QPalette DarkPalette()
{
    const QColor ground(45, 45, 48), base(30, 30, 32), text(232, 232, 232), button(62, 62, 66);
    QPalette p(button, ground);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, ground);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
        p.setColor(role, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(110, 170, 255));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    return p;
}
} // namespace

COrvelleApp::COrvelleApp(int& argc, char** argv) : QApplication(argc, argv)
{
    SetIdentity();
    LoadTranslations();
    // Lets a Wayland desktop match the window to its launcher and icon.
    setDesktopFileName(QStringLiteral("example.kadrith.Orvelle"));
    setWindowIcon(QIcon(QStringLiteral(":/orvelle/icon.png")));
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
