#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// What a turn's bonus seconds mean: the values of DELAY_TYPE.
enum class DelayMode { None = 0, Fischer = 1, Bronstein = 2, Simple = 3 };

/// One period of a game: the moves it lasts (0: the rest of the game), the seconds its start adds
/// to the clock, and the bonus of each of its moves (an increment or a delay).
struct TimeStage {
    int moves = 0;
    double seconds = 0;
    double bonus = 0;
    bool operator==(const TimeStage&) const = default;
};

/// A game's time control. Without stages the clocks start from their presets (LTIME, RTIME, the
/// arrows) and every move has `bonus` seconds of `mode`. A last stage with a move count repeats.
struct TimeControl {
    std::vector<TimeStage> stages;
    DelayMode mode = DelayMode::None;
    double bonus = 0;
    bool operator==(const TimeControl&) const = default;
};

inline constexpr double kMaxDelaySeconds = 3599.0;

/// Parses the PGN TimeControl syntax: periods separated by ':', each "[moves/]seconds[+bonus]"
/// ("300", "180+2", "40/5400+30:1800+30"). On failure returns nothing and says why in error.
std::optional<std::vector<TimeStage>> ParseTimeControl(std::string_view text, std::string* error = nullptr);

/// The control the settings describe: TIME_CONTROL's stages when the text is not empty and parses,
/// their bonus a delay when DELAY_TYPE is 2 or 3 and an increment otherwise; else the presets with
/// DELAY_TYPE's mode and DELAY_DELTA (clamped to 0..3599). notice gets what the user must be told:
/// a TIME_CONTROL that does not parse, a DELAY_TYPE that is no mode (both then act as absent).
TimeControl MakeTimeControl(std::string_view text, int delayType, int delayDelta,
                            std::string* notice = nullptr);

/// DELAY_TYPE and DELAY_DELTA as they go with a chosen time control.
struct DelayChoice {
    int type = 0;
    int delta = 0;
};

/// What choosing the control `text` makes of DELAY_TYPE and DELAY_DELTA: an empty text (the times set
/// with the arrows) runs without a delay; a stage's +N is an increment unless the settings chose a delay
/// (2 or 3) for it, and becomes DELAY_DELTA. Nothing when the text does not parse.
std::optional<DelayChoice> ChooseDelay(std::string_view text, int delayType, int delayDelta);

/// Where a side stands after it has made movesMade moves: the stage of its next move, and the moves
/// left to the next time control including that one (0 when no control follows).
struct StagePosition {
    int index = 0;
    int movesLeft = 0;
};
StagePosition StageAt(const TimeControl& control, int movesMade);

/// The seconds a clock starts a game with; nothing when the presets decide.
std::optional<double> StartSeconds(const TimeControl& control);

/// The part of an interval the running clock loses, turnElapsed seconds into a turn after movesMade
/// moves: all of it, except during a simple delay's first seconds.
double ChargeFor(const TimeControl& control, int movesMade, double turnElapsed, double interval);

/// The seconds of a simple delay still to go, turnElapsed seconds into a turn; 0 in the other modes.
double DelayLeft(const TimeControl& control, int movesMade, double turnElapsed);

/// What a clock gains when its player ends a turn that took `used` seconds, having made movesMade
/// moves before it: the increment, the Bronstein refund (at most the delay), and the next stage's
/// time when this move completes a stage.
double CreditAtPress(const TimeControl& control, int movesMade, double used);

/// The control in words, as players write it: "5 min + 3 s", "40 moves in 90 min, then 30 min, +30 s".
/// The clocks start from the presets: without stages always, with stages when the arrows have set them
/// to other times than the first stage's ("4 min / 3 min + 2 s"). Presets of 0: the control alone.
std::string DescribeTimeControl(const TimeControl& control, double leftPreset = 0, double rightPreset = 0);
