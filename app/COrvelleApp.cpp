#include "COrvelleApp.h"

#include "Accessibility.h"
#include "COrvelleDlg.h"
#include "Texts.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <cstdio>
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

QString COrvelleApp::InstanceName()
{
    // One clock per desktop: the Shift keys are the desktop's. Another user, or another display, is
    // another desktop.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY", qEnvironmentVariable("DISPLAY"));
    display.replace(u'/', u'_');
    return QStringLiteral("orvelle-%1-%2-%3")
        .arg(qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME")), platformName(), display);
}

bool COrvelleApp::RaiseRunningInstance(const QString& name)
{
    QLocalSocket other;
    other.connectToServer(name);
    if (!other.waitForConnected(1000))
        return false;
    // The one that runs brings its window to the front when it hears from us.
    other.write("raise\n");
    other.waitForBytesWritten(1000);
    other.disconnectFromServer();
    return true;
}

int COrvelleApp::InitInstance(const QString& settingsFile)
{
    const QString name = InstanceName();
    if (RaiseRunningInstance(name)) {
        std::fprintf(stderr, "%s\n",
                     qUtf8Printable(tr("Orvelle is already running on this desktop: its window is brought to "
                                       "the front.")));
        return 0;
    }
    QLocalServer::removeServer(name); // left behind by one that did not end cleanly
    QLocalServer server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    server.listen(name);

    DialogSeams seams;
    if (!settingsFile.isEmpty())
        seams.store = std::make_shared<SettingsStore>(settingsFile);
    COrvelleDlg dialog(seams);
    connect(&server, &QLocalServer::newConnection, &dialog, [&server, &dialog] {
        while (QLocalSocket* other = server.nextPendingConnection()) {
            other->deleteLater();
            dialog.setWindowState(dialog.windowState() & ~Qt::WindowMinimized);
            dialog.raise();
            dialog.activateWindow();
        }
    });
    dialog.exec();
    return 0;
}
