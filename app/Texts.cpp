#include "Texts.h"

#include "Words.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QImageReader>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTranslator>
#include <QUrl>

QPixmap ResourcePng(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon ProgramIcon()
{
    return QIcon(ResourcePng(QStringLiteral(":/orvelle/icon.png")));
}

void LoadTranslations(const QLocale& locale)
{
    QCoreApplication* app = QCoreApplication::instance();
    // A second call replaces the languages of the first rather than stacking under them.
    for (QTranslator* earlier : app->findChildren<QTranslator*>(QString(), Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(earlier);
        delete earlier;
    }
    // Qt's own texts first: the buttons of message boxes and dialogs, and the command line's errors.
    for (const auto& [name, folder] :
         {std::pair{QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)},
          std::pair{QStringLiteral("orvelle"), QStringLiteral(":/orvelle/translations")}}) {
        auto* translator = new QTranslator(app);
        if (translator->load(locale, name, QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
    SetTranslator([](const char* context, const char* english) {
        return QCoreApplication::translate(context, english).toStdString();
    });
}

void ShowMessage(QWidget* parent, const QString& text)
{
    // On the heap and watched: should the parent go while the box is up, it takes the box with it.
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::NoIcon, kProductName, text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText); // its texts may name files and what a library said
    box->exec();
    delete box;
}

QUrl ManualUrl()
{
    return QUrl::fromLocalFile(QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                               QStringLiteral("/../share/doc/orvelle/README.md")));
}

QString ManualCaption()
{
    return QCoreApplication::translate("Texts", "Manual");
}

void OpenProductPage()
{
    QDesktopServices::openUrl(ManualUrl());
}

void OpenForumPage()
{
    QDesktopServices::openUrl(ManualUrl());
}
