#pragma once

#include "VideoAssembler.h"

#include <QString>
#include <optional>

class QCommandLineParser;

/// Why a video could not be made, as the dialog and the command line say it; empty when Open succeeded.
QString VideoOpenError(const VideoAssembler& assembler, VideoAssembler::OpenResult result,
                       const QString& dir);

/// Why a finished assembly made no video, as the dialog and the command line say it: a file that could
/// not be written, or no frame at all; empty when the video was made, or when a stop before the first
/// frame kept the older one.
QString VideoFinishError(const VideoAssembler& assembler, VideoAssembler::FinishResult result,
                         const QString& dir, bool stopped);

/// The plies of a game whose count the user did not give: those of its record "gameNN.tsv" (pictures
/// beyond them are an earlier, longer game's of the same number), else up to the last picture there is.
int GamePlies(const std::string& folderUtf8, int game);

/// Adds --video DIR, --game N and --plies K to a command line.
void AddVideoOptions(QCommandLineParser& parser);

/// Makes the video that a parsed command line with --video asks for, with no window and no display:
/// progress on one line and a summary on stdout, the reason for a failure on stderr. Returns the exit
/// code: 0 made, 1 the pictures or the writer failed, 2 bad arguments.
int RunVideoCommand(const QCommandLineParser& parser);
