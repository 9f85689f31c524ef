#pragma once

#include "Settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QFormLayout;
class QSpinBox;
class QTimeEdit;

/// The settings dialog: the camera (one of those present, or a source address), the picture size and
/// folder, the time control as players write it (only while the clocks wait) with the delay, the clock
/// times when no time control sets them, the sound, and the game on the network (the live server's port,
/// a lichess broadcast round and its token, which goes to a file of its own, never to the settings). OK
/// writes the values that changed to the settings file; an entry that cannot work (a folder that cannot be
/// made or written, a source that gives no picture, a port another program holds, a file that cannot be
/// written) is refused with its reason and the dialog stays open.
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
    /// A time control chosen in the list: "Other..." asks for one; the clock times show only without one.
    void OnControlChosen();
    /// The delay's seconds can be typed only for the times set with the arrows, with a delay chosen.
    void EnableDelay();
    /// Selects the control with this text, adding it to the list in words when it is none of its own.
    void SelectControl(const QString& text);
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
    QComboBox* m_control = nullptr;
    QComboBox* m_delayType = nullptr;
    QSpinBox* m_delay = nullptr;
    QString m_controlShown; // the control selected before "Other..."
    QFormLayout* m_form = nullptr;
    QCheckBox* m_sound = nullptr;
    QSpinBox* m_port = nullptr;
    QCheckBox* m_lan = nullptr;
    QLineEdit* m_pushUrl = nullptr;
    QLineEdit* m_token = nullptr;
    QString m_tokenFile;
    QLabel* m_error = nullptr;
};
