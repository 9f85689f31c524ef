#include "PgnTags.h"

#include <QRegularExpression>
#include <QSet>

namespace {
// A tag pair at the start of a line: its name.
const QRegularExpression kTag(QStringLiteral(R"(^\s*\[\s*([A-Za-z0-9_]+)\s+")"));
const QRegularExpression kResultAtEnd(QStringLiteral(R"((1-0|0-1|1/2-1/2|\*)\s*$)"));
} // namespace

QString WithRequiredTags(const QString& pgn)
{
    QStringList lines = pgn.split(u'\n');
    QSet<QString> present;
    qsizetype first = 0;
    while (first < lines.size() && lines[first].trimmed().isEmpty())
        ++first;
    qsizetype afterTags = first;
    for (; afterTags < lines.size(); ++afterTags) {
        const QRegularExpressionMatch tag = kTag.match(lines[afterTags]);
        if (!tag.hasMatch())
            break;
        present.insert(tag.captured(1));
    }
    const QRegularExpressionMatch end = kResultAtEnd.match(pgn);
    const QString result = end.hasMatch() ? end.captured(1) : QStringLiteral("*");
    const std::pair<const char*, QString> required[] = {
        {"Event", QStringLiteral("?")},         {"Site", QStringLiteral("?")},
        {"Date", QStringLiteral("????.??.??")}, {"White", QStringLiteral("?")},
        {"Black", QStringLiteral("?")},         {"Result", result}};
    QStringList added;
    for (const auto& [name, value] : required)
        if (!present.contains(QLatin1String(name)))
            added.append(QStringLiteral("[%1 \"%2\"]").arg(QLatin1String(name), value));
    if (added.isEmpty())
        return pgn;
    // Tags are followed by a blank line; a text that had none gets one.
    if (afterTags == first)
        added.append(QString());
    for (qsizetype i = 0; i < added.size(); ++i)
        lines.insert(afterTags + i, added[i]);
    return lines.join(u'\n');
}
