#include "TimeControlDialog.h"

#include "Texts.h"
#include "TimeControlEdit.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TimeControlDialog::TimeControlDialog(const QString& text, int delayType, QWidget* parent)
    : QDialog(parent), m_edit(new TimeControlEdit(text, delayType, false, this))
{
    setWindowTitle(kProductName);
    auto* prompt =
        new QLabel(tr("Time control, in seconds: \"300\", \"180+2\", \"40/5400+30:1800+30\""), this);
    prompt->setBuddy(m_edit->Field());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(m_edit->IsValid());
    auto* layout = new QVBoxLayout(this);
    // The dialog takes the size its texts need, so that a long reason under the field is never cut off.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    prompt->setWordWrap(true);
    m_edit->Field()->setMinimumWidth(360);
    m_edit->Field()->selectAll(); // typing replaces the control in force
    layout->addWidget(prompt);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    connect(m_edit, &TimeControlEdit::validityChanged, ok, &QPushButton::setEnabled);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString TimeControlDialog::Text() const
{
    return m_edit->Text();
}
