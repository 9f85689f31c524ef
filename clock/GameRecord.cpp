#include "GameRecord.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace {
// White moves on odd plies: the start press is Black's, so the first ply is White's.
const char* MoverColour(int ply)
{
    return ply % 2 == 1 ? "white" : "black";
}

std::string Seconds(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3).ptr;
    return std::string(text, end);
}

/// The whole field as a number; a comma is taken for the decimal point (the fields are tab-separated,
/// so it cannot mean anything else).
template <class T> bool ReadNumber(std::string field, T& value)
{
    std::replace(field.begin(), field.end(), ',', '.');
    const char* end = field.data() + field.size();
    const auto [at, error] = std::from_chars(field.data(), end, value);
    return error == std::errc() && at == end && !field.empty();
}

std::vector<std::string> Fields(std::string_view line)
{
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        const size_t tab = line.find('\t', start);
        fields.emplace_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}
} // namespace

std::string GameRecordHeader()
{
    return "ply\tmover\tside\tused\tleft\tright\tpicture\tflag";
}

std::string FormatGameRecordLine(const PlyRecord& r)
{
    return std::to_string(r.ply) + '\t' + MoverColour(r.ply) + '\t' + (r.leftMoved ? "left" : "right") +
           '\t' + Seconds(r.used) + '\t' + Seconds(r.leftTime) + '\t' + Seconds(r.rightTime) + '\t' +
           r.picture + '\t' + (r.flagged ? "1" : "0");
}

std::vector<PlyRecord> ParseGameRecord(std::istream& in)
{
    std::vector<PlyRecord> records;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> f = Fields(line);
        PlyRecord r;
        // A last line without its line end was cut short, unless every column made it.
        if ((in.eof() && f.size() < 8) || f.size() < 6 || !ReadNumber(f[0], r.ply) || r.ply < 1 ||
            (f[2] != "left" && f[2] != "right") || !ReadNumber(f[3], r.used) ||
            !ReadNumber(f[4], r.leftTime) || !ReadNumber(f[5], r.rightTime))
            continue;
        r.leftMoved = f[2] == "left";
        if (f.size() > 6)
            r.picture = f[6];
        r.flagged = f.size() > 7 && f[7] == "1";
        records.push_back(r);
    }
    return records;
}
