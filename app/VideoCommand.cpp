#include "VideoCommand.h"

#include "PictureNames.h"
#include "Settings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

namespace {
void PrintError(const QString& text)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}
} // namespace

QString VideoOpenError(const VideoAssembler& assembler, VideoAssembler::OpenResult result, const QString& dir)
{
    switch (result) {
    case VideoAssembler::OpenResult::FirstPictureMissing:
        return QStringLiteral("Error. Can't find %1 in %2!")
            .arg(QString::fromStdString(assembler.FirstPictureName()), dir);
    case VideoAssembler::OpenResult::WriterFailed:
        return QStringLiteral("Error. Can't write %1!")
            .arg(QString::fromStdU16String(assembler.VideoPath().u16string()));
    case VideoAssembler::OpenResult::Ready:
        break;
    }
    return {};
}

void AddVideoOptions(QCommandLineParser& parser)
{
    parser.addOption(
        {QStringLiteral("video"),
         QStringLiteral("Make output.avi and output.srt from a game's pictures in DIR, without a window."),
         QStringLiteral("DIR")});
    parser.addOption(
        {QStringLiteral("game"), QStringLiteral("With --video or --pgn: the game's number."), QStringLiteral("N")});
    parser.addOption(
        {QStringLiteral("plies"),
         QStringLiteral("With --video: the game's plies (default: up to the last picture there is)."),
         QStringLiteral("K")});
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
        PrintError(QStringLiteral(
            "Usage: orvelle --video DIR --game N [--plies K], with N and K whole numbers from 0"));
        return 2;
    }
    if (!QFileInfo(dir).isDir()) {
        PrintError(QStringLiteral("Error. There is no folder %1").arg(dir));
        return 2;
    }
    const std::string folder = dir.toStdString();
    if (plies < 0) {
        plies = 0;
        while (std::filesystem::exists(ToNarrowPath(folder, FormatPictureName(game, plies + 1))))
            ++plies;
    }
    // Only VIDEO_CLOCKS is used, from --settings FILE when given, and it has its default.
    Settings settings;
    const QString settingsFile = parser.isSet(QStringLiteral("settings")) ? parser.value(QStringLiteral("settings"))
                                                                           : QString();
    (settingsFile.isEmpty() ? SettingsStore() : SettingsStore(settingsFile)).LoadSettings(settings);

    VideoAssembler assembler(folder, game, plies, 2.0, settings.m_bVideoClocks);
    const QString openError = VideoOpenError(assembler, assembler.Open(), dir);
    if (!openError.isEmpty()) {
        PrintError(openError);
        return 1;
    }
    const std::atomic<bool> stop{false};
    assembler.Assemble(
        [](int progress) {
            std::printf("\rMaking output.avi: %3d%%", progress / 10);
            std::fflush(stdout);
        },
        stop);
    std::printf("\n");
    if (assembler.Finish() != VideoAssembler::FinishResult::Replaced) {
        PrintError(VideoOpenError(assembler, VideoAssembler::OpenResult::WriterFailed, dir));
        return 1;
    }
    std::printf("Video (output.avi) created: %d frames of %d x %d, %.1f s, with output.srt, in %s\n",
                assembler.Frames(), assembler.FrameSize().width, assembler.FrameSize().height,
                assembler.Frames() / 2.0, qUtf8Printable(dir));
    if (assembler.FailedPly() > 0) {
        PrintError(QStringLiteral("Error. %1 is missing or broken: the video ends before it.")
                       .arg(QString::fromStdString(FormatPictureName(game, assembler.FailedPly()))));
        return 1;
    }
    return 0;
}
