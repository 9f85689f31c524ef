#pragma once

#include "BoardGeometry.h"
#include "MoveRecognizer.h"
#include "Position.h"
#include "SetModel.h"

#include <functional>
#include <limits>
#include <map>
#include <opencv2/core.hpp>
#include <vector>

/// A game's pictures by ply: 0 is the starting position, then one per ply. An empty picture when there
/// is none (yet).
using PictureSource = std::function<cv::Mat(int ply)>;

/// One ply of a score read from the pictures.
struct ScoredPly {
    Move move;
    MoveReading reading; ///< what the pictures said, read in the position the score had reached
    bool uncertain = true;
    bool chosen = false; ///< the user picked the move: the pictures no longer decide it
};

/// A game's moves read from its pictures, one ply at a time, each through `RecognizeMove` in the
/// position the moves before it reach. A picture that no move of the current line explains re-opens the
/// uncertain choices shortly before it: their other candidates are tried, and the line whose moves
/// explain the pictures better is kept. A move the pictures do not settle stays marked uncertain.
class GameScore {
public:
    GameScore(const BoardCorners& corners, PictureSource pictures, Position start = Position::Start());

    /// Reads the next ply; false when its picture (or the one before) is missing or the game is over.
    bool ReadNext();
    /// Reads plies while there are pictures, up to ply `last`; returns how many were read. A limit keeps
    /// out pictures that are not this game's yet: an earlier, longer game of the same number leaves
    /// its later pictures in the folder. No picture after `last` is looked at until a later call allows it.
    int ReadAll(int last = std::numeric_limits<int>::max());
    /// Puts the user's move at a ply (from 1), which must be one of its candidates, and reads the later
    /// plies again from their pictures, as far as they had been read. False when the move is not legal
    /// there.
    bool Choose(int ply, const Move& move);

    const std::vector<ScoredPly>& Plies() const { return m_plies; }
    const Position& Start() const { return m_start; }
    /// The position after the first `plies` plies.
    Position PositionAfter(int plies) const;
    /// Where the board lies in the picture of ply `ply` (0: the starting position), as far as read.
    const BoardCorners& CornersAt(int ply) const;

private:
    /// The picture from the cache or the source (a header copy: the cache may drop it at the next call).
    cv::Mat Picture(int ply);
    /// Reads ply `ply` in `position`, from the board at `corners` in the picture before it; nothing when
    /// a picture is missing or no move is legal.
    std::optional<ScoredPly> Read(int ply, const Position& position, const BoardCorners& corners,
                                  const std::optional<BoardVertical>& vertical);
    /// Where the camera shows height in the picture of ply `ply`, as far as read; from the starting
    /// position's model before the first.
    std::optional<BoardVertical> VerticalAt(int ply);
    /// The hands passing in the picture of ply `ply` (see Transient), once the picture after it is there.
    cv::Mat Hands(int ply);
    /// Decides a covered ply, the last read, from the pictures before and after it, now that `next` is read.
    void Uncover(ScoredPly& next);
    /// The evidence for the plies from `first` on: each move's score in its reading.
    double LineScore(size_t first, const ScoredPly& next) const;
    /// Tries the other candidates of the uncertain plies before `next`, keeping the better line.
    void Reopen(ScoredPly& next);

    BoardCorners m_corners;
    PictureSource m_source;
    Position m_start;
    std::vector<ScoredPly> m_plies;
    std::map<int, cv::Mat> m_pictures; // the few most recent, for reading again
    std::optional<SetModel> m_model;   // learnt from the starting picture
    std::map<int, cv::Mat> m_hands;    // hands passing in the pictures, by ply, once known
    int m_last = std::numeric_limits<int>::max(); // the last ply of this game's pictures, as far as told
};
