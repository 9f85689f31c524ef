#include "LiveState.h"

#include <QJsonArray>
#include <algorithm>

namespace {
QJsonObject PlayerJson(const LivePlayer& player, qint64 used)
{
    return {{QStringLiteral("name"), player.name},
            {QStringLiteral("ms"), player.ms - used},
            {QStringLiteral("flag"), player.flag}};
}
} // namespace

QJsonObject ToJson(const LiveState& state, std::chrono::steady_clock::time_point now, qint64 serverTime)
{
    using std::chrono::milliseconds;
    const bool ticking = state.running != LiveRunning::None && !state.paused;
    const qint64 elapsed =
        ticking ? std::max<qint64>(0, std::chrono::duration_cast<milliseconds>(now - state.taken).count())
                : 0;
    // A simple delay is used up before the clock itself counts.
    const qint64 used = std::max<qint64>(0, elapsed - state.delayMs);
    const qint64 delayLeft = std::max<qint64>(0, state.delayMs - elapsed);
    const bool whiteRuns = state.running == LiveRunning::White;
    const bool blackRuns = state.running == LiveRunning::Black;
    return {
        {QStringLiteral("game"), state.game},
        {QStringLiteral("ply"), state.ply},
        {QStringLiteral("fen"), state.fen},
        {QStringLiteral("lastMove"), state.lastMove},
        {QStringLiteral("lastFrom"), state.lastFrom},
        {QStringLiteral("lastTo"), state.lastTo},
        {QStringLiteral("moves"), QJsonArray::fromStringList(state.moves)},
        {QStringLiteral("white"), PlayerJson(state.white, whiteRuns ? used : 0)},
        {QStringLiteral("black"), PlayerJson(state.black, blackRuns ? used : 0)},
        {QStringLiteral("running"), whiteRuns   ? QJsonValue(QStringLiteral("white"))
                                    : blackRuns ? QJsonValue(QStringLiteral("black"))
                                                : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("paused"), state.paused},
        {QStringLiteral("delayMs"), state.running == LiveRunning::None ? 0 : delayLeft},
        {QStringLiteral("timeControl"), state.timeControl},
        {QStringLiteral("result"), state.result},
        {QStringLiteral("event"), state.event},
        {QStringLiteral("site"), state.site},
        {QStringLiteral("round"), state.round},
        {QStringLiteral("board"), state.board},
        {QStringLiteral("serverTime"), serverTime},
    };
}
