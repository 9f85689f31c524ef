#include "Settings.h"

#include "ConfFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <cstring>

std::optional<Resolution> ResolutionFromPacked(int packed)
{
    for (const Resolution& r : kResolutions)
        if (r.packed == packed)
            return r;
    return std::nullopt;
}

int ParseInt(QStringView text)
{
    auto isSpace = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    qsizetype i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(value * 10 + (text[i].unicode() - u'0'), static_cast<long long>(INT_MAX) + 1);
    value = negative ? -value : std::min(value, static_cast<long long>(INT_MAX));
    return static_cast<int>(value);
}

double PresetFromInt(int n)
{
    if (n <= 0)
        return 300.0;
    if (n >= 3600)
        return 3599.0;
    return n;
}

QString NormaliseDir(const QString& dir)
{
    if (dir.isEmpty())
        return dir;
#ifdef Q_OS_WIN
    if (dir.endsWith(u'\\') || dir.endsWith(u'/'))
        return dir;
    return dir + u'\\';
#else
    return dir.endsWith(u'/') ? dir : dir + u'/';
#endif
}

QString DefaultPictureFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\");
#else
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty())
        pictures = QDir::homePath();
    return NormaliseDir(pictures) + QStringLiteral("Orvelle/");
#endif
}

SettingsStore::SettingsStore()
#ifdef Q_OS_WIN
    : m_settings(std::make_unique<QSettings>(QStringLiteral("Kadrith"), QStringLiteral("Orvelle")))
#else
    : m_settings(std::make_unique<QSettings>(ConfFormat(), QSettings::UserScope, QStringLiteral("Kadrith"),
                                             QStringLiteral("Orvelle")))
#endif
{}

SettingsStore::SettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, ConfFormat()))
{}

SettingsStore::~SettingsStore() = default;

void SettingsStore::CreateDefaultSettings()
{
    const bool exists = std::any_of(kSettingDefs.begin(), kSettingDefs.end(), [this](const SettingDef& d) {
        return m_settings->contains(QLatin1String(d.name));
    });
    if (exists)
        return;
    for (const SettingDef& d : kSettingDefs)
        m_settings->setValue(QLatin1String(d.name),
                             d.defaultText ? QString::fromLatin1(d.defaultText) : DefaultPictureFolder());
    // A failure to write is not reported here: the next read finds nothing and says so.
    m_settings->sync();
}

std::optional<QString> SettingsStore::Read(const char* name) const
{
    // A value the file holds in a form that does not read as text (a quote left open, bytes that are
    // not UTF-8) comes as bytes: unreadable, rather than taken for some other text.
    const QVariant v = m_settings->value(QLatin1String(name));
    if (!v.isValid() || v.typeId() == QMetaType::QByteArray || !v.canConvert<QString>())
        return std::nullopt;
    return v.toString();
}

namespace {
/// How each stored text becomes its field, in the order the values are read.
struct SettingReader {
    const char* name;
    void (*apply)(Settings&, const QString&);
};

constexpr SettingReader kReaders[] = {
    {"DIR", [](Settings& s, const QString& t) { s.m_strDir = NormaliseDir(t); }},
    {"CAM_REF", [](Settings& s, const QString& t) { s.m_nCamera = ParseInt(t); }},
    {"DELAY_TYPE", [](Settings& s, const QString& t) { s.m_nDelayType = ParseInt(t); }},
    {"DELAY_DELTA", [](Settings& s, const QString& t) { s.m_nDelayDelta = ParseInt(t); }},
    {"RTIME", [](Settings& s, const QString& t) { s.m_fRightPreset = PresetFromInt(ParseInt(t)); }},
    {"LTIME", [](Settings& s, const QString& t) { s.m_fLeftPreset = PresetFromInt(ParseInt(t)); }},
    {"RESOLUTION_REF",
     [](Settings& s, const QString& t) {
         // A code outside the table keeps the size there was.
         const int code = ParseInt(t);
         if (code >= 0 && code < static_cast<int>(kResolutions.size()))
             s.m_nResolution = kResolutions[code].packed;
     }},
};
} // namespace

bool SettingsStore::LoadSettings(Settings& s, QStringList* unread)
{
    bool result = true;
    for (const SettingReader& reader : kReaders) {
        if (std::optional<QString> text = Read(reader.name)) {
            reader.apply(s, *text);
        } else {
            result = false;
            if (unread)
                unread->append(QLatin1String(reader.name));
        }
    }
    s.m_strCamUrl = Read(kCamUrlName).value_or(QString()).trimmed();
    s.m_bVideoClocks = ParseInt(Read(kVideoClocksName).value_or(QString())) == 1;
    s.m_strTimeControl = Read(kTimeControlName).value_or(QString()).trimmed();
    s.m_strBoard = Read(kBoardName).value_or(QString()).trimmed();
    s.m_bSound = ParseInt(Read(kSoundName).value_or(QString())) == 1;
    // A port outside the ones there are is no port: no server.
    const int port = ParseInt(Read(kServePortName).value_or(QString()));
    s.m_nServePort = port > 0 && port <= 65535 ? port : 0;
    s.m_bServeLan = ParseInt(Read(kServeLanName).value_or(QString())) == 1;
    s.m_strBroadcastUrl = Read(kBroadcastUrlName).value_or(QString()).trimmed();
    return result;
}

QString SettingsStore::WriteSettings(const std::vector<std::pair<const char*, QString>>& values)
{
    for (const auto& [name, text] : values)
        if (!FormatConfValue(text))
            return QCoreApplication::translate(
                       "SettingsStore",
                       "The settings cannot hold line breaks or other control characters (%1).")
                .arg(QLatin1String(name));
    for (const auto& [name, text] : values) {
        if (const std::optional<QString> stored = Read(name); stored && *stored == text)
            continue;
        const bool optional =
            std::none_of(kSettingDefs.begin(), kSettingDefs.end(),
                         [n = name](const SettingDef& d) { return std::strcmp(d.name, n) == 0; });
        if (optional && text.isEmpty())
            m_settings->remove(QLatin1String(name));
        else
            m_settings->setValue(QLatin1String(name), text);
    }
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError)
        return QCoreApplication::translate("SettingsStore", "The settings could not be written to %1.")
            .arg(m_settings->fileName());
    return {};
}

QString SettingsStore::FileName() const
{
    return m_settings->fileName();
}
