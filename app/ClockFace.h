#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class SpinArrows;

/// One player's clock as the window shows it: the time in large digits, under it its flag or its
/// simple delay counting down, and the arrows that set its minutes and seconds. The digits grow with
/// the clock, to be read across a table.
class ClockFace final : public QWidget {
    Q_OBJECT
public:
    /// What the clock shows at one moment.
    struct Look {
        double time = 0;
        double preset = 0;
        bool inGame = false;  ///< a game runs (paused or not)
        bool active = false;  ///< this clock counts down now
        bool toMove = false;  ///< the game is paused with this side to move
        bool flagged = false; ///< it has run out in this game
        bool firstFlag = false;
        double delayLeft = 0; ///< its simple delay still to go
        bool tenths = false;  ///< tenths in its last ten seconds
        bool sound = false;   ///< the bell at ten seconds left and at the flag
    };

    ClockFace(bool left, const QFont& digitFont, QWidget* parent = nullptr);
    /// The digits' design font: Lucida Console where there is one, else the desktop's fixed font, 45 pt.
    static QFont DigitFont();

    QLineEdit* Digits() const { return m_digits; }
    SpinArrows* MinuteArrows() const { return m_minutes; }
    SpinArrows* SecondArrows() const { return m_seconds; }
    void EnableArrows(bool enabled);
    void Show(const Look& look);
    /// The player's name above the clock, with the colour they play; none when empty.
    void SetPlayer(const QString& name, bool white);
    /// A new game: the bell may ring again.
    void ClearBells() { m_warned = m_flagBell = false; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitDigits();

    const bool m_left;
    const QFont m_font; // the design font; the digits grow from it
    QLabel* m_player;
    QLineEdit* m_digits;
    QLabel* m_info;
    SpinArrows* m_minutes;
    SpinArrows* m_seconds;
    QString m_heard; // what assistive technology last heard of the clock
    bool m_warned = false;
    bool m_flagBell = false;
};
