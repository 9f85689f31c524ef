#include "CSettingsDlg.h"

#include "Accessibility.h"
#include "BroadcastPusher.h"
#include "BroadcastToken.h"
#include "CameraList.h"
#include "Identifiers.h"
#include "PreviewWindow.h"
#include "Texts.h"
#include "TimeControl.h"
#include "TimeControlDialog.h"
#include "TimeControlMenu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryFile>
#include <QTimeEdit>
#include <QUrl>
#include <cerrno>
#include <filesystem>

namespace {
/// A clock time as mm:ss. Digits typed over the whole text (selected with Ctrl+A or the mouse) start at
/// the minutes, as in a field of their own: QTimeEdit would take the first digit for the whole time and
/// refuse it, so that "10:00" typed there was lost.
class ClockTimeEdit final : public QTimeEdit {
public:
    using QTimeEdit::QTimeEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->text().size() == 1 && event->text().front().isDigit() && lineEdit()->hasSelectedText() &&
            lineEdit()->selectedText() == lineEdit()->text())
            setSelectedSection(MinuteSection);
        QTimeEdit::keyPressEvent(event);
    }
};

QTimeEdit* ClockTime(const QString& id, double seconds, QWidget* parent)
{
    auto* edit = new ClockTimeEdit(QTime(0, 0).addSecs(static_cast<int>(seconds)), parent);
    edit->setObjectName(id);
    edit->setDisplayFormat(QStringLiteral("mm:ss"));
    edit->setTimeRange(QTime(0, 0, 1), QTime(0, 59, 59));
    return edit;
}

int Seconds(const QTimeEdit* edit)
{
    return QTime(0, 0).secsTo(edit->time());
}

/// The control in words, as players write it.
QString Words(const QString& text)
{
    return QString::fromStdString(DescribeTimeControl(MakeTimeControl(text.toStdString(), 0, 0)));
}

// The list's last entry, which asks for a control of the user's own.
const QString kOtherEntry = QStringLiteral("\x01other");
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

    // The time control as players write it; as in the menu, chosen for a game before it starts.
    m_control = new QComboBox(this);
    m_control->setObjectName(ORVELLE_ID(IDC_SETTINGS_TIME_CONTROL));
    for (const TimeControlPreset& p : TimeControlPresets())
        m_control->addItem(p.text[0] ? Words(QString::fromLatin1(p.text))
                                     : QCoreApplication::translate("TimeControlMenu", p.label),
                           QString::fromLatin1(p.text));
    m_control->addItem(QCoreApplication::translate("TimeControlMenu", "Other..."), kOtherEntry);
    SelectControl(current.m_strTimeControl);
    m_control->setEnabled(clocksWait);
    m_delayType = new QComboBox(this);
    m_delayType->setObjectName(ORVELLE_ID(IDC_SETTINGS_DELAY_TYPE));
    m_delayType->addItems({tr("None"), tr("Increment"), tr("Bronstein delay"), tr("Simple delay")});
    m_delayType->setCurrentIndex(current.m_nDelayType >= 0 && current.m_nDelayType <= 3 ? current.m_nDelayType
                                                                                        : 0);
    m_delayType->setEnabled(clocksWait);
    m_delay = new QSpinBox(this);
    m_delay->setObjectName(ORVELLE_ID(IDC_SETTINGS_DELAY));
    m_delay->setRange(0, int(kMaxDelaySeconds));
    m_delay->setSuffix(tr(" s"));
    m_delay->setValue(std::clamp(current.m_nDelayDelta, 0, int(kMaxDelaySeconds)));
    m_leftTime = ClockTime(ORVELLE_ID(IDC_SETTINGS_LEFT_TIME), current.m_fLeftPreset, this);
    m_rightTime = ClockTime(ORVELLE_ID(IDC_SETTINGS_RIGHT_TIME), current.m_fRightPreset, this);

    m_sound = new QCheckBox(tr("A &bell at 10 s left and when a clock runs out"), this);
    m_sound->setObjectName(ORVELLE_ID(IDC_SETTINGS_SOUND));
    m_sound->setChecked(current.m_bSound);

    // The game on the network: the live pages' port, and a broadcast round with its token.
    m_port = new QSpinBox(this);
    m_port->setObjectName(ORVELLE_ID(IDC_SETTINGS_PORT));
    m_port->setRange(0, 65535);
    m_port->setSpecialValueText(tr("Off"));
    m_port->setValue(current.m_nServePort);
    m_lan = new QCheckBox(tr("Also for other computers (a screen in another room)"), this);
    m_lan->setObjectName(ORVELLE_ID(IDC_SETTINGS_LAN));
    m_lan->setChecked(current.m_bServeLan);
    m_pushUrl = new QLineEdit(current.m_strBroadcastUrl, this);
    m_pushUrl->setObjectName(ORVELLE_ID(IDC_SETTINGS_BROADCAST));
    m_pushUrl->setPlaceholderText(QStringLiteral("https://lichess.org/api/broadcast/round/ROUNDID/push"));
    m_tokenFile = BroadcastTokenPath(store.FileName());
    m_token = new QLineEdit(this);
    m_token->setObjectName(ORVELLE_ID(IDC_SETTINGS_TOKEN));
    m_token->setEchoMode(QLineEdit::Password);
    m_token->setPlaceholderText(QFileInfo::exists(m_tokenFile) ? tr("kept; type a new one to replace it")
                                                               : tr("a token with the study:write scope"));

    // Room for two lines of reasons is kept, so that one showing up moves nothing.
    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("settingsError"));
    m_error->setTextFormat(Qt::PlainText); // its reasons name folders and addresses the user typed
    m_error->setWordWrap(true);
    m_error->setMinimumHeight(2 * fontMetrics().lineSpacing());
    m_error->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_error->setStyleSheet(QStringLiteral("color: ") + WarningColour(HasDarkGround(this)));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(m_source, 1);
    sourceRow->addWidget(test);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(m_dir, 1);
    dirRow->addWidget(choose);
    auto* liveRow = new QHBoxLayout;
    liveRow->addWidget(m_port);
    liveRow->addWidget(m_lan, 1);
    auto* delayRow = new QHBoxLayout;
    delayRow->addWidget(m_delayType, 1);
    delayRow->addWidget(m_delay);
    // Each label's Alt key takes the keyboard to its control.
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    m_form = new QFormLayout(this);
    m_form->addRow(label(tr("&Camera:"), m_camera), m_camera);
    m_form->addRow(label(tr("or &source:"), m_source), sourceRow);
    m_form->addRow(QString(), m_testPicture);
    m_form->addRow(label(tr("Picture si&ze:"), m_size), m_size);
    m_form->addRow(label(tr("Picture &folder:"), m_dir), dirRow);
    m_form->addRow(label(tr("&Time control:"), m_control), m_control);
    m_form->addRow(label(tr("&Delay:"), m_delayType), delayRow);
    m_form->addRow(label(tr("&Left clock:"), m_leftTime), m_leftTime);
    m_form->addRow(label(tr("&Right clock:"), m_rightTime), m_rightTime);
    m_form->addRow(tr("Sound:"), m_sound);
    m_form->addRow(label(tr("Live &pages, port:"), m_port), liveRow);
    m_form->addRow(label(tr("Broadcast rou&nd:"), m_pushUrl), m_pushUrl);
    m_form->addRow(label(tr("Broadcast to&ken:"), m_token), m_token);
    auto* when = new QLabel(tr("The sound applies at once; the clock times and the time control while the "
                               "clocks wait (now, or after the next Reset); a new camera, picture size or "
                               "folder from the next game."),
                            this);
    when->setObjectName(QStringLiteral("settingsWhen"));
    when->setWordWrap(true);
    m_form->addRow(when);
    m_form->addRow(m_error);
    m_form->addRow(buttons);

    connect(test, &QPushButton::clicked, this, &CSettingsDlg::OnTest);
    connect(choose, &QPushButton::clicked, this, &CSettingsDlg::OnChooseFolder);
    connect(m_control, &QComboBox::activated, this, &CSettingsDlg::OnControlChosen);
    connect(m_delayType, &QComboBox::currentIndexChanged, this, &CSettingsDlg::EnableDelay);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsDlg::reject);
    OnControlChosen();
}

void CSettingsDlg::SelectControl(const QString& text)
{
    int index = m_control->findData(text);
    if (index < 0) { // a control of the user's own, in words, before "Other..."
        index = m_control->count() - 1;
        m_control->insertItem(index, Words(text), text);
    }
    m_control->setCurrentIndex(index);
    m_controlShown = text;
}

void CSettingsDlg::OnControlChosen()
{
    if (m_control->currentData().toString() == kOtherEntry) {
        TimeControlDialog other(m_controlShown, m_delayType->currentIndex(), this);
        SelectControl(other.exec() == QDialog::Accepted ? other.Text() : m_controlShown);
    }
    m_controlShown = m_control->currentData().toString();
    // A control sets the clocks, and its "+N" the delay's seconds; the clock times are the arrows' own.
    const bool control = !m_controlShown.isEmpty();
    m_form->setRowVisible(m_leftTime, !control);
    m_form->setRowVisible(m_rightTime, !control);
    EnableDelay();
    if (control)
        m_delay->setValue(ChooseDelay(m_controlShown.toStdString(), 1, m_chosen.m_nDelayDelta)->delta);
    // The rows that came or went change the height the wrapped texts need: the dialog takes it, at its
    // width. (Before the first showing, the showing itself sizes it.)
    if (isVisible()) {
        m_form->activate();
        resize(width(), m_form->totalHeightForWidth(width()));
    }
}

void CSettingsDlg::EnableDelay()
{
    // A control's "+N" gives the seconds, and without a delay they mean nothing.
    m_delay->setEnabled(m_controlShown.isEmpty() && m_delayType->isEnabled() &&
                        m_delayType->currentIndex() != 0);
}

Settings CSettingsDlg::FromControls() const
{
    Settings s = m_chosen;
    s.m_nCamera = m_camera->currentData().toInt();
    s.m_strCamUrl = m_source->text().trimmed();
    s.m_nResolution = m_size->currentData().toInt();
    // A folder's name may begin or end in a blank; only a field of nothing but blanks is no folder.
    s.m_strDir = m_dir->text().trimmed().isEmpty() ? QString() : NormaliseDir(m_dir->text());
    if (m_controlShown.isEmpty()) { // shown only then
        s.m_fLeftPreset = Seconds(m_leftTime);
        s.m_fRightPreset = Seconds(m_rightTime);
    }
    s.m_bSound = m_sound->isChecked();
    s.m_nServePort = m_port->value();
    s.m_bServeLan = m_lan->isChecked();
    s.m_strBroadcastUrl = m_pushUrl->text().trimmed();
    // The time control with the delay that goes with it; the times set with the arrows take the delay as
    // chosen here.
    const QString control = m_controlShown;
    if (const std::optional<DelayChoice> delay =
            ChooseDelay(control.toStdString(), m_delayType->currentIndex(), m_delay->value())) {
        s.m_strTimeControl = control;
        s.m_nDelayType = control.isEmpty() ? m_delayType->currentIndex() : delay->type;
        s.m_nDelayDelta = delay->delta;
    }
    return s;
}

QString CSettingsDlg::Refusal(const Settings& chosen) const
{
    if (!chosen.m_strDir.isEmpty() && chosen.m_strDir != m_chosen.m_strDir) {
        // Why the folder will not do, in the user's words rather than the system's.
        std::error_code error;
        const std::filesystem::path folder(chosen.m_strDir.toStdU16String());
        std::filesystem::create_directories(folder, error);
        if (!error) {
            QTemporaryFile probe(chosen.m_strDir + QStringLiteral("orvelle-XXXXXX"));
            if (!probe.open())
                error = std::error_code(errno ? errno : EACCES, std::generic_category());
        }
        if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
            return tr("The folder %1 cannot be used: you have no permission to write there.")
                .arg(chosen.m_strDir);
        if (error == std::errc::read_only_file_system)
            return tr("The folder %1 cannot be used: it is on a read-only file system.").arg(chosen.m_strDir);
        if (error == std::errc::not_a_directory || error == std::errc::file_exists)
            return tr("The folder %1 cannot be used: part of it is a file, not a folder.")
                .arg(chosen.m_strDir);
        if (error)
            return tr("The folder %1 cannot be used: %2")
                .arg(chosen.m_strDir, QString::fromStdString(error.message()));
    }
    if (!chosen.m_strBroadcastUrl.isEmpty()) {
        if (const QString bad = BroadcastPusher::CheckAddress(QUrl(chosen.m_strBroadcastUrl)); !bad.isEmpty())
            return bad;
        if (m_token->text().trimmed().isEmpty() && !QFileInfo::exists(m_tokenFile))
            return tr(
                "A broadcast needs its token: create one with the study:write scope and paste it here.");
    }
    if (chosen.m_nServePort != 0 && chosen.m_nServePort != m_chosen.m_nServePort) {
        // Tried as the live pages will listen (a port the pages hold now is not tried again).
        QTcpServer probe;
        if (!probe.listen(chosen.m_bServeLan ? QHostAddress::Any : QHostAddress::LocalHost,
                          quint16(chosen.m_nServePort)))
            return probe.serverError() == QAbstractSocket::AddressInUseError
                       ? QCoreApplication::translate(
                             "LiveServer", "Port %1 is in use by another program: choose another port.")
                             .arg(chosen.m_nServePort)
                       : QCoreApplication::translate("LiveServer", "Cannot listen on port %1: %2")
                             .arg(QString::number(chosen.m_nServePort), probe.errorString());
    }
    if (chosen.m_strCamUrl.isEmpty() || chosen.m_strCamUrl == m_chosen.m_strCamUrl)
        return {};
    std::string why;
    if (GrabOneFrame(0, chosen.m_strCamUrl.toStdString(), &why).empty())
        return why.empty() ? tr("The source %1 gives no picture.").arg(chosen.m_strCamUrl)
                           : tr("The source %1 gives no picture: %2")
                                 .arg(chosen.m_strCamUrl, QString::fromStdString(why));
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
    if (chosen.m_strTimeControl != m_chosen.m_strTimeControl)
        changes.emplace_back(kTimeControlName, chosen.m_strTimeControl);
    if (chosen.m_nDelayType != m_chosen.m_nDelayType)
        changes.emplace_back("DELAY_TYPE", QString::number(chosen.m_nDelayType));
    if (chosen.m_nDelayDelta != m_chosen.m_nDelayDelta)
        changes.emplace_back("DELAY_DELTA", QString::number(chosen.m_nDelayDelta));
    if (chosen.m_bSound != m_chosen.m_bSound)
        changes.emplace_back(kSoundName, chosen.m_bSound ? QStringLiteral("1") : QString());
    if (chosen.m_nServePort != m_chosen.m_nServePort)
        changes.emplace_back(kServePortName,
                             chosen.m_nServePort ? QString::number(chosen.m_nServePort) : QString());
    if (chosen.m_bServeLan != m_chosen.m_bServeLan)
        changes.emplace_back(kServeLanName, chosen.m_bServeLan ? QStringLiteral("1") : QString());
    if (chosen.m_strBroadcastUrl != m_chosen.m_strBroadcastUrl)
        changes.emplace_back(kBroadcastUrlName, chosen.m_strBroadcastUrl);
    // The token goes to its own file, readable by the user alone, and never into the settings.
    if (const QByteArray token = m_token->text().trimmed().toUtf8(); !token.isEmpty())
        if (const QString error = WriteBroadcastToken(m_tokenFile, token); !error.isEmpty())
            return error;
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
    std::string why;
    const QImage picture =
        MatToQImage(GrabOneFrame(chosen.m_nCamera, chosen.m_strCamUrl.toStdString(), &why));
    if (picture.isNull()) {
        m_testPicture->hide();
        const QString source =
            chosen.m_strCamUrl.isEmpty() ? QString::number(chosen.m_nCamera) : chosen.m_strCamUrl;
        if (why.empty())
            ShowError(chosen.m_strCamUrl.isEmpty() ? tr("Camera %1 gives no picture.").arg(source)
                                                   : tr("The source %1 gives no picture.").arg(source));
        else
            ShowError((chosen.m_strCamUrl.isEmpty() ? tr("Camera %1 gives no picture: %2")
                                                    : tr("The source %1 gives no picture: %2"))
                          .arg(source, QString::fromStdString(why)));
        return;
    }
    m_error->clear();
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
}
