#pragma once

#include <istream>
#include <string>
#include <vector>

/// One clock press of a game, as the engine saw it: who moved, the time the mover used, and both
/// clocks after the press (after any increment). Written to "gameNN.tsv" beside the pictures, one
/// line per ply, and read back by the video maker and the game score.
struct PlyRecord {
    int ply = 0;
    bool leftMoved = false; ///< the left player pressed (ended their turn)
    double used = 0.0;      ///< seconds the mover's clock ran this turn
    double leftTime = 0.0;  ///< left clock after the press, seconds
    double rightTime = 0.0; ///< right clock after the press, seconds
    std::string picture;    ///< the ply's picture file name; empty when no picture was taken
    bool flagged = false;   ///< the mover's clock had run out before the press (before any increment)
};

/// The header line of a record file, without the line end; its first column is "ply".
std::string GameRecordHeader();
/// One ply as a tab-separated line, without the line end. Times have millisecond resolution and a
/// decimal point in every locale.
std::string FormatGameRecordLine(const PlyRecord& record);
/// Reads a record file: the header, then one line per ply. Lines that do not parse (a ply cut short
/// by a crash) are skipped, so a reader always gets the plies that were written whole. A decimal comma,
/// as a German locale made earlier versions write, reads as a point; a file without the flag column
/// reads as no flag.
std::vector<PlyRecord> ParseGameRecord(std::istream& in);
