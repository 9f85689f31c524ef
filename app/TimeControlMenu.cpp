#include "TimeControlMenu.h"

#include <QActionGroup>

const std::vector<TimeControlPreset>& TimeControlPresets()
{
    static const std::vector<TimeControlPreset> presets{
        {"1+0", "60"},
        {"2+1", "120+1"},
        {"3+0", "180"},
        {"3+2", "180+2"},
        {"5+0", "300"},
        {"5+3", "300+3"},
        {"10+0", "600"},
        {"10+5", "600+5"},
        {"15+10", "900+10"},
        {"25+10", "1500+10"},
        {"30+0", "1800"},
        {"90+30", "5400+30"},
        {QT_TRANSLATE_NOOP("TimeControlMenu", "FIDE classical: 40 moves in 90 min, then 30 min, +30 s"),
         "40/5400+30:1800+30"},
        {QT_TRANSLATE_NOOP("TimeControlMenu", "Times set with the arrows"), ""},
    };
    return presets;
}

TimeControlMenu::TimeControlMenu(QWidget* parent) : QMenu(tr("Time control"), parent)
{
    setObjectName(QStringLiteral("timeControlMenu"));
    auto* group = new QActionGroup(this);
    for (const TimeControlPreset& p : TimeControlPresets()) {
        const QString text = QString::fromLatin1(p.text);
        QAction* action = addAction(tr(p.label));
        action->setData(text);
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, text] { emit chosen(text); });
    }
    addSeparator();
    connect(addAction(tr("Other...")), &QAction::triggered, this, &TimeControlMenu::otherChosen);
}

void TimeControlMenu::Refresh(bool choosable, const QString& current)
{
    for (QAction* action : actions()) {
        action->setEnabled(choosable);
        if (action->isCheckable())
            action->setChecked(action->data().toString() == current);
    }
}
