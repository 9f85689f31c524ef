#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

/// Answers every modal dialog that opens while it lives: a message box is recorded and
/// answered OK, any other dialog recorded by its title and closed.
class MessageCatcher : public QObject {
public:
    MessageCatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                texts << box->text();
                captions << box->windowTitle();
                box->button(QMessageBox::Ok)->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                texts << dialog->windowTitle();
                captions << dialog->windowTitle();
                dialog->reject();
            }
        });
        m_timer.start(20);
    }
    QStringList texts;
    QStringList captions;

private:
    QTimer m_timer;
};
