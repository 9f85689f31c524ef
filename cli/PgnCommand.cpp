#include "PgnCommand.h"

#include "BoardFinder.h"
#include "Media.h"
#include "PictureNames.h"
#include "ScoreSheet.h"
#include "Settings.h"
#include "TimeControl.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {
/// The texts of the game score without a window, translated as one context.
struct PgnCommand {
    Q_DECLARE_TR_FUNCTIONS(PgnCommand)
};

void PrintError(const QString& text)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}
} // namespace

void AddPgnOptions(QCommandLineParser& parser)
{
    parser.addOption(
        {QStringLiteral("pgn"),
         PgnCommand::tr("Read the moves of a game from its pictures in DIR and write gameNN.pgn there, "
                        "without a window."),
         QStringLiteral("DIR")});
    parser.addOption(
        {QStringLiteral("board"),
         PgnCommand::tr("With --pgn: the board's corners a1, h1, h8, a8 in the pictures, as fractions of "
                        "their width and height (default: BOARD from the settings, else found on the "
                        "starting position)."),
         QStringLiteral("a1x,a1y,h1x,h1y,h8x,h8y,a8x,a8y")});
}

int RunPgnCommand(const QCommandLineParser& parser)
{
    bool gameOk = false;
    const int game = parser.value(QStringLiteral("game")).toInt(&gameOk);
    const QString dir = NormaliseDir(parser.value(QStringLiteral("pgn")));
    std::optional<BoardCorners> corners;
    if (parser.isSet(QStringLiteral("board"))) {
        corners = ParseBoardCorners(parser.value(QStringLiteral("board")).toStdString());
        if (!corners) {
            PrintError(
                PgnCommand::tr(
                    "--board needs eight fractions from 0 to 1, the corners a1, h1, h8 and a8 in turn, "
                    "not '%1'")
                    .arg(parser.value(QStringLiteral("board"))));
            return 2;
        }
    }
    if (dir.isEmpty() || !gameOk || game < 0 || parser.isSet(QStringLiteral("plies"))) {
        PrintError(PgnCommand::tr(
            "Usage: orvelle --pgn DIR --game N [--board a1x,a1y,h1x,h1y,h8x,h8y,a8x,a8y], with N a "
            "whole number from 0"));
        return 2;
    }
    if (!QFileInfo(dir).isDir()) {
        PrintError(PgnCommand::tr("Error. There is no folder %1").arg(dir));
        return 2;
    }
    Settings settings;
    const QString settingsFile = parser.value(QStringLiteral("settings"));
    // Without the clocks' values read (no settings yet), only TIME_CONTROL tells the time control.
    const bool loaded =
        (settingsFile.isEmpty() ? SettingsStore() : SettingsStore(settingsFile)).LoadSettings(settings);
    const TimeControl control = MakeTimeControl(settings.m_strTimeControl.toStdString(),
                                                settings.m_nDelayType, settings.m_nDelayDelta);
    const std::optional<double> first = StartSeconds(control);
    const std::string timeControl = loaded || first
                                        ? PgnTimeControl(control, first.value_or(settings.m_fLeftPreset),
                                                         first.value_or(settings.m_fRightPreset))
                                        : std::string();

    if (!LoadMedia())
        return 1; // it has said why
    const std::string folder = dir.toStdString();
    const std::string startName = FormatPictureName(game, 0);
    const cv::Mat start = GamePictures(folder, game)(0);
    if (start.empty()) {
        PrintError(PgnCommand::tr("Error. Can't find %1 in %2!").arg(QString::fromStdString(startName), dir));
        return 1;
    }
    if (!corners && !settings.m_strBoard.isEmpty()) {
        corners = ParseBoardCorners(settings.m_strBoard.toStdString());
        if (!corners)
            PrintError(PgnCommand::tr(
                           "The BOARD setting '%1' is not eight fractions: the board is looked for instead.")
                           .arg(settings.m_strBoard));
    }
    const bool found = !corners;
    if (!corners)
        corners = FindBoardCorners(start);
    if (!corners) {
        PrintError(
            PgnCommand::tr("Error. No board can be seen on %1: give its corners with --board, or set BOARD.")
                .arg(QString::fromStdString(startName)));
        return 1;
    }

    // In the form --board takes, so that a board found can be checked and given again.
    const QString cornersText = QString::fromStdString(FormatBoardCorners(*corners));
    std::printf("%s\n", qUtf8Printable(found ? PgnCommand::tr("The board, found on %1: --board %2")
                                                   .arg(QString::fromStdString(startName), cornersText)
                                             : PgnCommand::tr("The board: --board %1").arg(cornersText)));

    // A score written during the game holds what the pictures cannot tell again: the moves a player chose
    // by hand, a flag the clock saw fall, and the time control the clocks were set to.
    const PgnNotes notes = ReadScoreNotes(folder, game);
    ScoreSheet sheet(folder, game, *corners, notes.timeControl.empty() ? timeControl : notes.timeControl);
    GameScore& score = sheet.Score();
    // The game's record knows its plies: pictures after them are an earlier, longer game's.
    const std::vector<PlyRecord> record = sheet.ReadRecord();
    // The plies are printed once all are read: a later picture may have changed an earlier move.
    const int read = record.empty() ? score.ReadAll() : score.ReadAll(int(record.size()));
    for (const auto& [ply, move] : notes.chosen)
        if (ply <= read)
            score.Choose(ply, move);
    int uncertain = 0;
    for (int ply = 1; ply <= read; ++ply) {
        std::printf("%s\n", PlyText(score, ply, true).c_str());
        // What the camera saw of the board, when it was not the whole board where it was.
        const MoveReading& reading = score.Plies()[size_t(ply - 1)].reading;
        const QString picture = QString::fromStdString(FormatPictureName(game, ply));
        if (reading.sight == BoardSight::Covered)
            std::printf("%s\n",
                        qUtf8Printable(PgnCommand::tr("  the board is partly covered on %1").arg(picture)));
        else if (reading.sight == BoardSight::Moved)
            std::printf("%s\n",
                        qUtf8Printable(
                            PgnCommand::tr("  the camera moved before %1: the board is now at %2")
                                .arg(picture, QString::fromStdString(FormatBoardCorners(reading.corners)))));
        else if (reading.sight == BoardSight::Lost)
            std::printf("%s\n",
                        qUtf8Printable(PgnCommand::tr("  the board cannot be seen on %1").arg(picture)));
        uncertain += score.Plies()[size_t(ply - 1)].uncertain;
    }
    const PgnGame pgn = sheet.Game(record, notes.flagFallen);
    if (const QString error = sheet.Write(WritePgn(pgn)); !error.isEmpty()) {
        PrintError(error);
        return 1;
    }
    std::printf("%s\n", qUtf8Printable(PgnCommand::tr("%1 written: %2 plies, %3 uncertain, result %4")
                                           .arg(QString::fromStdString(sheet.FileName()))
                                           .arg(read)
                                           .arg(uncertain)
                                           .arg(QString::fromStdString(PgnResult(pgn)))));
    // Plies the clock recorded but whose pictures cannot be read leave the score short: not a success.
    const bool over = score.PositionAfter(read).legalMoves().empty();
    auto exists = [&](int ply) {
        return std::filesystem::exists(ToNarrowPath(folder, FormatPictureName(game, ply)));
    };
    if (!over && (int(record.size()) > read || (record.empty() && (exists(read + 1) || exists(read + 2))))) {
        PrintError(PgnCommand::tr("Error. %1 is missing or cannot be read: the score ends before it.")
                       .arg(QString::fromStdString(FormatPictureName(game, read + 1))));
        return 1;
    }
    return 0;
}
