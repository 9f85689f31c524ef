#pragma once

#include <QDialog>

/// The About box: the program's name and version, and the forum link.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
