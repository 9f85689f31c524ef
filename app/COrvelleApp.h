#pragma once

#include <QApplication>

/// The application: runs the main window until it closes.
class COrvelleApp final : public QApplication {
public:
    COrvelleApp(int& argc, char** argv);
    /// Shows the main window and returns when it has been closed.
    int InitInstance();
};
