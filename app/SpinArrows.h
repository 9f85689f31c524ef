#pragma once

#include <QWidget>

class QToolButton;

/// An up-down control without a buddy: two arrow buttons (and the arrow keys when focused)
/// that report each step as a position delta, -1 for up and +1 for down.
class SpinArrows final : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(const QString& objectName, const QString& accessibleName, QWidget* parent = nullptr);

    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

signals:
    void deltaPos(int iDelta);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};
