#include "PictureNames.h"

#include <cstdio>

std::string FormatPictureName(int game, int ply)
{
    char name[64];
    std::snprintf(name, sizeof name, ply % 2 == 1 ? "game%.2dmove%.3da.jpg" : "game%.2dmove%.3db.jpg", game,
                  (ply + 1) / 2);
    return name;
}

std::string FormatRecordName(int game)
{
    char name[32];
    std::snprintf(name, sizeof name, "game%.2d.tsv", game);
    return name;
}

std::string FormatScoreName(int game)
{
    char name[32];
    std::snprintf(name, sizeof name, "game%.2d.pgn", game);
    return name;
}

std::filesystem::path ToNarrowPath(std::string_view folderUtf8, std::string_view name)
{
    std::u8string joined(folderUtf8.begin(), folderUtf8.end());
    joined.append(name.begin(), name.end());
    return std::filesystem::path(joined);
}
