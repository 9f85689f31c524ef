#pragma once

#include <QApplication>

/// The application: runs the main window until it closes.
class COrvelleApp final : public QApplication {
    Q_OBJECT
public:
    COrvelleApp(int& argc, char** argv);
    /// The organisation, name and version that the settings and --version use; needs no application object.
    static void SetIdentity();
    /// Shows the main window, with the settings in settingsFile (empty: the user's own), and returns
    /// when it has been closed.
    /// A second Orvelle on the same desktop brings the first one's window to the front and ends: two clocks
    /// must never take the same Shift keys.
    int InitInstance(const QString& settingsFile = {});

private:
    QString InstanceName();
    static bool RaiseRunningInstance(const QString& name);
};
