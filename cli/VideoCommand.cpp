#include "VideoCommand.h"

#include "GameRecord.h"
#include "Media.h"
#include "PictureNames.h"
#include "Settings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {
/// The texts of the video without a window, translated as one context.
struct VideoCommand {
    Q_DECLARE_TR_FUNCTIONS(VideoCommand)
};

void PrintError(const QString& text)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}
} // namespace

QString VideoOpenError(const VideoAssembler& assembler, VideoAssembler::OpenResult result, const QString& dir)
{
    switch (result) {
    case VideoAssembler::OpenResult::FirstPictureMissing:
        return VideoCommand::tr("Error. Can't find %1 in %2!")
            .arg(QString::fromStdString(assembler.FirstPictureName()), dir);
    case VideoAssembler::OpenResult::WriterFailed:
        return VideoCommand::tr("Error. Can't write %1!")
            .arg(QString::fromStdU16String(assembler.VideoPath().u16string()));
    case VideoAssembler::OpenResult::Ready:
        break;
    }
    return {};
}

QString VideoFinishError(const VideoAssembler& assembler, VideoAssembler::FinishResult result,
                         const QString& dir, bool stopped)
{
    switch (result) {
    case VideoAssembler::FinishResult::Failed:
        return VideoOpenError(assembler, VideoAssembler::OpenResult::WriterFailed, dir);
    case VideoAssembler::FinishResult::KeptOld:
        if (assembler.FailedPly() > 0)
            return VideoCommand::tr("Error. %1 is missing or broken: no video was made, and the last "
                                    "output.avi is as it was.")
                .arg(QString::fromStdString(FormatPictureName(assembler.Game(), assembler.FailedPly())));
        if (!stopped)
            return VideoCommand::tr("Error. Game %1 has no ply to show: no video was made, and the last "
                                    "output.avi is as it was.")
                .arg(assembler.Game());
        break;
    case VideoAssembler::FinishResult::Replaced:
        break;
    }
    return {};
}

int GamePlies(const std::string& folderUtf8, int game)
{
    std::ifstream in(ToNarrowPath(folderUtf8, FormatRecordName(game)));
    const std::vector<PlyRecord> record = ParseGameRecord(in);
    if (!record.empty())
        return std::max_element(record.begin(), record.end(),
                                [](const PlyRecord& a, const PlyRecord& b) { return a.ply < b.ply; })
            ->ply;
    int plies = 0;
    while (std::filesystem::exists(ToNarrowPath(folderUtf8, FormatPictureName(game, plies + 1))))
        ++plies;
    return plies;
}

void AddVideoOptions(QCommandLineParser& parser)
{
    parser.addOption(
        {QStringLiteral("video"),
         VideoCommand::tr("Make output.avi and output.srt from a game's pictures in DIR, without a window."),
         VideoCommand::tr("DIR")});
    parser.addOption({QStringLiteral("game"), VideoCommand::tr("With --video or --pgn: the game's number."),
                      VideoCommand::tr("N")});
    parser.addOption(
        {QStringLiteral("plies"),
         VideoCommand::tr("With --video: the game's plies (default: the last in the game's record, or "
                          "without one up to the last picture there is)."),
         VideoCommand::tr("K")});
}

int RunVideoCommand(const QCommandLineParser& parser)
{
    bool gameOk = false;
    bool pliesOk = true;
    const int game = parser.value(QStringLiteral("game")).toInt(&gameOk);
    int plies =
        parser.isSet(QStringLiteral("plies")) ? parser.value(QStringLiteral("plies")).toInt(&pliesOk) : -1;
    const QString dir = NormaliseDir(parser.value(QStringLiteral("video")));
    if (dir.isEmpty() || !gameOk || game < 0 || !pliesOk ||
        (parser.isSet(QStringLiteral("plies")) && plies < 0) || !parser.positionalArguments().isEmpty()) {
        PrintError(VideoCommand::tr(
            "Usage: orvelle --video DIR --game N [--plies K], with N and K whole numbers from 0"));
        return 2;
    }
    if (!QFileInfo(dir).isDir()) {
        PrintError(VideoCommand::tr("Error. There is no folder %1").arg(dir));
        return 2;
    }
    const std::string folder = dir.toStdString();
    if (plies < 0)
        plies = GamePlies(folder, game);
    // Only VIDEO_CLOCKS is used, from --settings FILE when given, and it has its default.
    Settings settings;
    const QString settingsFile =
        parser.isSet(QStringLiteral("settings")) ? parser.value(QStringLiteral("settings")) : QString();
    (settingsFile.isEmpty() ? SettingsStore() : SettingsStore(settingsFile)).LoadSettings(settings);

    if (!LoadMedia())
        return 1; // it has said why
    VideoAssembler assembler(folder, game, plies, 2.0, settings.m_bVideoClocks);
    const QString openError = VideoOpenError(assembler, assembler.Open(), dir);
    if (!openError.isEmpty()) {
        PrintError(openError);
        return 1;
    }
    const std::atomic<bool> stop{false};
    assembler.Assemble(
        [](int progress) {
            std::printf("\r%s",
                        qUtf8Printable(VideoCommand::tr("Making output.avi: %1%").arg(progress / 10, 3)));
            std::fflush(stdout);
        },
        stop);
    std::printf("\n");
    if (const VideoAssembler::FinishResult result = assembler.Finish();
        result != VideoAssembler::FinishResult::Replaced) {
        PrintError(VideoFinishError(assembler, result, dir, false));
        return 1;
    }
    std::printf(
        "%s\n",
        qUtf8Printable(
            VideoCommand::tr("Video (output.avi) created: %1 frames of %2 x %3, %4 s, with output.srt, in %5")
                .arg(assembler.Frames())
                .arg(assembler.FrameSize().width)
                .arg(assembler.FrameSize().height)
                .arg(assembler.Frames() / 2.0, 0, 'f', 1)
                .arg(dir)));
    if (assembler.FailedPly() > 0) {
        PrintError(VideoCommand::tr("Error. %1 is missing or broken: the video ends before it.")
                       .arg(QString::fromStdString(FormatPictureName(game, assembler.FailedPly()))));
        return 1;
    }
    return 0;
}
