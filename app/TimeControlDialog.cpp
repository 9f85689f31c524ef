#include "TimeControlDialog.h"

#include "Texts.h"
#include "TimeControl.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TimeControlDialog::TimeControlDialog(const QString& text, int delayType, QWidget* parent)
    : QDialog(parent), m_delayType(delayType), m_text(new QLineEdit(text, this)), m_verdict(new QLabel(this))
{
    setWindowTitle(kProductName);
    auto* prompt = new QLabel(
        QStringLiteral("Time control, in seconds: \"300\", \"180+2\", \"40/5400+30:1800+30\""), this);
    m_text->setObjectName(QStringLiteral("timeControlText"));
    m_verdict->setObjectName(QStringLiteral("timeControlVerdict"));
    m_verdict->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_text);
    layout->addWidget(m_verdict);
    layout->addWidget(buttons);
    connect(m_text, &QLineEdit::textChanged, this, &TimeControlDialog::Check);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Check();
}

QString TimeControlDialog::Text() const
{
    return m_text->text().trimmed();
}

void TimeControlDialog::Check()
{
    std::string error;
    const std::string text = Text().toStdString();
    const bool valid = ParseTimeControl(text, &error).has_value();
    m_verdict->setText(QString::fromStdString(
        valid ? DescribeTimeControl(MakeTimeControl(text, m_delayType, 0), 0, 0) : error));
    m_verdict->setStyleSheet(valid ? QString() : QStringLiteral("color: #b00020"));
    m_ok->setEnabled(valid);
}
