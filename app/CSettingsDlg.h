#pragma once

#include "Settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimeEdit;
class TimeControlEdit;

/// The settings dialog: the camera (one of those present, or a source address), the picture size and
/// folder, the clock times, the time control (only while the clocks wait) and the sound. OK writes the values
/// that changed to the settings file; an entry that cannot work (a folder that cannot be made or written, a
/// source that gives no picture, a file that cannot be written) is refused with its reason and the dialog
/// stays open.
class CSettingsDlg final : public QDialog {
    Q_OBJECT
public:
    CSettingsDlg(SettingsStore& store, const Settings& current, bool clocksWait = true,
                 QWidget* parent = nullptr);
    /// The settings as they are after OK.
    const Settings& Chosen() const { return m_chosen; }
    void accept() override;

private:
    Settings FromControls() const;
    /// Why the chosen settings cannot work, or an empty text.
    QString Refusal(const Settings& chosen) const;
    QString WriteChanged(const Settings& chosen);
    void OnTest();
    void OnChooseFolder();
    void ShowError(const QString& text);

    SettingsStore& m_store;
    Settings m_chosen;
    QComboBox* m_camera = nullptr;
    QLineEdit* m_source = nullptr;
    QLabel* m_testPicture = nullptr;
    QComboBox* m_size = nullptr;
    QLineEdit* m_dir = nullptr;
    QTimeEdit* m_leftTime = nullptr;
    QTimeEdit* m_rightTime = nullptr;
    TimeControlEdit* m_timeControl = nullptr;
    QCheckBox* m_sound = nullptr;
    QLabel* m_error = nullptr;
};
