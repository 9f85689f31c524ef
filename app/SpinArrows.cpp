#include "SpinArrows.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

SpinArrows::SpinArrows(const QString& objectName, const QString& accessibleName, QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    setObjectName(objectName);
    setAccessibleName(accessibleName);
    setToolTip(accessibleName);
    setFocusPolicy(Qt::TabFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (auto [button, arrow, delta] :
         {std::tuple{m_up, Qt::UpArrow, -1}, std::tuple{m_down, Qt::DownArrow, 1}}) {
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(22, 16);
        layout->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, delta = delta] { emit deltaPos(delta); });
    }
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
}

void SpinArrows::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up)
        emit deltaPos(-1);
    else if (event->key() == Qt::Key_Down)
        emit deltaPos(1);
    else
        QWidget::keyPressEvent(event);
}
