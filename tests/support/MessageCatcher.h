#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

/// Answers every modal dialog that opens while it lives: a message box is recorded and
/// answered OK (a question: its default answer), any other dialog recorded by its title and closed
/// (unless told to leave them).
class MessageCatcher : public QObject {
public:
    explicit MessageCatcher(bool closeOtherDialogs = true) : closeOtherDialogs(closeOtherDialogs)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                texts << box->text();
                captions << box->windowTitle();
                QAbstractButton* answer = box->button(QMessageBox::Ok);
                (answer ? answer : static_cast<QAbstractButton*>(box->defaultButton()))->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && this->closeOtherDialogs) {
                texts << dialog->windowTitle();
                captions << dialog->windowTitle();
                dialog->reject();
            }
        });
        m_timer.start(20);
    }
    QStringList texts;
    QStringList captions;
    bool closeOtherDialogs;

private:
    QTimer m_timer;
};
