#pragma once

#include <QDialog>

class TimeControlEdit;

/// "Other...": a time control typed in the PGN TimeControl syntax, checked as it is typed. OK is
/// enabled only for a text that parses.
class TimeControlDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TimeControlDialog(const QString& text, int delayType, QWidget* parent = nullptr);
    QString Text() const;

private:
    TimeControlEdit* m_edit;
};
