#include "TimeControl.h"

#include "Words.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
constexpr int kMaxStages = 8;
constexpr int kMaxMoves = 999;
constexpr int kMaxStageSeconds = 24 * 3600 - 1;

/// A whole number of at most `max` from the whole of text; nothing for anything else.
std::optional<int> Number(std::string_view text, int max)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0 || value > max)
        return std::nullopt;
    return value;
}

bool Fail(std::string* error, std::string why)
{
    if (error)
        *error = std::move(why);
    return false;
}

bool ParseStage(std::string_view period, TimeStage& stage, std::string* error)
{
    const std::string quoted = "\"" + std::string(period) + "\"";
    if (period.empty())
        return Fail(error, Tr("TimeControl", "a period is empty"));
    if (period == "?" || period == "-" || period.front() == '*')
        return Fail(error, Arg(Tr("TimeControl", "%1 is not a clock this program can run"), {quoted}));
    if (const auto slash = period.find('/'); slash != std::string_view::npos) {
        const std::optional<int> moves = Number(period.substr(0, slash), kMaxMoves);
        if (!moves || *moves == 0)
            return Fail(error, Arg(Tr("TimeControl", "the move count of %1 is not a number from 1 to 999"),
                                   {quoted}));
        stage.moves = *moves;
        period.remove_prefix(slash + 1);
    }
    const auto plus = period.find('+');
    const std::optional<int> seconds = Number(period.substr(0, plus), kMaxStageSeconds);
    if (!seconds || *seconds == 0)
        return Fail(error,
                    Arg(Tr("TimeControl", "the seconds of %1 are not a number from 1 to 86399"), {quoted}));
    stage.seconds = *seconds;
    if (plus != std::string_view::npos) {
        const std::optional<int> bonus = Number(period.substr(plus + 1), static_cast<int>(kMaxDelaySeconds));
        if (!bonus)
            return Fail(error,
                        Arg(Tr("TimeControl", "the bonus of %1 is not a number from 0 to 3599"), {quoted}));
        stage.bonus = *bonus;
    }
    return true;
}

std::string Duration(double seconds)
{
    const long s = std::lround(seconds);
    if (s < 60)
        return Arg(Tr("TimeControl", "%1 s"), {std::to_string(s)});
    if (s % 60 == 0)
        return Arg(Tr("TimeControl", "%1 min"), {std::to_string(s / 60)});
    return Arg(Tr("TimeControl", "%1 min %2 s"), {std::to_string(s / 60), std::to_string(s % 60)});
}

/// A move's bonus after the given joint (" + " after one time, ", +" after stages); nothing for none.
std::string Bonus(DelayMode mode, double seconds, const char* joint = " + ")
{
    if (mode == DelayMode::None || seconds <= 0)
        return {};
    const std::string s = Duration(seconds);
    return joint + (mode == DelayMode::Bronstein ? Arg(Tr("TimeControl", "%1 Bronstein delay"), {s})
                    : mode == DelayMode::Simple  ? Arg(Tr("TimeControl", "%1 delay"), {s})
                                                 : s);
}
} // namespace

std::optional<std::vector<TimeStage>> ParseTimeControl(std::string_view text, std::string* error)
{
    std::vector<TimeStage> stages;
    for (std::size_t start = 0;;) {
        const std::size_t colon = text.find(':', start);
        TimeStage stage;
        if (!ParseStage(text.substr(start, colon == std::string_view::npos ? colon : colon - start), stage,
                        error))
            return std::nullopt;
        if (!stages.empty() && stages.back().moves == 0)
            return Fail(error, Tr("TimeControl", "only the last period can be for the rest of the game")),
                   std::nullopt;
        stages.push_back(stage);
        if (stages.size() > kMaxStages)
            return Fail(error, Tr("TimeControl", "more than 8 periods")), std::nullopt;
        if (colon == std::string_view::npos)
            return stages;
        start = colon + 1;
    }
}

TimeControl MakeTimeControl(std::string_view text, int delayType, int delayDelta, std::string* notice)
{
    TimeControl control;
    std::string said;
    const bool knownType = delayType >= 0 && delayType <= 3;
    if (!knownType)
        said = Arg(Tr("TimeControl", "DELAY_TYPE %1 is not 0 (none), 1 (increment), 2 (Bronstein) or "
                                     "3 (simple delay); the clocks run without one."),
                   {std::to_string(delayType)});
    const DelayMode mode = knownType ? static_cast<DelayMode>(delayType) : DelayMode::None;
    std::string why;
    if (text.empty()) {
        control.mode = mode;
        control.bonus = std::clamp<double>(delayDelta, 0, kMaxDelaySeconds);
    } else if (auto stages = ParseTimeControl(text, &why)) {
        control.stages = std::move(*stages);
        control.mode = mode == DelayMode::Bronstein || mode == DelayMode::Simple ? mode : DelayMode::Fischer;
    } else {
        said += (said.empty() ? "" : " ") +
                Arg(Tr("TimeControl", "TIME_CONTROL \"%1\" is not a time control (%2); the clocks use LTIME "
                                      "and RTIME."),
                    {std::string(text), why});
        control.mode = mode;
        control.bonus = std::clamp<double>(delayDelta, 0, kMaxDelaySeconds);
    }
    if (notice)
        *notice = said;
    return control;
}

std::optional<DelayChoice> ChooseDelay(std::string_view text, int delayType, int delayDelta)
{
    if (text.empty())
        return DelayChoice{0, delayDelta};
    const auto stages = ParseTimeControl(text);
    if (!stages)
        return std::nullopt;
    const int bonus = static_cast<int>(stages->front().bonus);
    DelayChoice choice{delayType, delayDelta};
    if (delayType != 2 && delayType != 3)
        choice.type = bonus > 0 ? 1 : 0;
    if (bonus > 0)
        choice.delta = bonus;
    return choice;
}

StagePosition StageAt(const TimeControl& control, int movesMade)
{
    int firstMove = 0; // moves made before the stage begins
    for (std::size_t i = 0; i < control.stages.size(); ++i) {
        const int moves = control.stages[i].moves;
        if (moves == 0)
            return {static_cast<int>(i), 0};
        if (movesMade < firstMove + moves)
            return {static_cast<int>(i), firstMove + moves - movesMade};
        if (i + 1 == control.stages.size()) // the last stage repeats
            return {static_cast<int>(i), moves - (movesMade - firstMove) % moves};
        firstMove += moves;
    }
    return {0, 0};
}

std::optional<double> StartSeconds(const TimeControl& control)
{
    if (control.stages.empty())
        return std::nullopt;
    return control.stages.front().seconds;
}

namespace {
double TurnBonus(const TimeControl& control, int movesMade)
{
    return control.stages.empty() ? control.bonus : control.stages[StageAt(control, movesMade).index].bonus;
}
} // namespace

double ChargeFor(const TimeControl& control, int movesMade, double turnElapsed, double interval)
{
    if (control.mode != DelayMode::Simple)
        return interval;
    // Only the part of the interval past the delay counts.
    const double delay = TurnBonus(control, movesMade);
    return std::max(0.0, turnElapsed + interval - std::max(delay, turnElapsed));
}

double DelayLeft(const TimeControl& control, int movesMade, double turnElapsed)
{
    return control.mode == DelayMode::Simple ? std::max(0.0, TurnBonus(control, movesMade) - turnElapsed)
                                             : 0.0;
}

double CreditAtPress(const TimeControl& control, int movesMade, double used)
{
    const double bonus = TurnBonus(control, movesMade);
    double credit = control.mode == DelayMode::Fischer     ? bonus
                    : control.mode == DelayMode::Bronstein ? std::clamp(used, 0.0, bonus)
                                                           : 0.0;
    const StagePosition at = StageAt(control, movesMade);
    if (at.movesLeft == 1) {
        const std::size_t next = std::min<std::size_t>(at.index + 1, control.stages.size() - 1);
        credit += control.stages[next].seconds;
    }
    return credit;
}

std::string DescribeTimeControl(const TimeControl& control, double leftPreset, double rightPreset)
{
    const auto clocks = [&] {
        std::string times = Duration(std::floor(leftPreset));
        if (std::floor(leftPreset) != std::floor(rightPreset))
            times += " / " + Duration(std::floor(rightPreset));
        return times;
    };
    if (control.stages.empty())
        return clocks() + Bonus(control.mode, control.bonus);
    const auto& stages = control.stages;
    const bool oneBonus = std::all_of(stages.begin(), stages.end(),
                                      [&](const TimeStage& s) { return s.bonus == stages.front().bonus; });
    // The clocks' own start where the arrows have set one: "40 moves in 100 min / 90 min, then ...".
    const double first = stages.front().seconds;
    const std::string start =
        leftPreset > 0 && (leftPreset != first || rightPreset != first) ? clocks() : Duration(first);
    std::string words;
    for (const TimeStage& s : stages) {
        const std::string time = &s == &stages.front() ? start : Duration(s.seconds);
        if (!words.empty())
            words += Tr("TimeControl", ", then ");
        words +=
            s.moves > 0 ? Arg(Tr("TimeControl", "%1 moves in %2"), {std::to_string(s.moves), time}) : time;
        if (!oneBonus)
            words += Bonus(control.mode, s.bonus);
    }
    if (stages.back().moves > 0)
        words += Tr("TimeControl", ", repeated");
    // As players write it: "40 moves in 90 min, then 30 min, +30 s".
    if (oneBonus)
        words += Bonus(control.mode, stages.front().bonus, stages.size() > 1 ? ", +" : " + ");
    return words;
}
