#include "COrvelleApp.h"

#include "COrvelleDlg.h"
#include "Texts.h"

COrvelleApp::COrvelleApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setOrganizationName(QStringLiteral("Kadrith"));
    setApplicationName(kProductName);
    setApplicationVersion(QStringLiteral(ORVELLE_VERSION));
    setWindowIcon(QIcon(QStringLiteral(":/orvelle/icon.png")));
}

int COrvelleApp::InitInstance()
{
    COrvelleDlg dialog;
    dialog.exec();
    return 0;
}
