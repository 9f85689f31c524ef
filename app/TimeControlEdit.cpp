#include "TimeControlEdit.h"

#include "Accessibility.h"
#include "TimeControl.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TimeControlEdit::TimeControlEdit(const QString& text, int delayType, bool emptyAllowed, QWidget* parent)
    : QWidget(parent), m_delayType(delayType), m_emptyAllowed(emptyAllowed),
      m_text(new QLineEdit(text, this)), m_verdict(new QLabel(this))
{
    m_text->setObjectName(QStringLiteral("timeControlText"));
    m_verdict->setObjectName(QStringLiteral("timeControlVerdict"));
    m_verdict->setTextFormat(Qt::PlainText);
    m_verdict->setWordWrap(true);
    if (emptyAllowed)
        m_text->setPlaceholderText(tr("Times set with the arrows"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    layout->addWidget(m_verdict);
    connect(m_text, &QLineEdit::textChanged, this, &TimeControlEdit::Check);
    Check();
}

QString TimeControlEdit::Text() const
{
    return m_text->text().trimmed();
}

void TimeControlEdit::Check()
{
    std::string error;
    const std::string text = Text().toStdString();
    const bool valid = (m_emptyAllowed && text.empty()) || ParseTimeControl(text, &error).has_value();
    QString verdict;
    if (!valid)
        verdict = QString::fromStdString(error);
    else if (!text.empty())
        verdict = QString::fromStdString(DescribeTimeControl(MakeTimeControl(text, m_delayType, 0)));
    m_verdict->setText(verdict);
    m_verdict->setStyleSheet(valid ? QString()
                                   : QStringLiteral("color: ") + WarningColour(HasDarkGround(this)));
    if (valid != m_valid)
        emit validityChanged(m_valid = valid);
}
