#include "GameDetailsDlg.h"

#include "Identifiers.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
/// The fields in their order on the dialog.
constexpr std::string GameDetails::*kFields[] = {&GameDetails::white, &GameDetails::black,
                                                 &GameDetails::event, &GameDetails::site,
                                                 &GameDetails::round, &GameDetails::board};
} // namespace

GameDetailsDlg::GameDetailsDlg(const GameDetails& details, QWidget* parent) : QDialog(parent)
{
    setObjectName(ORVELLE_ID(IDD_GAME_DETAILS));
    setWindowTitle(tr("Game details"));
    const QString labels[] = {tr("&White:"), tr("&Black:"), tr("&Event:"),
                              tr("&Site:"),  tr("&Round:"), tr("B&oard:")};
    const char* names[] = {"white", "black", "event", "site", "round", "board"};
    auto* form = new QFormLayout(this);
    for (size_t i = 0; i < m_fields.size(); ++i) {
        m_fields[i] = new QLineEdit(QString::fromStdString(details.*kFields[i]), this);
        m_fields[i]->setObjectName(QLatin1String(names[i]));
        m_fields[i]->setMinimumWidth(280);
        auto* label = new QLabel(labels[i], this);
        label->setBuddy(m_fields[i]);
        form->addRow(label, m_fields[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

GameDetails GameDetailsDlg::Chosen() const
{
    GameDetails details;
    for (size_t i = 0; i < m_fields.size(); ++i)
        details.*kFields[i] = m_fields[i]->text().trimmed().toStdString();
    return details;
}
