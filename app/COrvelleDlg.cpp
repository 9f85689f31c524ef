#include "COrvelleDlg.h"

#include "Accessibility.h"
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
#include "LiveScore.h"
#include "PictureWriter.h"
#include "PreviewWindow.h"
#include "ScoreSheet.h"
#include "ScreenAwake.h"
#include "SpinArrows.h"
#include "Texts.h"
#include "Ticker.h"
#include "TimeControl.h"
#include "TimeControlDialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>

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

    m_instructions = new QLabel(tr("Press shift keys to toggle timer. Black to initiate timer."), this);
    m_instructions->setWordWrap(true);
    m_instructions->setMinimumWidth(150);

    m_reset = new QPushButton(tr("Reset"), this);
    m_reset->setObjectName(ORVELLE_ID(IDC_RESET));
    m_reset->setMinimumSize(64, 40);
    m_reset->setAutoDefault(false);

    m_takePictures = new QCheckBox(tr("Take pictures"), this);
    m_takePictures->setObjectName(ORVELLE_ID(IDC_TAKE_PICTURES));
    m_makeVideo = new QPushButton(tr("Make Video"), this);
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
        QuietTextChanges(edit);
        // The size comes from the design font, never from the grown one, or growing would feed itself.
        const QFontMetrics metrics(m_font);
        // The width leaves room for the running side's frame on both sides, as FitDigits does.
        edit->setMinimumSize(metrics.horizontalAdvance(QStringLiteral("00:00")) + 28, metrics.height() + 8);
        edit->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        return edit;
    };
    m_leftTime = makeClock(ORVELLE_ID(IDC_LEFT_TIME), tr("Left clock"));
    m_rightTime = makeClock(ORVELLE_ID(IDC_RIGHT_TIME), tr("Right clock"));

    m_leftMinSpin = new SpinArrows(ORVELLE_ID(IDC_LEFT_MIN_SPIN), tr("Left clock minutes"), this);
    m_leftSecSpin = new SpinArrows(ORVELLE_ID(IDC_LEFT_SEC_SPIN), tr("Left clock seconds"), this);
    m_rightMinSpin = new SpinArrows(ORVELLE_ID(IDC_RIGHT_MIN_SPIN), tr("Right clock minutes"), this);
    m_rightSecSpin = new SpinArrows(ORVELLE_ID(IDC_RIGHT_SEC_SPIN), tr("Right clock seconds"), this);

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
    auto makeInfo = [this](const QString& name) {
        auto* label = new QLabel(this);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignCenter);
        QFont font = label->font();
        font.setPointSize(16);
        font.setBold(true);
        label->setFont(font);
        label->setStyleSheet(QStringLiteral("color: ") + WarningColour(HasDarkGround(this)));
        return label;
    };
    m_leftInfo = makeInfo(QStringLiteral("leftInfo"));
    m_rightInfo = makeInfo(QStringLiteral("rightInfo"));
    // The notices are heard by their texts; their descriptions say what they are about.
    m_leftInfo->setAccessibleDescription(tr("Left clock"));
    m_rightInfo->setAccessibleDescription(tr("Right clock"));
    auto clockColumn = [](QLineEdit* clock, QLabel* info, SpinArrows* minutes, SpinArrows* seconds) {
        auto* spins = new QHBoxLayout;
        spins->addStretch(1);
        spins->addWidget(minutes);
        spins->addStretch(3);
        spins->addWidget(seconds);
        spins->addStretch(1);
        auto* column = new QVBoxLayout;
        column->addWidget(clock, 1);
        column->addWidget(info);
        column->addLayout(spins);
        return column;
    };
    auto* clocks = new QHBoxLayout;
    clocks->addLayout(clockColumn(m_leftTime, m_leftInfo, m_leftMinSpin, m_leftSecSpin), 1);
    clocks->addSpacing(16);
    clocks->addLayout(clockColumn(m_rightTime, m_rightInfo, m_rightMinSpin, m_rightSecSpin), 1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setAccessibleDescription(tr("The game"));
    m_status->setAlignment(Qt::AlignCenter);
    QFont statusFont = m_status->font();
    statusFont.setPointSize(18);
    statusFont.setBold(true);
    m_status->setFont(statusFont);
    m_controlText = new QLabel(this);
    m_controlText->setObjectName(QStringLiteral("timeControl"));
    m_controlText->setAccessibleDescription(tr("Time control"));

    // The last move read from the pictures; hidden until there is one, so that a game without a camera
    // looks as it always did.
    m_lastMove = new QLabel(this);
    m_lastMove->setObjectName(QStringLiteral("lastMove"));
    QFont moveFont = m_lastMove->font();
    moveFont.setPointSize(14);
    moveFont.setBold(true);
    m_lastMove->setFont(moveFont);
    m_lastMove->hide();
    m_moveMark = new QToolButton(this);
    m_moveMark->setObjectName(QStringLiteral("moveMark"));
    m_moveMark->setText(QStringLiteral("?"));
    m_moveMark->setToolTip(tr("The pictures do not settle this move: click to choose another"));
    m_moveMark->setPopupMode(QToolButton::InstantPopup);
    m_moveMark->setMenu(new QMenu(m_moveMark));
    m_moveMark->setFocusPolicy(Qt::NoFocus);
    m_moveMark->hide();

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_controlText, 1);
    bottom->addWidget(m_website);
    bottom->addStretch(1);
    bottom->addWidget(m_lastMove);
    bottom->addWidget(m_moveMark);

    // Pictures that could not be saved are reported here, without stopping the game.
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("pictureNotice"));
    m_notice->setAccessibleDescription(tr("Notice"));
    m_notice->setWordWrap(true);
    m_notice->setStyleSheet(QStringLiteral("color: ") + WarningColour(HasDarkGround(this)));
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notice->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(clocks, 1);
    layout->addWidget(m_status);
    layout->addLayout(bottom);
    layout->addWidget(m_notice);

    m_preview = new PreviewWindow(this);
    connect(m_preview, &PreviewWindow::keyTyped, this, [this] { m_bridge->PreviewKeyTyped(); });

    // Window managers own the system menu here, so the About entry lives in the context menu and on F1,
    // after a separator as the last entries, as in a system menu. The leading separator is not drawn.
    auto* leading = new QAction(this);
    leading->setSeparator(true);
    addAction(leading);
    CreateTimeControlMenu();
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    auto* about = new QAction(tr("&About Orvelle..."), this);
    about->setObjectName(ORVELLE_ID(IDM_ABOUTBOX));
    about->setShortcut(QKeySequence::HelpContents);
    auto* settings = new QAction(tr("&Settings..."), this);
    settings->setObjectName(ORVELLE_ID(IDM_SETTINGS));
    settings->setShortcut(QKeySequence::Preferences);
    addAction(settings);
    auto* board = new QAction(tr("&Board..."), this);
    board->setObjectName(QStringLiteral("boardAction"));
    addAction(board);
    m_preview->addAction(board);
    m_preview->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(board, &QAction::triggered, this, &COrvelleDlg::OnBoard);
    connect(m_preview, &PreviewWindow::boardCornersPicked, this, &COrvelleDlg::OnBoardPicked);
    addAction(separator);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    // The Menu key opens the menu by itself; Shift+F10 is the other convention (its Shift is a clock press).
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this), &QShortcut::activated, this, [this] {
        const QWidget* at = focusWidget() ? focusWidget() : this;
        const QPoint global = at->mapToGlobal(at->rect().center());
        QContextMenuEvent event(QContextMenuEvent::Keyboard, mapFromGlobal(global), global);
        QCoreApplication::sendEvent(this, &event);
    });

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

void COrvelleDlg::CreateTimeControlMenu()
{
    struct Preset {
        const char* label;
        const char* text;
    };
    static constexpr Preset kPresets[] = {
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
        {QT_TR_NOOP("FIDE classical: 40 moves / 90 min, then 30 min, + 30 s"), "40/5400+30:1800+30"},
        {QT_TR_NOOP("Times set with the arrows"), ""},
    };
    m_controlMenu = new QMenu(tr("Time control"), this);
    m_controlMenu->setObjectName(QStringLiteral("timeControlMenu"));
    auto* group = new QActionGroup(m_controlMenu);
    for (const Preset& p : kPresets) {
        const QString text = QString::fromLatin1(p.text);
        QAction* action = m_controlMenu->addAction(tr(p.label));
        action->setData(text);
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, text] { ChooseTimeControl(text); });
    }
    m_controlMenu->addSeparator();
    QAction* other = m_controlMenu->addAction(tr("Other..."));
    connect(other, &QAction::triggered, this, &COrvelleDlg::OtherTimeControl);
    // A choice is for the next game: the menu offers nothing while one runs.
    connect(m_controlMenu, &QMenu::aboutToShow, this, [this] {
        for (QAction* action : m_controlMenu->actions()) {
            action->setEnabled(m_clock->m_bArmed);
            if (action->isCheckable())
                action->setChecked(action->data().toString() == m_settings.m_strTimeControl);
        }
    });
    addAction(m_controlMenu->menuAction());
}

void COrvelleDlg::OnInitDialog(DialogSeams& seams)
{
    setWindowIcon(ProgramIcon());
    m_store = seams.store ? seams.store : std::make_shared<SettingsStore>();
    m_store->CreateDefaultSettings();

    m_font = DigitFont();
    m_bridge = std::make_shared<DialogBridge>(this, m_clock);
    CreateControls();
    m_makeVideo->setEnabled(false);

    // ClockState starts armed, left side first, all times 60 s, counters 0.
    if (!m_store->LoadSettings(m_settings))
        ShowMessage(this, tr("Error! Cannot find settings."));
    m_clock->m_fLeftPreset = m_settings.m_fLeftPreset;
    m_clock->m_fRightPreset = m_settings.m_fRightPreset;
    m_clock->m_fLeftTime = m_clock->m_fLeftPreset.load();
    m_clock->m_fRightTime = m_clock->m_fRightPreset.load();
    SetTimeControl(m_settings.m_strTimeControl);
    m_awake = new ScreenAwake(this);
    qApp->installEventFilter(this);
    UpdateTimeDisplay();

    // The splash comes with the first showing of the window, centred over it.
    m_keys = seams.keys ? seams.keys : MakeShiftKeys();
    m_gameDir = m_cameraDir = m_settings.m_strDir;
    auto engine = m_engine = std::make_shared<ClockEngine>(
        m_clock, m_keys, seams.ticker ? seams.ticker : std::make_shared<SteadyTicker>(), m_bridge,
        seams.camera ? seams.camera : MakeCamera());
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
    config.keepRecord = true;
    config.startPicture = true;
    // One reader a picture folder: a camera replaced between games keeps the reader of its folder, and a
    // reader replaced for a new folder finishes the game it reads on its way out.
    if (!m_liveScore || m_cameraDir != m_settings.m_strDir) {
        if (m_liveScore)
            m_liveScore->deleteLater();
        m_liveScore = new LiveScore(config.folderUtf8, ParseBoardCorners(m_settings.m_strBoard.toStdString()),
                                    PgnTimeControl(m_settings), this);
        connect(m_liveScore, &LiveScore::changed, this, &COrvelleDlg::ShowLastMove);
        // The board found on the starting position is shown like a clicked one, so that a misfit is seen.
        connect(m_liveScore, &LiveScore::boardFound, this, [this](const BoardCorners& corners) {
            QList<QPointF> points;
            for (const cv::Point2d& p : corners.points)
                points.append(QPointF(p.x, p.y));
            if (!m_preview->PickingBoard())
                m_preview->SetBoardCorners(points);
        });
        connect(m_liveScore, &LiveScore::notice, this, [this](const QString& text) {
            m_notice->setText(text);
            m_notice->show();
        });
    }
    m_cameraDir = m_settings.m_strDir;
    std::weak_ptr<DialogBridge> bridge = m_bridge;
    if (!m_writer) // one writer for the run: a new camera hands its pictures to the same queue
        m_writer = std::make_shared<PictureWriter>(
            [bridge](const std::filesystem::path& path, const std::string& error) {
                if (auto b = bridge.lock())
                    b->ReportPicture(path, error);
            });
    return std::make_shared<Camera>(config, m_bridge, m_writer);
}

void COrvelleDlg::ShowPreview()
{
    // Beside the clocks rather than over them; a window manager may still place it elsewhere.
    m_preview->move(frameGeometry().topRight() + QPoint(16, 0));
    ShowBoardOnPreview();
    m_preview->show();
}

void COrvelleDlg::ShowBoardOnPreview()
{
    QList<QPointF> corners;
    if (const std::optional<BoardCorners> board = ParseBoardCorners(m_settings.m_strBoard.toStdString()))
        for (const cv::Point2d& p : board->points)
            corners.append(QPointF(p.x, p.y));
    m_preview->SetBoardCorners(corners);
}

void COrvelleDlg::OnPictureWritten(const std::filesystem::path& path)
{
    if (m_liveScore)
        m_liveScore->PictureWritten(path);
}

void COrvelleDlg::OnBoard()
{
    if (!m_preview->isVisible()) {
        ShowMessage(this,
                    tr("The board's corners are clicked on the camera's picture: tick \"Take pictures\" "
                       "first, then choose \"Board...\" again."));
        return;
    }
    m_preview->PickBoardCorners();
    m_preview->raise();
}

void COrvelleDlg::OnBoardPicked(const QList<QPointF>& corners)
{
    BoardCorners board;
    for (int i = 0; i < 4; ++i)
        board.points[size_t(i)] = cv::Point2d(corners[i].x(), corners[i].y());
    // Four clicks that make no board (crossed, or all at one spot) are not kept.
    const std::optional<BoardCorners> checked = ParseBoardCorners(FormatBoardCorners(board));
    if (!checked) {
        ShowBoardOnPreview();
        m_notice->setText(
            tr("Those four clicks make no board: click a1, h1, h8 and a8 in turn, going round it."));
        m_notice->show();
        return;
    }
    m_settings.m_strBoard = QString::fromStdString(FormatBoardCorners(*checked));
    if (const QString error = m_store->WriteSettings({{kBoardName, m_settings.m_strBoard}});
        !error.isEmpty()) {
        m_notice->setText(error);
        m_notice->show();
    }
    ShowBoardOnPreview();
    if (m_liveScore)
        m_liveScore->SetCorners(*checked);
}

void COrvelleDlg::ShowLastMove()
{
    const LastMove& last = m_liveScore->Last();
    m_lastMove->setText(last.text);
    m_lastMove->setVisible(!last.text.isEmpty());
    m_moveMark->setVisible(!last.text.isEmpty() && last.uncertain);
    QMenu* menu = m_moveMark->menu();
    menu->clear();
    for (const auto& [text, move] : last.others) {
        QAction* action = menu->addAction(text);
        connect(action, &QAction::triggered, this, [this, game = last.game, ply = last.ply, move = move] {
            m_liveScore->Choose(game, ply, move);
        });
    }
}

void COrvelleDlg::WaitForPictures()
{
    if (m_writer)
        m_writer->WaitUntilWritten();
}

void COrvelleDlg::ShowPictureNotice(const QString& file, const QString& reason)
{
    m_notice->setText((file.endsWith(QLatin1String(".tsv")) ? tr("Could not save the game's record %1: %2")
                                                            : tr("Could not save the picture %1: %2"))
                          .arg(file, reason));
    m_notice->show();
}

void COrvelleDlg::SetTimeControl(const QString& text)
{
    std::string notice;
    const TimeControl control =
        MakeTimeControl(text.toStdString(), m_settings.m_nDelayType, m_settings.m_nDelayDelta, &notice);
    // With stages both clocks start from the first one; otherwise from LTIME and RTIME (or the arrows).
    const std::optional<double> start = StartSeconds(control);
    if (start)
        ApplyTimeControl(*m_clock, control, *start, *start);
    else if (text.isEmpty())
        ApplyTimeControl(*m_clock, control, m_clock->m_fLeftPreset, m_clock->m_fRightPreset);
    else // the text did not parse: the times the settings give
        ApplyTimeControl(*m_clock, control, m_settings.m_fLeftPreset, m_settings.m_fRightPreset);
    m_tenths = start || control.mode != DelayMode::None;
    m_shown = {};
    m_controlText->setText(QString::fromStdString(
        DescribeTimeControl(control, m_clock->m_fLeftPreset, m_clock->m_fRightPreset)));
    if (!notice.empty()) {
        m_notice->setText(QString::fromStdString(notice));
        m_notice->show();
    }
}

void COrvelleDlg::ChooseTimeControl(const QString& text)
{
    if (!m_clock->m_bArmed)
        return;
    const std::optional<DelayChoice> delay =
        ChooseDelay(text.toStdString(), m_settings.m_nDelayType, m_settings.m_nDelayDelta);
    if (!delay)
        return;
    const QString refusal = m_store->WriteSettings({{kTimeControlName, text},
                                                    {"DELAY_TYPE", QString::number(delay->type)},
                                                    {"DELAY_DELTA", QString::number(delay->delta)}});
    if (!refusal.isEmpty())
        ShowMessage(this, refusal); // the choice holds for this run all the same
    UseTimeControl(text, *delay);
}

void COrvelleDlg::UseTimeControl(const QString& text, DelayChoice delay)
{
    if (text.isEmpty()) { // the arrows' times, as the first version had them
        m_clock->m_fLeftPreset = m_settings.m_fLeftPreset;
        m_clock->m_fRightPreset = m_settings.m_fRightPreset;
    }
    m_settings.m_strTimeControl = text;
    m_settings.m_nDelayType = delay.type;
    m_settings.m_nDelayDelta = delay.delta;
    SetTimeControl(text);
    UpdateTimeDisplay();
}

void COrvelleDlg::OtherTimeControl()
{
    TimeControlDialog dialog(m_settings.m_strTimeControl, m_settings.m_nDelayType, this);
    if (dialog.exec() == QDialog::Accepted)
        ChooseTimeControl(dialog.Text());
}

void COrvelleDlg::OnPause()
{
    if (!TogglePause(*m_clock))
        return;
    EnableSpinners(m_clock->m_bPaused);
    UpdateTimeDisplay();
}

void COrvelleDlg::ToggleFullScreen()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

bool COrvelleDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Space and F11 belong to the clock wherever the focus is in this window: a focused button must
    // never take Space for a click.
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space || key->key() == Qt::Key_F11) {
            if (type == QEvent::KeyPress && !key->isAutoRepeat())
                key->key() == Qt::Key_Space ? OnPause() : ToggleFullScreen();
            return true;
        }
        // Space being the clock's, Enter presses the focused button or box.
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (type == QEvent::KeyPress && !key->isAutoRepeat())
                button->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void COrvelleDlg::EnableSpinners(bool enabled)
{
    for (SpinArrows* spin : {m_leftMinSpin, m_leftSecSpin, m_rightMinSpin, m_rightSecSpin})
        spin->setEnabled(enabled);
}

void COrvelleDlg::OnDestroy()
{
    qApp->removeEventFilter(this);
    if (m_awake)
        m_awake->Set(false);
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
    FitDigits(m_leftTime);
    FitDigits(m_rightTime);
}

void COrvelleDlg::FitDigits(QLineEdit* clock)
{
    // Never below the design size for "00:00"; beyond it the digits grow with the window (maximised
    // across a table). A longer text (tenths, three-digit minutes) gets digits small enough to fit.
    // The margin leaves room for the running side's frame.
    const int digits = std::max<int>(5, clock->text().size());
    const QFontMetricsF metrics(m_font);
    const double scale = std::min(clock->width() / (metrics.horizontalAdvance(QString(digits, u'0')) + 28),
                                  clock->height() / metrics.height());
    QFont font = m_font;
    font.setPointSizeF(std::max(kDigitPointSize * 5.0 / digits, m_font.pointSizeF() * scale * 0.95));
    clock->setFont(font);
}

void COrvelleDlg::UpdateTimeDisplay()
{
    // Called a hundred times a second in a game: when nothing shown has changed (the tenths of both
    // clocks, the side, the flags, the pause, the plies, the delay), nothing is done.
    ClockState& c = *m_clock;
    const bool running = !c.m_bArmed, paused = running && c.m_bPaused;
    const int firstFlag = c.m_nFirstFlag;
    const auto tenths = [](double t) {
        return static_cast<long long>(std::floor(std::clamp(t, -1.0, 1e7) * 10));
    };
    const std::array<long long, 10> shown{tenths(c.m_fLeftTime),
                                          tenths(c.m_fRightTime),
                                          tenths(c.m_fDelayLeft),
                                          tenths(c.m_fLeftPreset),
                                          tenths(c.m_fRightPreset),
                                          c.m_nPlies,
                                          firstFlag,
                                          c.m_bLeftFlag * 2 + c.m_bRightFlag,
                                          running * 4 + paused * 2 + c.m_bLeftRunning,
                                          m_tenths};
    if (shown == m_shown)
        return;
    m_shown = shown;
    if (m_liveScore && running && firstFlag != m_flagTold) {
        m_flagTold = firstFlag;
        if (firstFlag != 0)
            m_liveScore->SetFlag(c.m_nGame,
                                 (firstFlag == 1) == m_leftIsWhite ? Colour::White : Colour::Black);
    }
    struct Side {
        QLineEdit* edit;
        QLabel* info;
        double time, preset;
        bool runs, flagged;
        int index;
    };
    for (const Side& side :
         {Side{m_leftTime, m_leftInfo, c.m_fLeftTime, c.m_fLeftPreset, c.m_bLeftRunning, c.m_bLeftFlag, 0},
          Side{m_rightTime, m_rightInfo, c.m_fRightTime, c.m_fRightPreset, !c.m_bLeftRunning, c.m_bRightFlag,
               1}}) {
        const QString text = QString::fromStdString(running && m_tenths ? FormatClockTextWithTenths(side.time)
                                                                        : FormatClockText(side.time));
        if (side.edit->text() != text) {
            const bool refit = side.edit->text().size() != text.size();
            side.edit->setText(text);
            if (refit)
                FitDigits(side.edit);
        }

        const bool active = running && !paused && side.runs;
        const bool low = running && IsLowTime(side.time, side.preset);
        // What assistive technology hears: the clock's time at a press, a pause, a reset, a flag or a
        // change of the set times, and once a minute while it runs, never every second.
        const QString heard = active ? QString::number(std::floor(side.time / 60)) : text;
        if (heard != m_heard[side.index]) {
            m_heard[side.index] = heard;
            Rename(side.edit, (side.index ? tr("Right clock, %1") : tr("Left clock, %1")).arg(text));
        }

        QString style;
        // The running clock's ground is light in any theme, so its digits are dark on it.
        const bool darkGround = !active && HasDarkGround(side.edit);
        if (active) // seen from across the room: a broad frame and a warm ground
            style += QStringLiteral("background: #fff0a0; border: 8px solid #e09000; border-radius: 10px;");
        if (running && side.flagged)
            style += QStringLiteral("color: %1;").arg(WarningColour(darkGround));
        else if (low)
            style += QStringLiteral("color: %1;").arg(LowTimeColour(darkGround));
        else if (active)
            style += QStringLiteral("color: black;");
        if (side.edit->styleSheet() != style)
            side.edit->setStyleSheet(style);

        QString info;
        if (running && side.flagged)
            info = firstFlag == side.index + 1 ? tr("\u2691 Out of time first") : tr("\u2691 Out of time");
        else if (active && c.m_fDelayLeft > 0.0)
            info = tr("Delay %1 s").arg(c.m_fDelayLeft.load(), 0, 'f', 1);
        // A delay counting down in tenths is heard once, by a name of its own; a flag by its text.
        const QString infoName = info.isEmpty() || side.flagged ? QString() : tr("Delay");
        if (side.info->accessibleName() != infoName)
            Rename(side.info, infoName);
        if (side.info->text() != info)
            side.info->setText(info);

        // The sounds, when asked for: once at 10 s left, once at the flag. The bell never waits.
        if (running && m_settings.m_bSound && side.runs &&
            ((side.time <= 10.0 && !std::exchange(m_warned[side.index], true)) ||
             (side.flagged && !std::exchange(m_flagSounded[side.index], true))))
            QApplication::beep();
    }

    QString status;
    if (paused) {
        status = tr("Paused");
    } else if (running) {
        status = tr("Move %1").arg(c.m_nPlies / 2 + 1);
        const int movesLeft =
            StageAt(c.m_control, c.m_bLeftRunning ? c.m_nLeftMoves : c.m_nRightMoves).movesLeft;
        if (movesLeft > 0)
            status += tr(" \u2013 %1 to the time control").arg(movesLeft);
    }
    if (m_status->text() != status)
        m_status->setText(status);
    m_awake->Set(running && !paused);
}

void COrvelleDlg::OnSettings()
{
    CSettingsDlg dialog(*m_store, m_settings, m_clock->m_bArmed, this);
    if (dialog.exec() == QDialog::Accepted)
        ApplySettings(dialog.Chosen());
}

void COrvelleDlg::ApplySettings(const Settings& chosen)
{
    // A new camera, size or folder from the next game: the engine takes the camera made with them while
    // the clocks wait, and the game that runs meanwhile keeps its pictures where they were going.
    if (chosen.m_nCamera != m_settings.m_nCamera || chosen.m_strCamUrl != m_settings.m_strCamUrl ||
        chosen.m_nResolution != m_settings.m_nResolution || chosen.m_strDir != m_settings.m_strDir) {
        m_settings.m_nCamera = chosen.m_nCamera;
        m_settings.m_strCamUrl = chosen.m_strCamUrl;
        m_settings.m_nResolution = chosen.m_nResolution;
        m_settings.m_strDir = chosen.m_strDir;
        m_engine->ReplaceCamera(MakeCamera());
    }
    m_settings.m_bSound = chosen.m_bSound;
    if (chosen.m_strTimeControl != m_settings.m_strTimeControl ||
        chosen.m_nDelayType != m_settings.m_nDelayType || chosen.m_nDelayDelta != m_settings.m_nDelayDelta)
        m_pendingControl = {chosen.m_strTimeControl, {chosen.m_nDelayType, chosen.m_nDelayDelta}};
    // The times are the presets at once, and the clocks' times too while they wait.
    m_settings.m_fLeftPreset = chosen.m_fLeftPreset;
    m_settings.m_fRightPreset = chosen.m_fRightPreset;
    {
        std::lock_guard lock(m_clock->m_stepMutex);
        m_clock->m_fLeftPreset = m_settings.m_fLeftPreset;
        m_clock->m_fRightPreset = m_settings.m_fRightPreset;
        if (m_clock->m_bArmed) {
            m_clock->m_fLeftTime = m_settings.m_fLeftPreset;
            m_clock->m_fRightTime = m_settings.m_fRightPreset;
        }
    }
    UsePendingControl();
    UpdateTimeDisplay();
}

void COrvelleDlg::UsePendingControl()
{
    // A time control chosen during a game is for the next one.
    if (m_pendingControl && m_clock->m_bArmed)
        UseTimeControl(m_pendingControl->first, m_pendingControl->second);
    if (m_clock->m_bArmed)
        m_pendingControl.reset();
}

void COrvelleDlg::OnBnClickedReset()
{
    ResetClocks(*m_clock);
    m_warned[0] = m_warned[1] = m_flagSounded[0] = m_flagSounded[1] = false;
    UsePendingControl();
    UpdateTimeDisplay();
    if (m_takePictures->isChecked())
        m_makeVideo->setEnabled(true);
    EnableSpinners(true);
}

void COrvelleDlg::DisableForGame()
{
    m_gameDir = m_cameraDir; // where this game's pictures go, whatever the settings say next
    m_takePictures->setEnabled(false);
    if (m_liveScore)
        m_liveScore->SetTimeControl(PgnTimeControl(m_settings));
    // The start press starts White's clock: White's runs after an even number of plies.
    m_leftIsWhite = m_clock->m_bLeftRunning == (m_clock->m_nPlies % 2 == 0);
    m_flagTold = 0;
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
    ShowMessage(this, tr("Could not find camera! Please plug a camera in and try again."));
    if (self) // the window may have gone while the message was up
        m_takePictures->setChecked(false);
}

void COrvelleDlg::OnDeltaposLeftMinSpin(int iDelta)
{
    if (SpinStoppedClock(*m_clock, true, iDelta, 60))
        UpdateTimeDisplay();
}

void COrvelleDlg::OnDeltaposLeftSecSpin(int iDelta)
{
    if (SpinStoppedClock(*m_clock, true, iDelta, 1))
        UpdateTimeDisplay();
}

void COrvelleDlg::OnDeltaposRightMinSpin(int iDelta)
{
    if (SpinStoppedClock(*m_clock, false, iDelta, 60))
        UpdateTimeDisplay();
}

void COrvelleDlg::OnDeltaposRightSecSpin(int iDelta)
{
    if (SpinStoppedClock(*m_clock, false, iDelta, 1))
        UpdateTimeDisplay();
}

void COrvelleDlg::OnBnClickedMakeVideo()
{
    if (!m_takePictures->isChecked())
        return;
    if (!m_clock->m_bArmed) {
        ShowMessage(this, tr("Click reset first, then Make Video"));
        return;
    }
    WaitForPictures(); // the last pictures of the game may still be on their way to the disk
    CMakingDlg making(this);
    making.m_strDir = m_gameDir;
    making.m_dFps = 2.0;
    making.m_bVideoClocks = m_settings.m_bVideoClocks;
    making.m_nGame = m_clock->m_nGame;
    making.m_nPlies = m_clock->m_nLastGamePlies;
    making.exec();
}

void COrvelleDlg::OpenAboutBox()
{
    CAboutDlg about(this);
    about.exec();
}
