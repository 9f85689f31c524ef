#include "GameScore.h"

#include <algorithm>
#include <cstdlib>

namespace {
// How far back a picture that nothing explains re-opens uncertain choices: a wrong move shows when a
// piece moves from where the wrong line does not have it, which for a castled rook can be several moves
// later (measured: 8 plies read more of the club games from the side than 4).
constexpr size_t kLookBack = 8;
// The other candidates of an uncertain ply that are tried; the recognizer ranks the true move near the
// top even when it cannot tell it from its rivals.
constexpr size_t kAlternatives = 3;
// A covered ply's candidates tried against the picture after it: the hand hides few squares, and the
// moves it could hide rank near the top.
constexpr size_t kCoveredCandidates = 8;
// The lead of the best pair of plies over a pair with another covered move that settles the covered one,
// in squares' areas of change (a pawn's region is about half a square).
constexpr double kCoveredLead = 0.25;
// Pictures kept for reading again: the look-back's, the one before them and the newest.
constexpr size_t kCachedPictures = kLookBack + 2;

double ScoreOf(const ScoredPly& ply)
{
    for (const MoveCandidate& c : ply.reading.candidates)
        if (c.move == ply.move)
            return c.score;
    return 0.0;
}
} // namespace

GameScore::GameScore(const BoardCorners& corners, PictureSource pictures, Position start)
    : m_corners(corners), m_source(std::move(pictures)), m_start(std::move(start))
{}

Position GameScore::PositionAfter(int plies) const
{
    Position p = m_start;
    for (int i = 0; i < plies && i < int(m_plies.size()); ++i)
        p = p.play(m_plies[size_t(i)].move);
    return p;
}

cv::Mat GameScore::Picture(int ply)
{
    if (ply > m_last)
        return {}; // an earlier, longer game's

    auto found = m_pictures.find(ply);
    if (found == m_pictures.end()) {
        // A picture not there yet is asked for again next time: during a game it is still being written.
        cv::Mat picture = m_source(ply);
        if (picture.empty())
            return picture;
        found = m_pictures.emplace(ply, std::move(picture)).first;
        // The one farthest from this ply goes: reading runs forwards, and re-opening goes back a little.
        while (m_pictures.size() > kCachedPictures) {
            auto first = m_pictures.begin(), last = std::prev(m_pictures.end());
            m_pictures.erase(std::abs(first->first - ply) >= std::abs(last->first - ply) ? first : last);
        }
        found = m_pictures.find(ply);
    }
    return found->second;
}

const BoardCorners& GameScore::CornersAt(int ply) const
{
    ply = std::min(ply, int(m_plies.size()));
    return ply <= 0 ? m_corners : m_plies[size_t(ply - 1)].reading.corners;
}

std::optional<BoardVertical> GameScore::VerticalAt(int ply)
{
    ply = std::min(ply, int(m_plies.size()));
    if (ply > 0)
        return m_plies[size_t(ply - 1)].reading.vertical;
    if (!m_model) {
        // Learnt once, from the starting position, when its picture is there.
        const cv::Mat start = Picture(0);
        if (start.empty())
            return std::nullopt;
        m_model = LearnSetModel(start, m_corners);
    }
    return m_model->vertical;
}

std::optional<ScoredPly> GameScore::Read(int ply, const Position& position, const BoardCorners& corners,
                                         const std::optional<BoardVertical>& vertical)
{
    const cv::Mat before = Picture(ply - 1);
    const cv::Mat after = Picture(ply);
    if (before.empty() || after.empty() || position.legalMoves().empty())
        return std::nullopt;
    // Hands passing in either picture, where the pictures around them already tell.
    cv::Mat covered;
    for (const int p : {ply - 1, ply})
        if (const cv::Mat hands = Hands(p); !hands.empty())
            covered = covered.empty() ? hands.clone() : covered | hands;
    ScoredPly scored;
    scored.reading = RecognizeMove(before, after, position, corners, vertical, covered);
    // The evidence's pixels are for ranking the moves now: a whole game of them is too much to keep.
    scored.reading.changed.release();
    scored.reading.seen.release();
    scored.move = scored.reading.candidates.front().move;
    scored.uncertain = scored.reading.uncertain;
    return scored;
}

cv::Mat GameScore::Hands(int ply)
{
    if (ply < 1)
        return {};
    if (const auto found = m_hands.find(ply); found != m_hands.end())
        return found->second;
    const cv::Mat before = Picture(ply - 1), now = Picture(ply), after = Picture(ply + 1);
    if (before.empty() || now.empty() || after.empty())
        return {}; // not known yet
    const cv::Mat hands = Transient(before, now, after, CornersAt(ply - 1), VerticalAt(ply - 1));
    m_hands.emplace(ply, hands);
    while (m_hands.size() > kCachedPictures)
        m_hands.erase(m_hands.begin());
    return hands;
}

bool GameScore::ReadNext()
{
    const int ply = int(m_plies.size()) + 1;
    // The last ply's picture may have shown a hand that the picture after it shows gone: read it again
    // without what the hand covered.
    if (ply > 1 && !m_plies.back().chosen && m_hands.count(ply - 1) == 0 && !Hands(ply - 1).empty())
        if (std::optional<ScoredPly> again =
                Read(ply - 1, PositionAfter(ply - 2), CornersAt(ply - 2), VerticalAt(ply - 2)))
            m_plies.back() = std::move(*again);
    std::optional<ScoredPly> next = Read(ply, PositionAfter(ply - 1), CornersAt(ply - 1), VerticalAt(ply - 1));
    if (!next)
        return false;
    if (!m_plies.empty() && m_plies.back().uncertain && !m_plies.back().chosen &&
        std::count(m_plies.back().reading.hidden.begin(), m_plies.back().reading.hidden.end(), true) > 0)
        Uncover(*next);
    if (next->uncertain)
        Reopen(*next);
    m_plies.push_back(std::move(*next));
    return true;
}

int GameScore::ReadAll(int last)
{
    m_last = last;
    int read = 0;
    while (int(m_plies.size()) < last && ReadNext())
        ++read;
    return read;
}

double GameScore::LineScore(size_t first, const ScoredPly& next) const
{
    double score = ScoreOf(next);
    for (size_t i = first; i < m_plies.size(); ++i)
        score += ScoreOf(m_plies[i]);
    return score;
}

void GameScore::Reopen(ScoredPly& next)
{
    const size_t count = m_plies.size();
    // Every uncertain choice in reach is tried, and the line that gains most over the present one is
    // kept; a move the user chose is a fixed point nothing goes back past.
    double bestGain = 0;
    size_t bestFirst = 0;
    std::vector<ScoredPly> bestLine;
    for (size_t j = count; j-- > 0 && count - j <= kLookBack && !m_plies[j].chosen;) {
        if (!m_plies[j].uncertain)
            continue;
        const double present = LineScore(j, next);
        const std::vector<MoveCandidate>& candidates = m_plies[j].reading.candidates;
        size_t tried = 0;
        for (size_t c = 0; c < candidates.size() && tried < kAlternatives; ++c) {
            if (candidates[c].move == m_plies[j].move)
                continue;
            ++tried;
            std::vector<ScoredPly> line{m_plies[j]};
            line[0].move = candidates[c].move;
            double score = candidates[c].score;
            Position p = PositionAfter(int(j)).play(line[0].move);
            for (size_t i = j + 1; i <= count; ++i) {
                std::optional<ScoredPly> read = Read(int(i) + 1, p, line.back().reading.corners,
                                                               line.back().reading.vertical);
                if (!read) {
                    line.clear();
                    break;
                }
                score += ScoreOf(*read);
                p = p.play(read->move);
                line.push_back(std::move(*read));
            }
            if (!line.empty() && score - present > bestGain) {
                bestGain = score - present;
                bestFirst = j;
                bestLine = std::move(line);
            }
        }
    }
    if (!bestLine.empty()) {
        next = std::move(bestLine.back());
        bestLine.pop_back();
        std::move(bestLine.begin(), bestLine.end(), m_plies.begin() + std::ptrdiff_t(bestFirst));
    }
}

void GameScore::Uncover(ScoredPly& next)
{
    // The pictures on either side of the covered one, compared directly, show both plies' change: the
    // pair of moves that explains it best decides the covered ply.
    const int ply = int(m_plies.size());
    const cv::Mat before = Picture(ply - 1), after = Picture(ply + 1);
    const Position start = PositionAfter(ply - 1);
    const MoveReading both = RecognizeMove(before, after, start, CornersAt(ply - 1), VerticalAt(ply - 1));
    if (both.sight == BoardSight::Lost || both.sight == BoardSight::Covered)
        return;
    ScoredPly& covered = m_plies.back();
    double best = -1e9, runnerUp = -1e9;
    Move bestMove = covered.move;
    for (size_t c = 0; c < covered.reading.candidates.size() && c < kCoveredCandidates; ++c) {
        const Move first = covered.reading.candidates[c].move;
        const Position middle = start.play(first);
        double score = -1e9;
        for (const Move& second : middle.legalMoves())
            score = std::max(score, ChangeScore(both, start, middle.play(second)));
        if (middle.legalMoves().empty())
            score = ChangeScore(both, start, middle);
        if (score > best) {
            runnerUp = best;
            best = score;
            bestMove = first;
        } else {
            runnerUp = std::max(runnerUp, score);
        }
    }
    if (best - runnerUp < kCoveredLead)
        return;
    if (!(bestMove == covered.move)) {
        covered.move = bestMove;
        std::optional<ScoredPly> again = Read(ply + 1, start.play(bestMove), CornersAt(ply), VerticalAt(ply));
        if (!again)
            return;
        next = std::move(*again);
    }
    covered.uncertain = false;
}

bool GameScore::Choose(int ply, const Move& move)
{
    if (ply < 1 || ply > int(m_plies.size()) || !PositionAfter(ply - 1).isLegal(move))
        return false;
    const int read = int(m_plies.size());
    m_plies.resize(size_t(ply));
    ScoredPly& chosen = m_plies.back();
    chosen.move = move;
    chosen.chosen = true;
    chosen.uncertain = false;
    ReadAll(read);
    return true;
}
