#include "GameRecord.h"

#include <cstdio>
#include <sstream>

namespace {
// White moves on odd plies: the start press is Black's, so the first ply is White's.
const char* MoverColour(int ply) { return ply % 2 == 1 ? "white" : "black"; }
} // namespace

std::string GameRecordHeader() { return "ply\tmover\tside\tused\tleft\tright\tpicture"; }

std::string FormatGameRecordLine(const PlyRecord& r)
{
    char line[160];
    std::snprintf(line, sizeof line, "%d\t%s\t%s\t%.3f\t%.3f\t%.3f\t", r.ply, MoverColour(r.ply),
                  r.leftMoved ? "left" : "right", r.used, r.leftTime, r.rightTime);
    return line + r.picture;
}

std::vector<PlyRecord> ParseGameRecord(std::istream& in)
{
    std::vector<PlyRecord> records;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        PlyRecord r;
        std::string mover, side;
        if (!(fields >> r.ply >> mover >> side >> r.used >> r.leftTime >> r.rightTime) || r.ply < 1 ||
            (side != "left" && side != "right"))
            continue;
        r.leftMoved = side == "left";
        fields >> r.picture;
        records.push_back(r);
    }
    return records;
}
