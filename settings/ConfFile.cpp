#include "ConfFile.h"

#include <QIODevice>
#include <QStringDecoder>

#include <algorithm>

namespace {
bool IsControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

QString Utf8Text(QByteArrayView bytes, bool* ok)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    *ok = !utf8.hasError();
    return text;
}

bool ReadConf(QIODevice& device, QSettings::SettingsMap& map)
{
    QByteArray data = device.readAll();
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QString section;
    for (const QByteArray& raw : data.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        bool ok = true;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = Utf8Text(line.mid(1, line.size() - 2).trimmed(), &ok);
            if (section == u"General")
                section.clear();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QString key = Utf8Text(line.left(equals).trimmed(), &ok);
        map.insert(section.isEmpty() ? key : section + u'/' + key, ParseConfValue(line.mid(equals + 1)));
    }
    return true;
}

bool WriteConf(QIODevice& device, const QSettings::SettingsMap& map)
{
    // Top-level values under [General] first, then each group under its own name.
    QMap<QString, QByteArray> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(u'/');
        const QString key = it.key().mid(slash + 1);
        if (key.isEmpty() || key.contains(u'=') || std::any_of(key.begin(), key.end(), IsControl))
            return false;
        std::optional<QByteArray> value = it.value().typeId() == QMetaType::QByteArray
                                              ? std::optional(it.value().toByteArray())
                                              : FormatConfValue(it.value().toString());
        if (!value || value->contains('\n') || value->contains('\r'))
            return false;
        sections[slash < 0 ? QString() : it.key().left(slash)] += key.toUtf8() + '=' + *value + '\n';
    }
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        const QByteArray header =
            '[' + (it.key().isEmpty() ? QByteArray("General") : it.key().toUtf8()) + "]\n";
        if (it != sections.cbegin())
            device.write("\n");
        if (device.write(header + it.value()) < 0)
            return false;
    }
    return true;
}
} // namespace

QSettings::Format ConfFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), ReadConf, WriteConf);
    return format;
}

QVariant ParseConfValue(QByteArrayView text)
{
    text = text.trimmed();
    const bool quoted = text.startsWith('"');
    bool closed = !quoted;
    QByteArray value;
    qsizetype i = quoted ? 1 : 0;
    for (; i < text.size() && !(quoted && closed); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            value += text[++i];
        else if (quoted && c == '"')
            closed = true;
        else
            value += c;
    }
    bool utf8 = true;
    QString result = Utf8Text(value, &utf8);
    if (!closed || i < text.size() || !utf8)
        return text.toByteArray();
    return result;
}

std::optional<QByteArray> FormatConfValue(const QString& value)
{
    if (std::any_of(value.begin(), value.end(), IsControl))
        return std::nullopt;
    const bool plain = !value.startsWith(u' ') && !value.endsWith(u' ') &&
                       std::none_of(value.begin(), value.end(), [](QChar c) {
                           return c == u'\\' || c == u'"' || c == u',' || c == u';' || c == u'=';
                       });
    if (plain)
        return value.toUtf8();
    QByteArray quoted = value.toUtf8();
    quoted.replace("\\", "\\\\").replace("\"", "\\\"");
    return '"' + quoted + '"';
}
