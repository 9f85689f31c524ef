#pragma once

#include <QMenu>
#include <vector>

/// The usual time controls: the menu's label (translated by TimeControlMenu) and the PGN TimeControl text.
struct TimeControlPreset {
    const char* label;
    const char* text;
};
/// The presets, the times set with the arrows (an empty text) last.
const std::vector<TimeControlPreset>& TimeControlPresets();

/// "Time control": the usual controls, the times set with the arrows, and "Other..." for any control in
/// the PGN TimeControl syntax. A choice is for the next game, so the menu offers nothing while one runs.
class TimeControlMenu final : public QMenu {
    Q_OBJECT
public:
    explicit TimeControlMenu(QWidget* parent = nullptr);
    /// Before the menu shows: whether a choice is possible now, and the control in force (ticked).
    void Refresh(bool choosable, const QString& current);

signals:
    /// A control of the menu (empty: the times set with the arrows).
    void chosen(const QString& text);
    void otherChosen();
};
