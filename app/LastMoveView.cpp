#include "LastMoveView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

LastMoveView::LastMoveView(QWidget* parent)
    : QWidget(parent), m_move(new QLabel(this)), m_mark(new QToolButton(this))
{
    m_move->setObjectName(QStringLiteral("lastMove"));
    m_move->setTextFormat(Qt::PlainText);
    QFont font = m_move->font();
    font.setPointSize(14);
    font.setBold(true);
    m_move->setFont(font);
    m_mark->setObjectName(QStringLiteral("moveMark"));
    m_mark->setText(QStringLiteral("?"));
    m_mark->setToolTip(tr("The pictures do not settle this move: click to choose another"));
    m_mark->setPopupMode(QToolButton::InstantPopup);
    m_mark->setMenu(new QMenu(m_mark));
    m_mark->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_move);
    layout->addWidget(m_mark);
    Show({});
}

void LastMoveView::Show(const LastMove& last)
{
    m_move->setText(last.text);
    setVisible(!last.text.isEmpty());
    m_mark->setVisible(last.uncertain);
    QMenu* menu = m_mark->menu();
    menu->clear();
    for (const auto& [text, move] : last.others)
        connect(menu->addAction(text), &QAction::triggered, this,
                [this, game = last.game, ply = last.ply, move = move] { emit chosen(game, ply, move); });
}
