#include "ClockFace.h"

#include "Accessibility.h"
#include "ClockRules.h"
#include "Identifiers.h"
#include "SpinArrows.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cmath>

namespace {
// Room for the running side's frame on both sides of the digits.
constexpr int kFrameRoom = 28;
} // namespace

ClockFace::ClockFace(bool left, const QFont& digitFont, QWidget* parent)
    : QWidget(parent), m_left(left), m_font(digitFont), m_player(new QLabel(this)),
      m_digits(new QLineEdit(this)), m_info(new QLabel(this))
{
    m_player->setObjectName(left ? QStringLiteral("leftPlayer") : QStringLiteral("rightPlayer"));
    m_player->setAlignment(Qt::AlignCenter);
    m_player->setTextFormat(Qt::PlainText); // a name is what was typed, not markup
    QFont playerFont = m_player->font();
    playerFont.setPointSize(20);
    playerFont.setBold(true);
    m_player->setFont(playerFont);
    m_player->hide();
    m_digits->setObjectName(left ? ORVELLE_ID(IDC_LEFT_TIME) : ORVELLE_ID(IDC_RIGHT_TIME));
    m_digits->setAccessibleName(left ? tr("Left clock") : tr("Right clock"));
    m_digits->setReadOnly(true);
    m_digits->setFrame(false);
    m_digits->setAlignment(Qt::AlignCenter);
    m_digits->setFocusPolicy(Qt::NoFocus);
    // A right-click on the digits opens the window's menu, not a text field's "Copy".
    m_digits->setContextMenuPolicy(Qt::NoContextMenu);
    m_digits->setFont(m_font);
    QuietTextChanges(m_digits);
    // The size comes from the design font, never from the grown one, or growing would feed itself.
    const QFontMetrics metrics(m_font);
    m_digits->setMinimumSize(metrics.horizontalAdvance(QStringLiteral("00:00")) + kFrameRoom,
                             metrics.height() + 8);
    m_digits->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);

    m_info->setObjectName(left ? QStringLiteral("leftInfo") : QStringLiteral("rightInfo"));
    m_info->setAlignment(Qt::AlignCenter);
    m_info->setTextFormat(Qt::PlainText);
    QFont font = m_info->font();
    font.setPointSize(16);
    font.setBold(true);
    m_info->setFont(font);
    m_info->setStyleSheet(QStringLiteral("color: ") + WarningColour(HasDarkGround(this)));
    // The notices are heard by their texts; their descriptions say what they are about.
    m_info->setAccessibleDescription(m_digits->accessibleName());

    m_minutes = new SpinArrows(left ? ORVELLE_ID(IDC_LEFT_MIN_SPIN) : ORVELLE_ID(IDC_RIGHT_MIN_SPIN),
                               left ? tr("Left clock minutes") : tr("Right clock minutes"), this);
    m_seconds = new SpinArrows(left ? ORVELLE_ID(IDC_LEFT_SEC_SPIN) : ORVELLE_ID(IDC_RIGHT_SEC_SPIN),
                               left ? tr("Left clock seconds") : tr("Right clock seconds"), this);
    // The minute arrows under the minutes, the second arrows under the seconds.
    auto* arrows = new QHBoxLayout;
    arrows->addStretch(1);
    arrows->addWidget(m_minutes);
    arrows->addStretch(3);
    arrows->addWidget(m_seconds);
    arrows->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_player);
    column->addWidget(m_digits, 1);
    column->addWidget(m_info);
    column->addLayout(arrows);
}

QFont ClockFace::DigitFont()
{
    constexpr int kDigitPointSize = 45;
    if (QFontDatabase::families().contains(QStringLiteral("Lucida Console")))
        return QFont(QStringLiteral("Lucida Console"), kDigitPointSize);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(kDigitPointSize);
    return font;
}

void ClockFace::EnableArrows(bool enabled)
{
    m_minutes->setEnabled(enabled);
    m_seconds->setEnabled(enabled);
}

void ClockFace::SetPlayer(const QString& name, bool white)
{
    // The king of the player's colour: seen from across the table, whatever the language.
    m_player->setText(
        name.isEmpty() ? QString() : (white ? QStringLiteral("\u2654 ") : QStringLiteral("\u265A ")) + name);
    m_player->setVisible(!name.isEmpty());
}

void ClockFace::Show(const Look& look)
{
    const bool flagged = look.inGame && look.flagged;
    const QString time = QString::fromStdString(
        look.inGame && look.tenths ? FormatClockTextWithTenths(look.time) : FormatClockText(look.time));
    // A fallen flag as a symbol as large as the digits, beside the time that goes on below zero.
    const QString text = flagged ? QStringLiteral("\u2691 ") + time : time;
    if (m_digits->text() != text) {
        const bool refit = m_digits->text().size() != text.size();
        m_digits->setText(text);
        if (refit)
            FitDigits();
    }

    // What assistive technology hears: the clock's time at a press, a pause, a reset, a flag or a change
    // of the set times, and once a minute while it runs, never every second.
    const QString heard = look.active ? QString::number(std::floor(look.time / 60)) : text;
    if (heard != m_heard) {
        m_heard = heard;
        Rename(
            m_digits,
            flagged
                ? (m_left ? tr("Left clock, out of time, %1") : tr("Right clock, out of time, %1")).arg(time)
                : (m_left ? tr("Left clock, %1") : tr("Right clock, %1")).arg(time));
    }

    QString style;
    // The running clock's ground is light in any theme, so its digits are dark on it.
    const bool darkGround = !look.active && !look.toMove && HasDarkGround(m_digits);
    if (look.active) // seen from across the room: a broad frame and a warm ground
        style += QStringLiteral("background: #fff0a0; border: 8px solid #e09000; border-radius: 10px;");
    else if (look.toMove) // paused: the same frame, dashed, on a paler ground
        style += QStringLiteral("background: #fff8d8; border: 8px dashed #e09000; border-radius: 10px;");
    if (flagged)
        style += QStringLiteral("color: %1;").arg(WarningColour(darkGround));
    else if (look.inGame && IsLowTime(look.time, look.preset))
        style += QStringLiteral("color: %1;").arg(LowTimeColour(darkGround));
    else if (look.active || look.toMove)
        style += QStringLiteral("color: black;");
    if (m_digits->styleSheet() != style)
        m_digits->setStyleSheet(style);

    QString info;
    if (flagged)
        info = look.firstFlag ? tr("\u2691 Out of time first") : tr("\u2691 Out of time");
    else if (look.active && look.delayLeft > 0.0)
        info = tr("Delay %1 s").arg(look.delayLeft, 0, 'f', 1);
    // A delay counting down in tenths is heard once, by a name of its own; a flag by its text.
    const QString infoName = info.isEmpty() || look.flagged ? QString() : tr("Delay");
    if (m_info->accessibleName() != infoName)
        Rename(m_info, infoName);
    if (m_info->text() != info)
        m_info->setText(info);

    // The bell, when asked for: once at 10 s left, once at the flag. It never waits.
    if (look.inGame && look.sound && look.active &&
        ((look.time <= 10.0 && !std::exchange(m_warned, true)) ||
         (look.flagged && !std::exchange(m_flagBell, true))))
        QApplication::beep();
}

void ClockFace::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitDigits();
}

void ClockFace::FitDigits()
{
    // Never below the design size for "00:00"; beyond it the digits grow with the window (maximised
    // across a table). A longer text (tenths, three-digit minutes) gets digits small enough to fit.
    const int digits = std::max<int>(5, m_digits->text().size());
    const QFontMetricsF metrics(m_font);
    const double scale =
        std::min(m_digits->width() / (metrics.horizontalAdvance(QString(digits, u'0')) + kFrameRoom),
                 m_digits->height() / metrics.height());
    QFont font = m_font;
    font.setPointSizeF(std::max(m_font.pointSizeF() * 5.0 / digits, m_font.pointSizeF() * scale * 0.95));
    m_digits->setFont(font);
}
