#pragma once

#include "GameDetails.h"

#include <QDialog>
#include <array>

class QLineEdit;

/// "Game details": the players' names, the event, the site, the round and the board's number, before
/// or during a game. They go into the game score's tags and stay for the next game.
class GameDetailsDlg final : public QDialog {
    Q_OBJECT
public:
    GameDetailsDlg(const GameDetails& details, QWidget* parent = nullptr);
    GameDetails Chosen() const;

private:
    std::array<QLineEdit*, 6> m_fields{};
};
