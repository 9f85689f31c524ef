#pragma once

#include <filesystem>
#include <string>
#include <string_view>

/// The file name of one ply's picture: "game%.2dmove%.3da.jpg" for an odd ply, "...b.jpg" for an even one,
/// with the move number (ply + 1) / 2.
std::string FormatPictureName(int game, int ply);
/// The file name of one game's per-ply record beside its pictures: "game%.2d.tsv".
std::string FormatRecordName(int game);
/// The file name of one game's score beside its pictures: "game%.2d.pgn".
std::string FormatScoreName(int game);

/// A file in the picture folder. The folder (UTF-8, empty or ending in a separator) is followed directly
/// by the name, so an empty folder means the current directory. Any length, any characters.
std::filesystem::path ToNarrowPath(std::string_view folderUtf8, std::string_view name);
