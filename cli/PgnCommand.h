#pragma once

class QCommandLineParser;

/// Adds --pgn DIR and --board CORNERS to a command line (--game comes with the video's options).
void AddPgnOptions(QCommandLineParser& parser);

/// Writes the game score that a parsed command line with --pgn asks for, with no window and no display:
/// one line per ply and a summary on stdout, the reason for a failure on stderr. Returns the exit code:
/// 0 written, 1 the pictures, the board or the file could not be read or written, 2 bad arguments.
int RunPgnCommand(const QCommandLineParser& parser);
