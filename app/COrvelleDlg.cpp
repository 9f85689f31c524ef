#include "COrvelleDlg.h"

#include "Accessibility.h"
#include "BroadcastToken.h"
#include "CAboutDlg.h"
#include "CMakingDlg.h"
#include "CSettingsDlg.h"
#include "CSplashWnd.h"
#include "CameraView.h"
#include "ClockFace.h"
#include "ClockState.h"
#include "GameDetailsDlg.h"
#include "Identifiers.h"
#include "LastMoveView.h"
#include "LiveFeed.h"
#include "PreviewWindow.h"
#include "ScreenAwake.h"
#include "SpinArrows.h"
#include "Texts.h"
#include "TimeControlDialog.h"
#include "WindowKeys.h"
#include "WindowMenu.h"
#include "WindowPlace.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <array>
#include <cmath>

COrvelleDlg::COrvelleDlg(DialogSeams seams, QWidget* parent)
    : QDialog(parent), m_session(std::make_unique<GameSession>(std::move(seams)))
{
    OnInitDialog();
}

COrvelleDlg::~COrvelleDlg()
{
    OnDestroy();
}

void COrvelleDlg::OnInitDialog()
{
    setWindowIcon(ProgramIcon());
    CreateControls();
    m_makeVideo->setEnabled(false);
    if (const QStringList& unread = m_session->UnreadSettings(); !unread.isEmpty()) {
        ShowMessage(this, tr("Error! Cannot find settings."));
        // Which ones, and where: the message above is the first version's, and says neither.
        ShowNotice(tr("Could not read %1 in the settings %2.")
                       .arg(unread.join(QStringLiteral(", ")), m_session->Store().FileName()));
    }
    ConnectSession();
    m_live = new LiveFeed(*m_session, BroadcastTokenPath(m_session->Store().FileName()), this);
    connect(m_live, &LiveFeed::statusChanged, this, [this] {
        m_liveStatus->setText(m_live->Status());
        m_liveStatus->setVisible(!m_liveStatus->text().isEmpty());
    });
    if (const QString told = m_live->Apply(m_session->Current()); !told.isEmpty())
        ShowNotice(told);
    m_awake = new ScreenAwake(this);
    m_keys = new WindowKeys(this, *m_session);
    connect(m_keys, &WindowKeys::pausePressed, this, &COrvelleDlg::OnPause);
    connect(m_keys, &WindowKeys::fullScreenPressed, this, &COrvelleDlg::ToggleFullScreen);
    RestoreWindowPlace(this, m_session->Store().FileName());
    ShowPlayers();
    UpdateTimeDisplay();
    // The splash comes with the first showing of the window, centred over it.
    m_session->Start();
}

void COrvelleDlg::CreateControls()
{
    setObjectName(ORVELLE_ID(IDD_ORVELLE_DIALOG));
    setWindowTitle(kProductName);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);

    auto* instructions = new QLabel(tr("Press shift keys to toggle timer. Black to initiate timer."), this);
    instructions->setTextFormat(Qt::PlainText);
    instructions->setWordWrap(true);
    instructions->setMinimumWidth(150);
    m_reset = new QPushButton(tr("&Reset"), this);
    m_reset->setObjectName(ORVELLE_ID(IDC_RESET));
    m_reset->setMinimumSize(64, 40);
    m_reset->setAutoDefault(false);
    m_takePictures = new QCheckBox(tr("&Take pictures"), this);
    m_takePictures->setObjectName(ORVELLE_ID(IDC_TAKE_PICTURES));
    m_makeVideo = new QPushButton(tr("Make &Video"), this);
    m_makeVideo->setObjectName(ORVELLE_ID(IDC_MAKE_VIDEO));
    m_makeVideo->setAutoDefault(false);
    auto* pictureColumn = new QVBoxLayout;
    pictureColumn->addWidget(m_takePictures);
    pictureColumn->addWidget(m_makeVideo);
    auto* top = new QHBoxLayout;
    top->addWidget(instructions, 3);
    top->addWidget(m_reset, 0, Qt::AlignTop);
    top->addSpacing(24);
    top->addLayout(pictureColumn, 2);

    const QFont digits = ClockFace::DigitFont();
    m_left = new ClockFace(true, digits, this);
    m_right = new ClockFace(false, digits, this);
    auto* clocks = new QHBoxLayout;
    clocks->addWidget(m_left, 1);
    clocks->addSpacing(16);
    clocks->addWidget(m_right, 1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText);
    QFont statusFont = m_status->font();
    statusFont.setPointSize(18);
    statusFont.setBold(true);
    m_status->setFont(statusFont);
    m_status->setAccessibleDescription(tr("The game"));
    m_status->setAlignment(Qt::AlignCenter);
    m_controlText = new QLabel(m_session->ControlWords(), this);
    m_controlText->setObjectName(QStringLiteral("timeControl"));
    m_controlText->setTextFormat(Qt::PlainText);
    m_controlText->setAccessibleDescription(tr("Time control"));
    auto* website = new QPushButton(ManualCaption(), this);
    website->setObjectName(ORVELLE_ID(IDC_WEBSITE));
    website->setAutoDefault(false);
    m_lastMove = new LastMoveView(this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_controlText, 1);
    bottom->addWidget(website);
    bottom->addStretch(1);
    bottom->addWidget(m_lastMove);

    // Pictures that could not be saved, and what else the players should know, without stopping the game.
    // Like every label here that can show text from outside (file names, players' names, a service's
    // error), it shows that text as written: were it taken for markup, anyone could draw in the window.
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("pictureNotice"));
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setAccessibleDescription(tr("Notice"));
    m_notice->setWordWrap(true);
    m_notice->setStyleSheet(QStringLiteral("color: ") + WarningColour(HasDarkGround(this)));
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notice->setContextMenuPolicy(Qt::NoContextMenu); // the window's menu, as everywhere in it
    m_notice->hide();

    m_liveStatus = new QLabel(this);
    m_liveStatus->setObjectName(QStringLiteral("liveStatus"));
    m_liveStatus->setTextFormat(Qt::PlainText);
    m_liveStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_liveStatus->setContextMenuPolicy(Qt::NoContextMenu);
    m_liveStatus->hide();

    auto* clockPart = new QWidget(this);
    auto* layout = new QVBoxLayout(clockPart);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addLayout(clocks, 1);
    layout->addWidget(m_status);
    layout->addLayout(bottom);
    layout->addWidget(m_liveStatus);
    layout->addWidget(m_notice);
    // The camera's picture goes under the clocks, in a part of its own that never covers them.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("cameraSplit"));
    split->setChildrenCollapsible(true);
    split->addWidget(clockPart);
    (new QVBoxLayout(this))->addWidget(split);

    auto* menu = new WindowMenu(*this);
    m_camera = new CameraView(*m_session, split, *menu);
    connect(m_camera, &CameraView::notice, this, &COrvelleDlg::ShowNotice);
    connect(menu->Board(), &QAction::triggered, m_camera, &CameraView::PickBoard);

    connect(m_reset, &QPushButton::clicked, this, &COrvelleDlg::OnBnClickedReset);
    connect(m_left->MinuteArrows(), &SpinArrows::deltaPos, this, &COrvelleDlg::OnDeltaposLeftMinSpin);
    connect(m_left->SecondArrows(), &SpinArrows::deltaPos, this, &COrvelleDlg::OnDeltaposLeftSecSpin);
    connect(m_right->MinuteArrows(), &SpinArrows::deltaPos, this, &COrvelleDlg::OnDeltaposRightMinSpin);
    connect(m_right->SecondArrows(), &SpinArrows::deltaPos, this, &COrvelleDlg::OnDeltaposRightSecSpin);
    connect(website, &QPushButton::clicked, this, &OpenProductPage);
    connect(m_makeVideo, &QPushButton::clicked, this, &COrvelleDlg::OnBnClickedMakeVideo);
    connect(m_takePictures, &QCheckBox::toggled, m_session.get(), &GameSession::SetTakePictures);
    connect(m_session.get(), &GameSession::moveRead, m_lastMove, &LastMoveView::Show);
    connect(m_lastMove, &LastMoveView::chosen, m_session.get(), &GameSession::ChooseMove);
}

void COrvelleDlg::ConnectSession()
{
    GameSession* s = m_session.get();
    connect(s, &GameSession::displayChanged, this, &COrvelleDlg::UpdateTimeDisplay);
    connect(s, &GameSession::gameStarted, this, &COrvelleDlg::OnGameStarted);
    connect(s, &GameSession::noCamera, this, &COrvelleDlg::ShowNoCameraMessage);
    connect(s, &GameSession::controlChanged, this,
            [this] { m_controlText->setText(m_session->ControlWords()); });
    connect(s, &GameSession::pictureFailed, this, [this](const QString& file, const QString& reason) {
        ShowNotice((file.endsWith(QLatin1String(".tsv")) ? tr("Could not save the game's record %1: %2")
                                                         : tr("Could not save the picture %1: %2"))
                       .arg(file, reason));
    });
    connect(s, &GameSession::notice, this, &COrvelleDlg::ShowNotice);
    connect(s, &GameSession::cameraClosed, this, [this](bool duringGame) {
        m_takePictures->setChecked(false);
        // Between games (a video file that has played out) nothing is lost, and nothing is said.
        if (duringGame)
            ShowNotice(
                tr("The camera is closed: this game goes on without pictures. Tick \"Take pictures\" for "
                   "the next one."));
    });
}

void COrvelleDlg::ShowNotice(const QString& text)
{
    // The newest first, over the last few: one notice must not hide another that came a moment before
    // (the camera closed, and then the board not seen on its last picture).
    constexpr int kNotices = 3;
    QStringList shown = m_notice->text().split(u'\n', Qt::SkipEmptyParts);
    shown.removeAll(text);
    shown.prepend(text);
    m_notice->setText(shown.mid(0, kNotices).join(u'\n'));
    m_notice->show();
}

void COrvelleDlg::ChooseTimeControl(const QString& text)
{
    if (const QString refusal = m_session->ChooseTimeControl(text); !refusal.isEmpty())
        ShowMessage(this, refusal); // the choice holds for this run all the same
}

void COrvelleDlg::OtherTimeControl()
{
    const Settings& current = m_session->Current();
    TimeControlDialog dialog(current.m_strTimeControl, current.m_nDelayType, this);
    if (dialog.exec() == QDialog::Accepted)
        ChooseTimeControl(dialog.Text());
}

void COrvelleDlg::OnPause()
{
    if (!m_session->TogglePause())
        return;
    const bool paused = Clock().m_bPaused;
    m_left->EnableArrows(paused);
    m_right->EnableArrows(paused);
    UpdateTimeDisplay();
}

void COrvelleDlg::ToggleFullScreen()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void COrvelleDlg::OnDestroy()
{
    if (m_awake)
        m_awake->Set(false);
    SaveWindowPlace(this, m_session->Store().FileName());
    m_camera->SavePlace();
    // The focus still moves while the window's children go, after the session is gone.
    delete std::exchange(m_keys, nullptr);
    m_session->Stop();
}

void COrvelleDlg::reject()
{
    const bool playing = !Clock().m_bArmed;
    if (playing || m_session->PicturesPending()) {
        QMessageBox ask(
            QMessageBox::Question, kProductName,
            playing ? tr("A game is being played. Close Orvelle and end it?")
                    : tr("The last game's pictures are still being saved. Close Orvelle when they are?"),
            QMessageBox::NoButton, this);
        QPushButton* keep = ask.addButton(tr("Keep playing"), QMessageBox::RejectRole);
        ask.addButton(tr("Close Orvelle"), QMessageBox::AcceptRole);
        ask.setDefaultButton(keep);
        ask.setEscapeButton(keep);
        ask.exec();
        if (ask.clickedButton() == keep)
            return;
    }
    QDialog::reject();
}

void COrvelleDlg::OnGameDetails()
{
    GameDetailsDlg dialog(m_session->Details(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_session->SetDetails(dialog.Chosen());
    ShowPlayers();
}

void COrvelleDlg::ShowPlayers()
{
    // Each name above its player's clock: White's on the side that played White in this game (or the last).
    const GameDetails& d = m_session->Details();
    const bool leftWhite = m_session->LeftIsWhite();
    m_left->SetPlayer(QString::fromStdString(leftWhite ? d.white : d.black), leftWhite);
    m_right->SetPlayer(QString::fromStdString(leftWhite ? d.black : d.white), !leftWhite);
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

void COrvelleDlg::UpdateTimeDisplay()
{
    // Called a hundred times a second in a game: when nothing shown has changed (the tenths of both
    // clocks, the side, the flags, the pause, the plies, the delay), nothing is done.
    const ClockState& c = Clock();
    const bool running = !c.m_bArmed, paused = running && c.m_bPaused;
    const int firstFlag = c.m_nFirstFlag;
    const bool tenths = m_session->ShowsTenths();
    const auto tenthsOf = [](double t) {
        return static_cast<long long>(std::floor(std::clamp(t, -1.0, 1e7) * 10));
    };
    const std::array<long long, 10> shown{tenthsOf(c.m_fLeftTime),
                                          tenthsOf(c.m_fRightTime),
                                          tenthsOf(c.m_fDelayLeft),
                                          tenthsOf(c.m_fLeftPreset),
                                          tenthsOf(c.m_fRightPreset),
                                          c.m_nPlies,
                                          firstFlag,
                                          c.m_bLeftFlag * 2 + c.m_bRightFlag,
                                          running * 4 + paused * 2 + c.m_bLeftRunning,
                                          tenths};
    if (shown == m_shown)
        return;
    m_shown = shown;

    const bool sound = m_session->Current().m_bSound;
    const bool leftRuns = c.m_bLeftRunning;
    const auto look = [&](double time, double preset, bool runs, bool flagged, bool first) {
        return ClockFace::Look{.time = time,
                               .preset = preset,
                               .inGame = running,
                               .active = running && !paused && runs,
                               .toMove = paused && runs,
                               .flagged = flagged,
                               .firstFlag = first,
                               .delayLeft = c.m_fDelayLeft,
                               .tenths = tenths,
                               .sound = sound};
    };
    const ClockFace::Look left =
        look(c.m_fLeftTime, c.m_fLeftPreset, leftRuns, c.m_bLeftFlag, firstFlag == 1);
    const ClockFace::Look right =
        look(c.m_fRightTime, c.m_fRightPreset, !leftRuns, c.m_bRightFlag, firstFlag == 2);
    m_left->Show(left);
    m_right->Show(right);

    QString status;
    if (running) {
        status = tr("Move %1").arg(c.m_nPlies / 2 + 1);
        if (paused)
            status = tr("Paused \u2013 %1").arg(status);
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
    CSettingsDlg dialog(m_session->Store(), m_session->Current(), Clock().m_bArmed, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_session->ApplySettings(dialog.Chosen());
    if (const QString told = m_live->Apply(m_session->Current()); !told.isEmpty())
        ShowNotice(told);
}

void COrvelleDlg::OnBnClickedReset()
{
    m_session->Reset();
    m_left->ClearBells();
    m_right->ClearBells();
    // A notice belongs to the game it was given in.
    m_notice->clear();
    m_notice->hide();
    if (m_session->LastGame().pictures)
        m_makeVideo->setEnabled(true);
    m_takePictures->setEnabled(true); // for the next game
    m_left->EnableArrows(true);
    m_right->EnableArrows(true);
}

void COrvelleDlg::OnGameStarted()
{
    m_takePictures->setEnabled(false);
    m_lastMove->Show({});
    ShowPlayers();
    // A Reset handled before this call arrived has already ended the game; its enabling stands.
    if (Clock().m_bArmed)
        return;
    m_makeVideo->setEnabled(false);
    m_left->EnableArrows(false);
    m_right->EnableArrows(false);
}

void COrvelleDlg::ShowNoCameraMessage(const QString& reason)
{
    const QPointer<COrvelleDlg> self(this);
    ShowMessage(this, tr("Could not find camera! Please plug a camera in and try again."));
    if (!self) // the window may have gone while the message was up
        return;
    m_takePictures->setChecked(false);
    if (!reason.isEmpty())
        ShowNotice(tr("The camera gave no picture: %1").arg(reason));
}

void COrvelleDlg::OnSpin(bool left, int iDelta, int stepSeconds)
{
    if (m_session->Spin(left, iDelta, stepSeconds))
        UpdateTimeDisplay();
}

void COrvelleDlg::OnDeltaposLeftMinSpin(int iDelta)
{
    OnSpin(true, iDelta, 60);
}

void COrvelleDlg::OnDeltaposLeftSecSpin(int iDelta)
{
    OnSpin(true, iDelta, 1);
}

void COrvelleDlg::OnDeltaposRightMinSpin(int iDelta)
{
    OnSpin(false, iDelta, 60);
}

void COrvelleDlg::OnDeltaposRightSecSpin(int iDelta)
{
    OnSpin(false, iDelta, 1);
}

void COrvelleDlg::OnBnClickedMakeVideo()
{
    // The last game's pictures, whether or not "Take pictures" is still ticked: its camera may have
    // closed during the game.
    const PlayedGame& last = m_session->LastGame();
    if (!Clock().m_bArmed) {
        ShowMessage(this, tr("Click reset first, then Make Video"));
        return;
    }
    if (!last.pictures)
        return;
    m_session->WaitForPictures(); // the last pictures of the game may still be on their way to the disk
    CMakingDlg making(this);
    making.m_strDir = last.dir;
    making.m_dFps = 2.0;
    making.m_bVideoClocks = m_session->Current().m_bVideoClocks;
    making.m_nGame = last.number;
    making.m_nPlies = last.plies;
    making.exec();
}

void COrvelleDlg::OpenAboutBox()
{
    CAboutDlg about(this);
    about.exec();
}
