#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

/// "Other...": a time control typed in the PGN TimeControl syntax, checked as it is typed. OK is
/// enabled only for a text that parses; the line under the field says the control in words or why not.
class TimeControlDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TimeControlDialog(const QString& text, int delayType, QWidget* parent = nullptr);
    QString Text() const;

private:
    void Check();

    int m_delayType;
    QLineEdit* m_text;
    QLabel* m_verdict;
    QPushButton* m_ok;
};
