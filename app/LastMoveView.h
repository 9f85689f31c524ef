#pragma once

#include "LiveScore.h"

#include <QWidget>

class QLabel;
class QToolButton;

/// The last move read from the pictures ("12... Nf6"), and when the pictures do not settle it a "?"
/// whose menu offers the other moves they could show. Hidden until there is a move, so that a game
/// without a camera looks as it always did.
class LastMoveView final : public QWidget {
    Q_OBJECT
public:
    explicit LastMoveView(QWidget* parent = nullptr);
    void Show(const LastMove& last);

signals:
    /// The user chose another move for a ply.
    void chosen(int game, int ply, const Move& move);

private:
    QLabel* m_move;
    QToolButton* m_mark;
};
