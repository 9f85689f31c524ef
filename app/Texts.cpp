#include "Texts.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>

void ShowMessage(QWidget* parent, const QString& text)
{
    // On the heap and watched: should the parent go while the box is up, it takes the box with it.
    QPointer<QMessageBox> box = new QMessageBox(QMessageBox::NoIcon, kProductName, text, QMessageBox::Ok, parent);
    box->exec();
    delete box;
}

void OpenProductPage()
{
    QDesktopServices::openUrl(QUrl(kProductPageUrl));
}

void OpenForumPage()
{
    QDesktopServices::openUrl(QUrl(kForumUrl));
}
