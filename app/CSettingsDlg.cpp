#include "CSettingsDlg.h"

#include "Accessibility.h"
#include "CameraList.h"
#include "Identifiers.h"
#include "PreviewWindow.h"
#include "Texts.h"
#include "TimeControl.h"
#include "TimeControlEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTimeEdit>

namespace {
QTimeEdit* ClockTime(const QString& id, double seconds, QWidget* parent)
{
    auto* edit = new QTimeEdit(QTime(0, 0).addSecs(static_cast<int>(seconds)), parent);
    edit->setObjectName(id);
    edit->setDisplayFormat(QStringLiteral("mm:ss"));
    edit->setTimeRange(QTime(0, 0, 1), QTime(0, 59, 59));
    return edit;
}

int Seconds(const QTimeEdit* edit)
{
    return QTime(0, 0).secsTo(edit->time());
}
} // namespace

CSettingsDlg::CSettingsDlg(SettingsStore& store, const Settings& current, bool clocksWait, QWidget* parent)
    : QDialog(parent), m_store(store), m_chosen(current)
{
    setObjectName(ORVELLE_ID(IDD_SETTINGS));
    setWindowTitle(tr("Orvelle Settings"));

    m_camera = new QComboBox(this);
    m_camera->setObjectName(ORVELLE_ID(IDC_SETTINGS_CAMERA));
    for (const CameraDevice& camera : ListCameras())
        m_camera->addItem(tr("%1 (camera %2)").arg(QString::fromStdString(camera.name)).arg(camera.index),
                          camera.index);
    // The camera of the settings stays choosable when it is not plugged in now.
    if (m_camera->findData(current.m_nCamera) < 0)
        m_camera->addItem(tr("Camera %1 (not found now)").arg(current.m_nCamera), current.m_nCamera);
    m_camera->setCurrentIndex(m_camera->findData(current.m_nCamera));

    m_source = new QLineEdit(current.m_strCamUrl, this);
    m_source->setObjectName(ORVELLE_ID(IDC_SETTINGS_SOURCE));
    m_source->setPlaceholderText(tr("rtsp://..., a video file, or a pipeline ending in appsink"));
    m_source->setClearButtonEnabled(true);
    auto* test = new QPushButton(tr("Test"), this);
    test->setObjectName(ORVELLE_ID(IDC_SETTINGS_TEST));
    test->setAutoDefault(false);
    m_testPicture = new QLabel(this);
    m_testPicture->hide();

    m_size = new QComboBox(this);
    m_size->setObjectName(ORVELLE_ID(IDC_SETTINGS_SIZE));
    for (const Resolution& r : kResolutions)
        m_size->addItem(QStringLiteral("%1 x %2").arg(r.width).arg(r.height), r.packed);
    m_size->setCurrentIndex(std::max(0, m_size->findData(current.m_nResolution)));

    m_dir = new QLineEdit(current.m_strDir, this);
    m_dir->setObjectName(ORVELLE_ID(IDC_SETTINGS_DIR));
    auto* choose = new QPushButton(tr("Choose..."), this);
    choose->setObjectName(ORVELLE_ID(IDC_SETTINGS_CHOOSE_DIR));
    choose->setAutoDefault(false);

    m_leftTime = ClockTime(ORVELLE_ID(IDC_SETTINGS_LEFT_TIME), current.m_fLeftPreset, this);
    m_rightTime = ClockTime(ORVELLE_ID(IDC_SETTINGS_RIGHT_TIME), current.m_fRightPreset, this);

    m_timeControl = new TimeControlEdit(current.m_strTimeControl, current.m_nDelayType, true, this);
    m_timeControl->setObjectName(ORVELLE_ID(IDC_SETTINGS_TIME_CONTROL));
    // As in the menu: a time control is chosen for a game before it starts.
    m_timeControl->setEnabled(clocksWait);
    m_sound = new QCheckBox(tr("A &bell at 10 s left and when a clock runs out"), this);
    m_sound->setObjectName(ORVELLE_ID(IDC_SETTINGS_SOUND));
    m_sound->setChecked(current.m_bSound);

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("settingsError"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: ") + WarningColour(HasDarkGround(this)));
    m_error->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(m_source, 1);
    sourceRow->addWidget(test);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(m_dir, 1);
    dirRow->addWidget(choose);
    // Each label's Alt key takes the keyboard to its control.
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto* form = new QFormLayout(this);
    form->addRow(label(tr("&Camera:"), m_camera), m_camera);
    form->addRow(label(tr("or &source:"), m_source), sourceRow);
    form->addRow(QString(), m_testPicture);
    form->addRow(label(tr("Picture si&ze:"), m_size), m_size);
    form->addRow(label(tr("Picture &folder:"), m_dir), dirRow);
    form->addRow(label(tr("&Left clock:"), m_leftTime), m_leftTime);
    form->addRow(label(tr("&Right clock:"), m_rightTime), m_rightTime);
    form->addRow(label(tr("&Time control:"), m_timeControl->Field()), m_timeControl);
    form->addRow(tr("Sound:"), m_sound);
    auto* when = new QLabel(tr("The sound applies at once; the clock times and the time control while the "
                               "clocks wait (now, or after the next Reset); a new camera, picture size or "
                               "folder from the next game."),
                            this);
    when->setWordWrap(true);
    form->addRow(when);
    form->addRow(m_error);
    form->addRow(buttons);

    connect(test, &QPushButton::clicked, this, &CSettingsDlg::OnTest);
    connect(choose, &QPushButton::clicked, this, &CSettingsDlg::OnChooseFolder);
    connect(m_timeControl, &TimeControlEdit::validityChanged, buttons->button(QDialogButtonBox::Ok),
            &QPushButton::setEnabled);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsDlg::reject);
}

Settings CSettingsDlg::FromControls() const
{
    Settings s = m_chosen;
    s.m_nCamera = m_camera->currentData().toInt();
    s.m_strCamUrl = m_source->text().trimmed();
    s.m_nResolution = m_size->currentData().toInt();
    // A folder's name may begin or end in a blank; only a field of nothing but blanks is no folder.
    s.m_strDir = m_dir->text().trimmed().isEmpty() ? QString() : NormaliseDir(m_dir->text());
    s.m_fLeftPreset = Seconds(m_leftTime);
    s.m_fRightPreset = Seconds(m_rightTime);
    s.m_bSound = m_sound->isChecked();
    // The time control as the menu would choose it, with the delay that goes with it.
    if (const QString text = m_timeControl->Text(); text != m_chosen.m_strTimeControl) {
        if (const std::optional<DelayChoice> delay =
                ChooseDelay(text.toStdString(), m_chosen.m_nDelayType, m_chosen.m_nDelayDelta)) {
            s.m_strTimeControl = text;
            s.m_nDelayType = delay->type;
            s.m_nDelayDelta = delay->delta;
        }
    }
    return s;
}

QString CSettingsDlg::Refusal(const Settings& chosen) const
{
    if (!chosen.m_strDir.isEmpty() && chosen.m_strDir != m_chosen.m_strDir) {
        if (!QDir().mkpath(chosen.m_strDir))
            return tr("The folder %1 cannot be created.").arg(chosen.m_strDir);
        QTemporaryFile probe(chosen.m_strDir + QStringLiteral("orvelle-XXXXXX"));
        if (!probe.open())
            return tr("The folder %1 cannot be written: %2").arg(chosen.m_strDir, probe.errorString());
    }
    if (!chosen.m_strCamUrl.isEmpty() && chosen.m_strCamUrl != m_chosen.m_strCamUrl &&
        GrabOneFrame(0, chosen.m_strCamUrl.toStdString()).empty())
        return tr("The source %1 gives no picture.").arg(chosen.m_strCamUrl);
    return {};
}

QString CSettingsDlg::WriteChanged(const Settings& chosen)
{
    std::vector<std::pair<const char*, QString>> changes;
    if (chosen.m_nCamera != m_chosen.m_nCamera)
        changes.emplace_back("CAM_REF", QString::number(chosen.m_nCamera));
    if (chosen.m_strCamUrl != m_chosen.m_strCamUrl)
        changes.emplace_back(kCamUrlName, chosen.m_strCamUrl);
    if (chosen.m_nResolution != m_chosen.m_nResolution)
        changes.emplace_back(
            "RESOLUTION_REF",
            QString::number(ResolutionFromPacked(chosen.m_nResolution).value_or(kResolutions[1]).code));
    if (chosen.m_strDir != m_chosen.m_strDir)
        changes.emplace_back("DIR", chosen.m_strDir);
    if (chosen.m_fLeftPreset != m_chosen.m_fLeftPreset)
        changes.emplace_back("LTIME", QString::number(static_cast<int>(chosen.m_fLeftPreset)));
    if (chosen.m_fRightPreset != m_chosen.m_fRightPreset)
        changes.emplace_back("RTIME", QString::number(static_cast<int>(chosen.m_fRightPreset)));
    if (chosen.m_strTimeControl != m_chosen.m_strTimeControl) {
        changes.emplace_back(kTimeControlName, chosen.m_strTimeControl);
        changes.emplace_back("DELAY_TYPE", QString::number(chosen.m_nDelayType));
        changes.emplace_back("DELAY_DELTA", QString::number(chosen.m_nDelayDelta));
    }
    if (chosen.m_bSound != m_chosen.m_bSound)
        changes.emplace_back(kSoundName, chosen.m_bSound ? QStringLiteral("1") : QString());
    return m_store.WriteSettings(changes);
}

void CSettingsDlg::accept()
{
    const Settings chosen = FromControls();
    QString reason = Refusal(chosen);
    if (reason.isEmpty())
        reason = WriteChanged(chosen);
    if (!reason.isEmpty()) {
        ShowError(reason);
        return;
    }
    m_chosen = chosen;
    QDialog::accept();
}

void CSettingsDlg::OnTest()
{
    const Settings chosen = FromControls();
    const QImage picture = MatToQImage(GrabOneFrame(chosen.m_nCamera, chosen.m_strCamUrl.toStdString()));
    if (picture.isNull()) {
        m_testPicture->hide();
        ShowError(chosen.m_strCamUrl.isEmpty()
                      ? tr("Camera %1 gives no picture.").arg(chosen.m_nCamera)
                      : tr("The source %1 gives no picture.").arg(chosen.m_strCamUrl));
        return;
    }
    m_error->hide();
    m_testPicture->setPixmap(
        QPixmap::fromImage(picture.scaled(240, 180, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_testPicture->show();
}

void CSettingsDlg::OnChooseFolder()
{
    const QString dir = QFileDialog::getExistingDirectory(this, tr("Picture folder"), m_dir->text());
    if (!dir.isEmpty())
        m_dir->setText(NormaliseDir(dir));
}

void CSettingsDlg::ShowError(const QString& text)
{
    m_error->setText(text);
    m_error->show();
}
