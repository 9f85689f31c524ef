#pragma once

#include <QIcon>
#include <QLocale>
#include <QString>

class QUrl;
class QWidget;

/// The program's name, also the caption of its windows and message boxes.
inline const QString kProductName = QStringLiteral("Orvelle");

/// A PNG picture of the program's resources (":/orvelle/..."). Read as the PNG it is: Qt otherwise loads
/// every image-format plugin it has to ask whether they know the file better, which delays the first window.
QPixmap ResourcePng(const QString& path);
/// The program's icon, for its windows.
QIcon ProgramIcon();

/// Installs the program's texts, and Qt's own, in the language of locale where there is a translation
/// (German; English is the source), for the widgets and for the Qt-free core. On the running application.
void LoadTranslations(const QLocale& locale = QLocale::system());

/// A modal message box captioned "Orvelle" with an OK button.
void ShowMessage(QWidget* parent, const QString& text);

/// The manual that comes with the program, its README: share/doc/orvelle/ beside the program's folder, as
/// installed (/usr/bin/orvelle, /usr/share/doc/orvelle/README.md) and in the build folder.
QUrl ManualUrl();
/// The caption of the buttons that open it.
QString ManualCaption();
/// Opens the product's page: the manual, until the program has a site of its own; a failure shows nothing.
void OpenProductPage();
/// Opens the place for questions: the manual too, for now; a failure shows nothing.
void OpenForumPage();
