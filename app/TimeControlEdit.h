#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

/// A time control typed in the PGN TimeControl syntax, checked as it is typed: the line under the field
/// says the control in words, or why the text is not one. Where the times set with the arrows may be
/// chosen, an empty field stands for them.
class TimeControlEdit final : public QWidget {
    Q_OBJECT
public:
    TimeControlEdit(const QString& text, int delayType, bool emptyAllowed, QWidget* parent = nullptr);
    QString Text() const;
    bool IsValid() const { return m_valid; }
    QLineEdit* Field() const { return m_text; }

signals:
    void validityChanged(bool valid);

private:
    void Check();

    int m_delayType;
    bool m_emptyAllowed;
    bool m_valid = false;
    QLineEdit* m_text;
    QLabel* m_verdict;
};
