#pragma once

#include <QIcon>
#include <QLocale>
#include <QString>

class QWidget;

/// The program's name, also the caption of its windows and message boxes.
inline const QString kProductName = QStringLiteral("Orvelle");
inline const QString kProductPageUrl = QStringLiteral("https://www.kadrith.example/orvelle");
inline const QString kForumUrl = QStringLiteral("https://groups.kadrith.example/orvelle");
inline const QString kWebsiteCaption = QStringLiteral("www.kadrith.example");

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

/// Opens the product's web page; a failure shows nothing.
void OpenProductPage();
/// Opens the community forum; a failure shows nothing.
void OpenForumPage();
