#pragma once

#include <QLocale>
#include <QString>

class QWidget;

/// The program's name, also the caption of its windows and message boxes.
inline const QString kProductName = QStringLiteral("Orvelle");
inline const QString kProductPageUrl = QStringLiteral("https://www.kadrith.example/orvelle");
inline const QString kForumUrl = QStringLiteral("https://groups.kadrith.example/orvelle");
inline const QString kWebsiteCaption = QStringLiteral("www.kadrith.example");

/// Installs the program's texts, and Qt's own, in the language of locale where there is a translation
/// (German; English is the source), for the widgets and for the Qt-free core. On the running application.
void LoadTranslations(const QLocale& locale = QLocale::system());

/// A modal message box captioned "Orvelle" with an OK button.
void ShowMessage(QWidget* parent, const QString& text);

/// Opens the product's web page; a failure shows nothing.
void OpenProductPage();
/// Opens the community forum; a failure shows nothing.
void OpenForumPage();
