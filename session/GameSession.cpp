#include "GameSession.h"

#include "Camera.h"
#include "ClockEngine.h"
#include "ClockRules.h"
#include "ClockState.h"
#include "InWindowShiftKeys.h"
#include "PictureNames.h"
#include "PictureWriter.h"
#include "ScoreSheet.h"
#include "SessionBridge.h"
#include "ShiftKeys.h"
#include "Ticker.h"

#include <QCoreApplication>

GameSession::GameSession(SessionSeams seams, QObject* parent)
    : QObject(parent), m_clock(std::make_shared<ClockState>()),
      m_store(seams.store ? seams.store : std::make_shared<SettingsStore>()),
      m_makeCamera(std::move(seams.makeCamera)),
      m_ticker(seams.ticker ? seams.ticker : std::make_shared<SteadyTicker>())
{
    m_store->CreateDefaultSettings();
    // ClockState starts armed, left side first, all times 60 s, counters 0.
    m_store->LoadSettings(m_settings, &m_unreadSettings);
    // The presets from LTIME and RTIME, unless a time control sets the clocks (which it does to the times).
    m_clock->m_fLeftPreset = m_settings.m_fLeftPreset;
    m_clock->m_fRightPreset = m_settings.m_fRightPreset;
    SetTimeControl(m_settings.m_strTimeControl);

    m_bridge = std::make_shared<SessionBridge>(this, m_clock);
    m_gameDir = m_cameraDir = m_settings.m_strDir;
    m_keys = std::make_shared<TypingShiftKeys>(seams.keys ? seams.keys : MakeShiftKeys());
    connect(this, &GameSession::previewOpened, this, [this] { m_cameraShown = true; });
    connect(this, &GameSession::previewClosed, this, [this] { m_cameraShown = false; });
    m_engine = std::make_shared<ClockEngine>(m_clock, m_keys, m_ticker, m_bridge, MakeCamera());
}

GameSession::~GameSession()
{
    Stop();
}

void GameSession::Start()
{
    if (m_hThread.joinable())
        return;
    auto ended = std::make_shared<std::promise<void>>();
    m_threadEnded = ended->get_future();
    m_clock->m_bThreadRun = true;
    m_hThread = std::thread([engine = m_engine, ended] {
        ClockThreadProc(*engine);
        ended->set_value();
    });
}

void GameSession::Stop()
{
    if (!m_hThread.joinable())
        return;
    m_clock->m_bThreadRun = false;
    m_bridge->Detach();
    if (m_threadEnded.wait_for(std::chrono::milliseconds(1000)) == std::future_status::ready)
        m_hThread.join();
    else
        m_hThread.detach();
}

std::shared_ptr<EngineCamera> GameSession::MakeCamera()
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
    config.ticker = m_ticker;
    Reader(m_settings.m_strDir);
    m_cameraDir = m_settings.m_strDir;
    std::weak_ptr<SessionBridge> bridge = m_bridge;
    if (!m_writer) // one writer for the run: a new camera hands its pictures to the same queue
        m_writer = std::make_shared<PictureWriter>(
            [bridge](const std::filesystem::path& path, const std::string& error) {
                if (auto b = bridge.lock())
                    b->ReportPicture(path, error);
            });
    return m_makeCamera ? m_makeCamera(config, m_bridge, m_writer)
                        : std::make_shared<Camera>(config, m_bridge, m_writer);
}

LiveScore& GameSession::Reader(const QString& folder)
{
    // Keyed by the folder as the pictures' paths name it, so that a picture finds its game's reader.
    const std::filesystem::path key = ToNarrowPath(folder.toStdString(), "x").parent_path();
    LiveScore*& reader = m_readers[key];
    if (!reader) {
        reader = new LiveScore(folder.toStdString(), Board(), std::string(), this);
        connect(reader, &LiveScore::changed, this, [this, reader] { emit moveRead(reader->Last()); });
        connect(reader, &LiveScore::boardFound, this, &GameSession::boardFound);
        connect(reader, &LiveScore::boardMoved, this, &GameSession::OnBoardMoved);
        connect(reader, &LiveScore::notice, this, &GameSession::notice);
    }
    return *reader;
}

LiveScore* GameSession::ReaderOfPicture(const std::filesystem::path& picture)
{
    const auto found = m_readers.find(picture.parent_path());
    return found == m_readers.end() ? nullptr : found->second;
}

void GameSession::OnGameStarted()
{
    m_gameDir = m_cameraDir; // where this game's pictures go, whatever the settings say next
    // The camera opens only while the clocks wait, and says so before the start press does.
    m_gamePictures = m_cameraShown;
    ClockState& c = *m_clock;
    {
        std::lock_guard lock(c.m_stepMutex);
        // The clocks as they were set for this game, with the arrows or by a time control.
        Reader(m_gameDir).SetTimeControl(PgnTimeControl(c.m_control, c.m_fLeftPreset, c.m_fRightPreset));
    }
    // The start press starts White's clock: White's runs after an even number of plies.
    m_leftIsWhite = c.m_bLeftRunning == (c.m_nPlies % 2 == 0);
    m_flagTold = 0;
    Reader(m_gameDir).SetDetails(m_details);
    emit gameStarted();
}

void GameSession::OnClocksMoved()
{
    const ClockState& c = *m_clock;
    const int firstFlag = c.m_nFirstFlag;
    if (!c.m_bArmed && firstFlag != m_flagTold) {
        m_flagTold = firstFlag;
        if (firstFlag != 0)
            Reader(m_gameDir).SetFlag(c.m_nGame,
                                      (firstFlag == 1) == m_leftIsWhite ? Colour::White : Colour::Black);
    }
    emit displayChanged();
}

void GameSession::OnNoCamera(const QString& reason)
{
    // Before the window hears of it: the window's message may be closed with the window, and this
    // session with it, before the signal returns.
    SetTakePictures(false);
    emit noCamera(reason);
}

void GameSession::OnPictureWritten(const std::filesystem::path& path, const std::string& error)
{
    if (!error.empty()) {
        emit pictureFailed(QString::fromStdU16String(path.u16string()), QString::fromStdString(error));
        return;
    }
    if (LiveScore* reader = ReaderOfPicture(path))
        reader->PictureWritten(path);
}

void GameSession::SetTimeControl(const QString& text)
{
    std::string notice;
    const TimeControl control =
        MakeTimeControl(text.toStdString(), m_settings.m_nDelayType, m_settings.m_nDelayDelta, &notice);
    ClockState& c = *m_clock;
    // With stages both clocks start from the first one; otherwise from LTIME and RTIME (or the arrows).
    const std::optional<double> start = StartSeconds(control);
    if (start)
        ApplyTimeControl(c, control, *start, *start);
    else if (text.isEmpty())
        ApplyTimeControl(c, control, c.m_fLeftPreset, c.m_fRightPreset);
    else // the text did not parse: the times the settings give
        ApplyTimeControl(c, control, m_settings.m_fLeftPreset, m_settings.m_fRightPreset);
    m_tenths = start || control.mode != DelayMode::None;
    DescribeControl();
    if (!notice.empty()) // queued: at start-up, the window connects after this has run
        QMetaObject::invokeMethod(
            this, [this, text = QString::fromStdString(notice)] { emit this->notice(text); },
            Qt::QueuedConnection);
}

void GameSession::DescribeControl()
{
    const ClockState& c = *m_clock;
    m_controlWords =
        QString::fromStdString(DescribeTimeControl(c.m_control, c.m_fLeftPreset, c.m_fRightPreset));
    emit controlChanged();
}

void GameSession::UseTimeControl(const QString& text, DelayChoice delay)
{
    if (text.isEmpty()) { // the arrows' times, as the first version had them
        m_clock->m_fLeftPreset = m_settings.m_fLeftPreset;
        m_clock->m_fRightPreset = m_settings.m_fRightPreset;
    }
    m_settings.m_strTimeControl = text;
    m_settings.m_nDelayType = delay.type;
    m_settings.m_nDelayDelta = delay.delta;
    SetTimeControl(text);
    emit displayChanged();
}

void GameSession::UsePendingControl()
{
    // A time control chosen during a game is for the next one.
    if (m_pendingControl && m_clock->m_bArmed)
        UseTimeControl(m_pendingControl->first, m_pendingControl->second);
    if (m_clock->m_bArmed)
        m_pendingControl.reset();
}

QString GameSession::ChooseTimeControl(const QString& text)
{
    if (!m_clock->m_bArmed)
        return {};
    const std::optional<DelayChoice> delay =
        ChooseDelay(text.toStdString(), m_settings.m_nDelayType, m_settings.m_nDelayDelta);
    if (!delay)
        return {};
    const QString refusal = m_store->WriteSettings({{kTimeControlName, text},
                                                    {"DELAY_TYPE", QString::number(delay->type)},
                                                    {"DELAY_DELTA", QString::number(delay->delta)}});
    UseTimeControl(text, *delay);
    return refusal;
}

void GameSession::ApplySettings(const Settings& chosen)
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
    // The network's at once (a window over the session starts the server and the push with them).
    m_settings.m_nServePort = chosen.m_nServePort;
    m_settings.m_bServeLan = chosen.m_bServeLan;
    m_settings.m_strBroadcastUrl = chosen.m_strBroadcastUrl;
    if (chosen.m_strTimeControl != m_settings.m_strTimeControl ||
        chosen.m_nDelayType != m_settings.m_nDelayType || chosen.m_nDelayDelta != m_settings.m_nDelayDelta)
        m_pendingControl = {chosen.m_strTimeControl, {chosen.m_nDelayType, chosen.m_nDelayDelta}};
    // A clock time that changed is its preset at once, and the clock's time too while the clocks wait.
    // Only what changed: the clocks may hold a time control's times, or times set with the arrows.
    ClockState& c = *m_clock;
    const auto take = [&c](double chosenPreset, double& setting, std::atomic<double>& preset,
                           std::atomic<double>& time) {
        if (chosenPreset == setting)
            return;
        setting = chosenPreset;
        if (StartSeconds(c.m_control)) // a time control's stages set the clocks
            return;
        preset = chosenPreset;
        if (c.m_bArmed)
            time = chosenPreset;
    };
    {
        std::lock_guard lock(c.m_stepMutex);
        take(chosen.m_fLeftPreset, m_settings.m_fLeftPreset, c.m_fLeftPreset, c.m_fLeftTime);
        take(chosen.m_fRightPreset, m_settings.m_fRightPreset, c.m_fRightPreset, c.m_fRightTime);
    }
    DescribeControl();
    UsePendingControl();
    emit displayChanged();
}

void GameSession::Reset()
{
    const bool ended = !m_clock->m_bArmed;
    const int game = m_clock->m_nGame; // read first: the next game may start as soon as the clocks wait
    ResetClocks(*m_clock);
    if (ended)
        m_lastGame = {game, m_clock->m_nLastGamePlies, m_gameDir, m_gamePictures};
    UsePendingControl();
    emit displayChanged();
}

bool GameSession::Spin(bool left, int iDelta, int stepSeconds)
{
    if (!SpinStoppedClock(*m_clock, left, iDelta, stepSeconds))
        return false;
    DescribeControl(); // the words say what the clocks start from
    return true;
}

bool GameSession::TogglePause()
{
    return ::TogglePause(*m_clock);
}

void GameSession::SetTakePictures(bool on)
{
    m_bridge->SetTakePictures(on);
}

void GameSession::PreviewKeyTyped()
{
    m_bridge->PreviewKeyTyped();
}

void GameSession::SetTyping(bool typing)
{
    m_keys->SetTyping(typing);
}

void GameSession::SetDetails(const GameDetails& details)
{
    m_details = details;
    emit detailsChanged();
    // A game that runs takes them at once; a finished one keeps its own, and the next takes them at its
    // start.
    if (!m_clock->m_bArmed)
        Reader(m_gameDir).SetDetails(details);
}

bool GameSession::PicturesPending() const
{
    return m_writer && m_writer->Busy();
}

void GameSession::WithFrame(const std::function<void(const cv::Mat&)>& use)
{
    m_bridge->WithFrame(use);
}

std::optional<BoardCorners> GameSession::Board() const
{
    return ParseBoardCorners(m_settings.m_strBoard.toStdString());
}

QString GameSession::SetBoard(const BoardCorners& corners)
{
    // Four clicks that make no board (crossed, or all at one spot) are not kept.
    const std::optional<BoardCorners> checked = ParseBoardCorners(FormatBoardCorners(corners));
    if (!checked)
        return QCoreApplication::translate(
            "GameSession",
            "Those four clicks make no board: click a1, h1, h8 and a8 in turn, going round it.");
    m_settings.m_strBoard = QString::fromStdString(FormatBoardCorners(*checked));
    const QString error = m_store->WriteSettings({{kBoardName, m_settings.m_strBoard}});
    // The board of the camera's picture: the game being played there, and the next games.
    Reader(m_gameDir).SetCorners(*checked);
    if (m_cameraDir != m_gameDir)
        Reader(m_cameraDir).SetCorners(*checked);
    return error;
}

void GameSession::OnBoardMoved(const BoardCorners& corners)
{
    if (!m_settings.m_strBoard.isEmpty()) {
        m_settings.m_strBoard = QString::fromStdString(FormatBoardCorners(corners));
        if (const QString error = m_store->WriteSettings({{kBoardName, m_settings.m_strBoard}}); !error.isEmpty())
            emit notice(error);
    }
    emit boardFound(corners);
}

void GameSession::ChooseMove(int game, int ply, const Move& move)
{
    Reader(m_gameDir).Choose(game, ply, move);
}

void GameSession::WaitForPictures()
{
    if (m_writer)
        m_writer->WaitUntilWritten();
}

void GameSession::WaitForScore()
{
    WaitForPictures();
    // The writer's reports reach the readers through this thread's queue.
    QCoreApplication::processEvents();
    for (const auto& [folder, reader] : m_readers)
        reader->WaitUntilRead();
}
