#include "ScoreSheet.h"

#include "Media.h"
#include "Notation.h"
#include "PictureNames.h"
#include "TimeControl.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QSaveFile>
#include <cmath>
#include <fstream>
#include <map>

namespace {
// The other candidates an uncertain move lists: the true move is nearly always among the first few.
constexpr size_t kShownCandidates = 3;

QString PathOf(const std::string& folder, const std::string& name)
{
    return QString::fromStdU16String(ToNarrowPath(folder, name).u16string());
}

std::vector<Move> OtherCandidates(const ScoredPly& ply)
{
    std::vector<Move> others;
    for (const MoveCandidate& c : ply.reading.candidates)
        if (!(c.move == ply.move) && others.size() < kShownCandidates)
            others.push_back(c.move);
    return others;
}
} // namespace

std::string PgnTimeControl(const TimeControl& control, double leftStart, double rightStart)
{
    const bool increments = control.mode != DelayMode::Bronstein && control.mode != DelayMode::Simple;
    const auto period = [increments](double seconds, double bonus) {
        std::string text = std::to_string(std::lround(seconds));
        if (increments && bonus > 0)
            text += "+" + std::to_string(std::lround(std::min(bonus, kMaxDelaySeconds)));
        return text;
    };
    std::string text;
    for (const TimeStage& stage : control.stages)
        text += (text.empty() ? "" : ":") +
                (stage.moves > 0 ? std::to_string(stage.moves) + "/" : std::string()) +
                period(stage.seconds, stage.bonus);
    if (!text.empty())
        return text;
    if (std::lround(leftStart) != std::lround(rightStart))
        return "?";
    return period(leftStart, control.mode == DelayMode::Fischer ? control.bonus : 0.0);
}

PictureSource GamePictures(const std::string& folder, int game)
{
    return [folder, game](int ply) {
        const std::filesystem::path path = ToNarrowPath(folder, FormatPictureName(game, ply));
        // Read through the file's bytes: imread takes a narrow path, which may not hold every folder name.
        std::ifstream in(path, std::ios::binary);
        const std::vector<uchar> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
        const Media* media = LoadMedia();
        try {
            return bytes.empty() || !media ? cv::Mat() : media->DecodeImage(bytes);
        } catch (const cv::Exception&) {
            return cv::Mat();
        }
    };
}

PgnNotes ReadScoreNotes(const std::string& folder, int game)
{
    std::ifstream in(ToNarrowPath(folder, FormatScoreName(game)), std::ios::binary);
    return ReadPgnNotes(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

std::string PlyText(const GameScore& score, int ply, bool marked)
{
    const Position before = score.PositionAfter(ply - 1);
    const ScoredPly& scored = score.Plies()[size_t(ply - 1)];
    std::string text = std::to_string(before.fullmoveNumber()) +
                       (before.sideToMove() == Colour::White ? ". " : "... ") + ToSan(before, scored.move);
    if (marked && scored.uncertain) {
        text += " ?";
        for (const Move& m : OtherCandidates(scored))
            text += " " + ToSan(before, m);
    }
    return text;
}

ScoreSheet::ScoreSheet(std::string folder, int game, const BoardCorners& corners, std::string timeControl)
    : m_folder(std::move(folder)), m_game(game), m_timeControl(std::move(timeControl)),
      m_score(corners, GamePictures(m_folder, game))
{}

std::string ScoreSheet::FileName() const
{
    return FormatScoreName(m_game);
}

std::vector<PlyRecord> ScoreSheet::ReadRecord() const
{
    std::ifstream in(ToNarrowPath(m_folder, FormatRecordName(m_game)));
    return ParseGameRecord(in);
}

PgnGame ScoreSheet::Game(const std::vector<PlyRecord>& record, std::optional<Colour> flagFallen) const
{
    PgnGame game;
    game.timeControl = m_timeControl;
    const auto tag = [](const std::string& value) { return value.empty() ? std::string("?") : value; };
    game.white = tag(m_details.white);
    game.black = tag(m_details.black);
    game.event = tag(m_details.event);
    game.site = tag(m_details.site);
    game.round = tag(m_details.round);
    game.board = m_details.board;
    // The game's day: when its first picture was taken.
    for (int first : {0, 1}) {
        const QFileInfo picture(PathOf(m_folder, FormatPictureName(m_game, first)));
        if (picture.exists()) {
            game.date = picture.lastModified().date().toString(QStringLiteral("yyyy.MM.dd")).toStdString();
            break;
        }
    }
    std::map<int, const PlyRecord*> byPly;
    for (const PlyRecord& r : record)
        byPly[r.ply] = &r;
    const std::vector<ScoredPly>& plies = m_score.Plies();
    for (size_t i = 0; i < plies.size(); ++i) {
        PgnPly ply{plies[i].move, {}, {}, plies[i].uncertain, {}, plies[i].chosen};
        if (plies[i].uncertain)
            ply.candidates = OtherCandidates(plies[i]);
        if (const auto found = byPly.find(int(i) + 1); found != byPly.end()) {
            const PlyRecord& r = *found->second;
            ply.clock = r.leftMoved ? r.leftTime : r.rightTime;
            ply.used = r.used;
        }
        game.plies.push_back(std::move(ply));
    }
    game.flagFallen = flagFallen;
    for (const PlyRecord& r : record) {
        if (game.flagFallen)
            break;
        // White moves on odd plies: the start press is Black's.
        // An increment can bring a fallen clock back above zero: the record says so itself, or, written
        // by an earlier version without that column, shows a clock that stayed at or below zero.
        if (r.flagged || (r.leftMoved ? r.leftTime : r.rightTime) <= 0.0)
            game.flagFallen = r.ply % 2 == 1 ? Colour::White : Colour::Black;
    }
    return game;
}

QString ScoreSheet::Write(const std::string& text) const
{
    const QString path = PathOf(m_folder, FileName());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), qint64(text.size())) != qint64(text.size()) || !file.commit())
        return QCoreApplication::translate("ScoreSheet", "%1 could not be written: %2")
            .arg(path, file.errorString());
    return {};
}
