#include "COrvelleDlg.h"

#include "CAboutDlg.h"
#include "CMakingDlg.h"
#include "CSettingsDlg.h"
#include "CSplashWnd.h"
#include "Camera.h"
#include "ClockEngine.h"
#include "ClockRules.h"
#include "ClockState.h"
#include "DialogBridge.h"
#include "Identifiers.h"
#include "InWindowShiftKeys.h"
#include "PictureWriter.h"
#include "PreviewWindow.h"
#include "SpinArrows.h"
#include "Texts.h"
#include "Ticker.h"

#include <QAction>
#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kDigitPointSize = 45;

QFont DigitFont()
{
    if (QFontDatabase::families().contains(QStringLiteral("Lucida Console")))
        return QFont(QStringLiteral("Lucida Console"), kDigitPointSize);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(kDigitPointSize);
    return font;
}
} // namespace

COrvelleDlg::COrvelleDlg(DialogSeams seams, QWidget* parent)
    : QDialog(parent), m_clock(std::make_shared<ClockState>())
{
    OnInitDialog(seams);
}

COrvelleDlg::~COrvelleDlg()
{
    OnDestroy();
}

void COrvelleDlg::CreateControls()
{
    setObjectName(ORVELLE_ID(IDD_ORVELLE_DIALOG));
    setWindowTitle(kProductName);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);

    m_instructions = new QLabel(QStringLiteral("Press shift keys to toggle timer. Black to initiate timer."), this);
    m_instructions->setWordWrap(true);
    m_instructions->setMinimumWidth(150);

    m_reset = new QPushButton(QStringLiteral("Reset"), this);
    m_reset->setObjectName(ORVELLE_ID(IDC_RESET));
    m_reset->setMinimumSize(64, 40);
    m_reset->setAutoDefault(false);

    m_takePictures = new QCheckBox(QStringLiteral("Take pictures"), this);
    m_takePictures->setObjectName(ORVELLE_ID(IDC_TAKE_PICTURES));
    m_makeVideo = new QPushButton(QStringLiteral("Make Video"), this);
    m_makeVideo->setObjectName(ORVELLE_ID(IDC_MAKE_VIDEO));
    m_makeVideo->setAutoDefault(false);

    auto makeClock = [this](const QString& name, const QString& accessible) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setAccessibleName(accessible);
        edit->setReadOnly(true);
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setFont(m_font);
        // The size comes from the design font, never from the grown one, or growing would feed itself.
        const QFontMetrics metrics(m_font);
        edit->setMinimumSize(metrics.horizontalAdvance(QStringLiteral("00:00")) + 12, metrics.height() + 8);
        edit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        return edit;
    };
    m_leftTime = makeClock(ORVELLE_ID(IDC_LEFT_TIME), QStringLiteral("Left clock"));
    m_rightTime = makeClock(ORVELLE_ID(IDC_RIGHT_TIME), QStringLiteral("Right clock"));

    m_leftMinSpin = new SpinArrows(ORVELLE_ID(IDC_LEFT_MIN_SPIN), QStringLiteral("Left clock minutes"), this);
    m_leftSecSpin = new SpinArrows(ORVELLE_ID(IDC_LEFT_SEC_SPIN), QStringLiteral("Left clock seconds"), this);
    m_rightMinSpin = new SpinArrows(ORVELLE_ID(IDC_RIGHT_MIN_SPIN), QStringLiteral("Right clock minutes"), this);
    m_rightSecSpin = new SpinArrows(ORVELLE_ID(IDC_RIGHT_SEC_SPIN), QStringLiteral("Right clock seconds"), this);

    m_website = new QPushButton(kWebsiteCaption, this);
    m_website->setObjectName(ORVELLE_ID(IDC_WEBSITE));
    m_website->setAutoDefault(false);

    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(m_takePictures);
    pictureColumn->addWidget(m_makeVideo);
    auto* top = new QHBoxLayout;
    top->addWidget(m_instructions, 3);
    top->addWidget(m_reset, 0, Qt::AlignTop);
    top->addSpacing(24);
    top->addLayout(pictureColumn, 2);

    // Each clock with its minute spinner under the minutes and its second spinner under the seconds.
    auto clockColumn = [](QLineEdit* clock, SpinArrows* minutes, SpinArrows* seconds) {
        auto* spins = new QHBoxLayout;
        spins->addStretch(1);
        spins->addWidget(minutes);
        spins->addStretch(3);
        spins->addWidget(seconds);
        spins->addStretch(1);
        auto* column = new QVBoxLayout;
        column->addWidget(clock, 1);
        column->addLayout(spins);
        return column;
    };
    auto* clocks = new QHBoxLayout;
    clocks->addLayout(clockColumn(m_leftTime, m_leftMinSpin, m_leftSecSpin), 1);
    clocks->addSpacing(16);
    clocks->addLayout(clockColumn(m_rightTime, m_rightMinSpin, m_rightSecSpin), 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_website);
    bottom->addStretch();

    // Pictures that could not be saved are reported here, without stopping the game.
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("pictureNotice"));
    m_notice->setWordWrap(true);
    m_notice->setStyleSheet(QStringLiteral("color: #b00020"));
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notice->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(clocks, 1);
    layout->addLayout(bottom);
    layout->addWidget(m_notice);

    m_preview = new PreviewWindow(this);
    connect(m_preview, &PreviewWindow::keyTyped, this, [this] { m_bridge->PreviewKeyTyped(); });

    // Window managers own the system menu here, so the About entry lives in the context menu and on F1.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    auto* about = new QAction(kAboutMenuText, this);
    about->setObjectName(ORVELLE_ID(IDM_ABOUTBOX));
    about->setShortcut(QKeySequence::HelpContents);
    auto* settings = new QAction(QStringLiteral("&Settings..."), this);
    settings->setObjectName(ORVELLE_ID(IDM_SETTINGS));
    settings->setShortcut(QKeySequence::Preferences);
    addAction(settings);
    addAction(separator);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(about, &QAction::triggered, this, &COrvelleDlg::OpenAboutBox);
    connect(settings, &QAction::triggered, this, &COrvelleDlg::OnSettings);
    connect(m_reset, &QPushButton::clicked, this, &COrvelleDlg::OnBnClickedReset);
    connect(m_leftMinSpin, &SpinArrows::deltaPos, this, &COrvelleDlg::OnDeltaposLeftMinSpin);
    connect(m_leftSecSpin, &SpinArrows::deltaPos, this, &COrvelleDlg::OnDeltaposLeftSecSpin);
    connect(m_rightMinSpin, &SpinArrows::deltaPos, this, &COrvelleDlg::OnDeltaposRightMinSpin);
    connect(m_rightSecSpin, &SpinArrows::deltaPos, this, &COrvelleDlg::OnDeltaposRightSecSpin);
    connect(m_website, &QPushButton::clicked, this, &OpenProductPage);
    connect(m_makeVideo, &QPushButton::clicked, this, &COrvelleDlg::OnBnClickedMakeVideo);
    connect(m_takePictures, &QCheckBox::toggled, this, [this](bool on) { m_bridge->SetTakePictures(on); });
}

void COrvelleDlg::OnInitDialog(DialogSeams& seams)
{
    setWindowIcon(QIcon(QStringLiteral(":/orvelle/icon.png")));
    m_store = seams.store ? seams.store : std::make_shared<SettingsStore>();
    m_store->CreateDefaultSettings();

    m_font = DigitFont();
    m_bridge = std::make_shared<DialogBridge>(this, m_clock);
    CreateControls();
    m_makeVideo->setEnabled(false);

    // ClockState starts armed, left side first, all times 60 s, counters 0.
    if (!m_store->LoadSettings(m_settings))
        ShowMessage(this, QStringLiteral("Error! Cannot find settings."));
    m_clock->m_fLeftPreset = m_settings.m_fLeftPreset;
    m_clock->m_fRightPreset = m_settings.m_fRightPreset;
    m_clock->m_fLeftTime = m_clock->m_fLeftPreset.load();
    m_clock->m_fRightTime = m_clock->m_fRightPreset.load();
    UpdateTimeDisplay();

    // The splash comes with the first showing of the window, centred over it.
    m_keys = seams.keys ? seams.keys : MakeShiftKeys();
    auto engine = std::make_shared<ClockEngine>(m_clock, m_keys,
                                                seams.ticker ? seams.ticker : std::make_shared<SteadyTicker>(),
                                                m_bridge, seams.camera ? seams.camera : MakeCamera());
    auto ended = std::make_shared<std::promise<void>>();
    m_threadEnded = ended->get_future();
    m_clock->m_bThreadRun = true;
    m_hThread = std::thread([engine, ended] {
        ClockThreadProc(*engine);
        ended->set_value();
    });
}

std::shared_ptr<EngineCamera> COrvelleDlg::MakeCamera()
{
    const Resolution size = ResolutionFromPacked(m_settings.m_nResolution).value_or(kResolutions[1]);
    CameraConfig config;
    config.index = m_settings.m_nCamera;
    config.source = m_settings.m_strCamUrl.toStdString();
    config.width = size.width;
    config.height = size.height;
    config.folderUtf8 = m_settings.m_strDir.toStdString();
    std::weak_ptr<DialogBridge> bridge = m_bridge;
    m_writer = std::make_shared<PictureWriter>([bridge](const std::filesystem::path& path, const std::string& error) {
        if (auto b = bridge.lock())
            b->ReportPicture(path, error);
    });
    return std::make_shared<Camera>(config, m_bridge, m_writer);
}

void COrvelleDlg::ShowPreview()
{
    // Beside the clocks rather than over them; a window manager may still place it elsewhere.
    m_preview->move(frameGeometry().topRight() + QPoint(16, 0));
    m_preview->show();
}

void COrvelleDlg::WaitForPictures()
{
    if (m_writer)
        m_writer->WaitUntilWritten();
}

void COrvelleDlg::ShowPictureNotice(const QString& file, const QString& reason)
{
    m_notice->setText(QStringLiteral("Could not save the picture %1: %2").arg(file, reason));
    m_notice->show();
}

void COrvelleDlg::OnDestroy()
{
    if (!m_hThread.joinable())
        return;
    m_clock->m_bThreadRun = false;
    m_bridge->Detach();
    // A worker that outlives the wait owns all it uses and can no longer reach this window.
    if (m_threadEnded.wait_for(std::chrono::milliseconds(1000)) == std::future_status::ready)
        m_hThread.join();
    else
        m_hThread.detach();
}

void COrvelleDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_splashShown) {
        m_splashShown = true;
        CSplashWnd::EnableSplashScreen(true);
        CSplashWnd::ShowSplashScreen(this);
    }
}

void COrvelleDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FitDigits();
}

void COrvelleDlg::FitDigits()
{
    // Never below the design size; beyond it the digits grow with the window (maximised across a table).
    const QFontMetricsF metrics(m_font);
    const QString sample = QStringLiteral("00:00");
    const double scale = std::min(m_leftTime->width() / (metrics.horizontalAdvance(sample) + 12),
                                  m_leftTime->height() / metrics.height());
    QFont font = m_font;
    font.setPointSizeF(std::max<double>(kDigitPointSize, m_font.pointSizeF() * scale * 0.95));
    m_leftTime->setFont(font);
    m_rightTime->setFont(font);
}

void COrvelleDlg::UpdateTimeDisplay()
{
    // Called a hundred times a second in a game; only a changed text is worth a repaint.
    for (auto [edit, time] : {std::pair{m_leftTime, m_clock->m_fLeftTime.load()},
                              std::pair{m_rightTime, m_clock->m_fRightTime.load()}}) {
        const QString text = QString::fromStdString(FormatClockText(time));
        if (edit->text() != text)
            edit->setText(text);
    }
}

void COrvelleDlg::OnSettings()
{
    CSettingsDlg dialog(*m_store, m_settings, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The times are the presets at once, and the clocks' times too while they wait; the camera, its size and
    // the folder stay as the camera was made with them until the next start.
    m_settings.m_fLeftPreset = dialog.Chosen().m_fLeftPreset;
    m_settings.m_fRightPreset = dialog.Chosen().m_fRightPreset;
    {
        std::lock_guard lock(m_clock->m_stepMutex);
        m_clock->m_fLeftPreset = m_settings.m_fLeftPreset;
        m_clock->m_fRightPreset = m_settings.m_fRightPreset;
        if (m_clock->m_bArmed) {
            m_clock->m_fLeftTime = m_settings.m_fLeftPreset;
            m_clock->m_fRightTime = m_settings.m_fRightPreset;
        }
    }
    UpdateTimeDisplay();
}

void COrvelleDlg::OnBnClickedReset()
{
    ResetClocks(*m_clock);
    UpdateTimeDisplay();
    if (m_takePictures->isChecked())
        m_makeVideo->setEnabled(true);
    for (SpinArrows* spin : {m_leftMinSpin, m_leftSecSpin, m_rightMinSpin, m_rightSecSpin})
        spin->setEnabled(true);
}

void COrvelleDlg::DisableForGame()
{
    m_takePictures->setEnabled(false);
    // A Reset handled before this call arrived has already ended the game; its enabling stands.
    if (m_clock->m_bArmed)
        return;
    m_makeVideo->setEnabled(false);
    for (SpinArrows* spin : {m_leftMinSpin, m_leftSecSpin, m_rightMinSpin, m_rightSecSpin})
        spin->setEnabled(false);
}

void COrvelleDlg::ShowNoCameraMessage()
{
    const QPointer<COrvelleDlg> self(this);
    ShowMessage(this, QStringLiteral("Could not find camera! Please plug a camera in and try again."));
    if (self) // the window may have gone while the message was up
        m_takePictures->setChecked(false);
}

void COrvelleDlg::OnDeltaposLeftMinSpin(int iDelta)
{
    SpinClock(m_clock->m_fLeftTime, m_clock->m_fLeftPreset, iDelta, 60);
    UpdateTimeDisplay();
}

void COrvelleDlg::OnDeltaposLeftSecSpin(int iDelta)
{
    SpinClock(m_clock->m_fLeftTime, m_clock->m_fLeftPreset, iDelta, 1);
    UpdateTimeDisplay();
}

void COrvelleDlg::OnDeltaposRightMinSpin(int iDelta)
{
    SpinClock(m_clock->m_fRightTime, m_clock->m_fRightPreset, iDelta, 60);
    UpdateTimeDisplay();
}

void COrvelleDlg::OnDeltaposRightSecSpin(int iDelta)
{
    SpinClock(m_clock->m_fRightTime, m_clock->m_fRightPreset, iDelta, 1);
    UpdateTimeDisplay();
}

void COrvelleDlg::OnBnClickedMakeVideo()
{
    if (!m_takePictures->isChecked())
        return;
    if (!m_clock->m_bArmed) {
        ShowMessage(this, QStringLiteral("Click reset first, then Make Video"));
        return;
    }
    WaitForPictures(); // the last pictures of the game may still be on their way to the disk
    CMakingDlg making(this);
    making.m_strDir = m_settings.m_strDir;
    making.m_dFps = 2.0;
    making.m_nGame = m_clock->m_nGame;
    making.m_nPlies = m_clock->m_nLastGamePlies;
    making.exec();
}

void COrvelleDlg::OpenAboutBox()
{
    CAboutDlg about(this);
    about.exec();
}
