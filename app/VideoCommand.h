#pragma once

#include "VideoAssembler.h"

#include <QString>
#include <optional>

class QCommandLineParser;

/// Why a video could not be made, as the dialog and the command line say it; empty when Open succeeded.
QString VideoOpenError(const VideoAssembler& assembler, VideoAssembler::OpenResult result,
                       const QString& dir);

/// Adds --video DIR, --game N and --plies K to a command line.
void AddVideoOptions(QCommandLineParser& parser);

/// Makes the video that a parsed command line with --video asks for, with no window and no display:
/// progress on one line and a summary on stdout, the reason for a failure on stderr. Returns the exit
/// code: 0 made, 1 the pictures or the writer failed, 2 bad arguments.
int RunVideoCommand(const QCommandLineParser& parser);
