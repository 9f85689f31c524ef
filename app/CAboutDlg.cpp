#include "CAboutDlg.h"

#include "Identifiers.h"
#include "Texts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(ORVELLE_ID(IDD_ABOUTBOX));
    setWindowTitle(tr("About Orvelle"));

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    auto* version = new QLabel(tr("Orvelle Version 1.0"), this);
    auto* line = new QLabel(tr("A chess clock that photographs the board"), this);
    auto* licence = new QLabel(tr("Free software under the GNU General Public License, version 3 or later "
                                  "(GPL-3.0-or-later), without any warranty."),
                               this);
    licence->setObjectName(QStringLiteral("licence"));
    licence->setWordWrap(true);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(ORVELLE_ID(IDOK));
    ok->setDefault(true);
    auto* forum = new QPushButton(ManualCaption(), this);
    forum->setObjectName(ORVELLE_ID(IDC_FORUM_LINK));
    forum->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(line, 1, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->addWidget(licence, 2, 1, 1, 2);
    layout->addWidget(forum, 3, 1, 1, 2);
    layout->setColumnStretch(1, 1);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(forum, &QPushButton::clicked, this, &OpenForumPage);
}
