#include "LiveFeed.h"

#include "BroadcastPusher.h"
#include "BroadcastToken.h"
#include "ClockState.h"
#include "GameSession.h"
#include "LiveServer.h"
#include "Settings.h"

#include <QCoreApplication>
#include <cmath>

LiveFeed::LiveFeed(GameSession& session, QString tokenFile, QObject* parent)
    : QObject(parent), m_session(session), m_tokenFile(std::move(tokenFile))
{
    connect(&session, &GameSession::displayChanged, this, &LiveFeed::OnClocks);
    connect(&session, &GameSession::moveRead, this, &LiveFeed::OnScore);
    connect(&session, &GameSession::controlChanged, this, &LiveFeed::Publish);
    connect(&session, &GameSession::detailsChanged, this, &LiveFeed::Publish);
}

LiveFeed::~LiveFeed() = default;

QString LiveFeed::Apply(const Settings& settings)
{
    QString told;
    if (settings.m_nServePort != m_port || settings.m_bServeLan != m_lan) {
        m_port = settings.m_nServePort;
        m_lan = settings.m_bServeLan;
        m_server.reset();
        if (m_port > 0) {
            m_server = std::make_unique<LiveServer>();
            told = m_server->Start(quint16(m_port), m_lan);
            if (told.isEmpty())
                Publish();
            else
                m_server.reset();
        }
    }
    // The token is read again at every OK: the dialog may have just written it.
    delete m_pusher;
    m_pusher = nullptr;
    m_broadcast.clear();
    m_pushUrl = settings.m_strBroadcastUrl;
    if (!m_pushUrl.isEmpty()) {
        const BroadcastToken token = ReadBroadcastToken(m_tokenFile);
        if (!token.error.isEmpty()) {
            m_broadcast = QCoreApplication::translate("LiveFeed", "Broadcast: %1").arg(token.error);
        } else {
            m_pusher = new BroadcastPusher(QUrl(m_pushUrl), token.token, this);
            connect(m_pusher, &BroadcastPusher::StatusChanged, this,
                    [this](BroadcastPusher::State, const QString& text) {
                        m_broadcast = text;
                        emit statusChanged();
                    });
            if (!m_score.pgn.isEmpty())
                m_pusher->Push(m_score.game, m_score.pgn);
        }
    }
    emit statusChanged();
    return told;
}

QString LiveFeed::Status() const
{
    QStringList parts;
    if (m_server)
        parts << QCoreApplication::translate("LiveFeed", "Live: %1").arg(m_server->Address().toString());
    if (!m_broadcast.isEmpty())
        parts << m_broadcast;
    return parts.join(QStringLiteral("   "));
}

LiveState LiveFeed::State() const
{
    const ClockState& c = m_session.Clock();
    const GameDetails& details = m_session.Details();
    const bool leftWhite = m_session.LeftIsWhite(), running = !c.m_bArmed;
    const auto ms = [](double seconds) { return qint64(std::floor(seconds * 1000.0)); };
    LiveState s;
    s.game = c.m_nGame;
    s.ply = running ? c.m_nPlies.load() : c.m_nLastGamePlies.load();
    if (m_score.game == s.game && !m_score.moves.isEmpty()) {
        s.fen = m_score.fen;
        s.moves = m_score.moves;
        s.lastMove = m_score.moves.back();
        s.lastFrom = m_score.from;
        s.lastTo = m_score.to;
        s.result = m_score.result;
    }
    s.white = {QString::fromStdString(details.white), ms(leftWhite ? c.m_fLeftTime : c.m_fRightTime),
               leftWhite ? c.m_bLeftFlag.load() : c.m_bRightFlag.load()};
    s.black = {QString::fromStdString(details.black), ms(leftWhite ? c.m_fRightTime : c.m_fLeftTime),
               leftWhite ? c.m_bRightFlag.load() : c.m_bLeftFlag.load()};
    if (running)
        s.running = c.m_bLeftRunning == leftWhite ? LiveRunning::White : LiveRunning::Black;
    s.paused = running && c.m_bPaused;
    s.delayMs = running ? ms(c.m_fDelayLeft) : 0;
    s.timeControl = m_session.ControlWords();
    s.event = QString::fromStdString(details.event);
    s.site = QString::fromStdString(details.site);
    s.round = QString::fromStdString(details.round);
    s.board = QString::fromStdString(details.board);
    return s;
}

void LiveFeed::OnClocks()
{
    // The display changes a hundred times a second; spectators' pages count the clocks down themselves,
    // so they hear only of what they cannot work out: a press, a start, a pause, a flag, new times.
    const ClockState& c = m_session.Clock();
    const bool armed = c.m_bArmed;
    const std::array<long long, 9> seen{c.m_nGame,
                                        c.m_nPlies,
                                        armed,
                                        c.m_bLeftRunning,
                                        c.m_bPaused,
                                        c.m_bLeftFlag * 2 + c.m_bRightFlag,
                                        m_session.LeftIsWhite(),
                                        armed ? std::llround(c.m_fLeftTime * 1000) : 0,
                                        armed ? std::llround(c.m_fRightTime * 1000) : 0};
    if (seen == m_seen)
        return;
    m_seen = seen;
    Publish();
}

void LiveFeed::OnScore(const LastMove& score)
{
    m_score = score;
    if (score.pgn.isEmpty())
        return;
    if (m_server)
        m_server->SetGamePgn(score.game, score.pgn);
    if (m_pusher)
        m_pusher->Push(score.game, score.pgn);
    Publish();
}

void LiveFeed::Publish()
{
    if (m_server)
        m_server->Publish(State());
}
