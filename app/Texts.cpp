#include "Texts.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void ShowMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kProductName, text, QMessageBox::Ok, parent);
    box.exec();
}

void OpenProductPage()
{
    QDesktopServices::openUrl(QUrl(kProductPageUrl));
}

void OpenForumPage()
{
    QDesktopServices::openUrl(QUrl(kForumUrl));
}
