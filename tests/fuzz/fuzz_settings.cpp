// Any bytes as any of the seven stored values: loading must not crash, and must leave the presets
// whole seconds within 1 to 3599, the capture size one of the five, and the folder empty or ending
// in a separator. The input is split at zero bytes; the pieces become the values in their order.
#include "Settings.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {
bool ValidPreset(double p)
{
    return p >= 1 && p <= 3599 && p == std::floor(p);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString file = QDir::temp().filePath(QStringLiteral("orvelle-fuzz-%1.conf").arg(getpid()));
    {
        // The bytes go into the file as they are, so the file's own reader is fuzzed too.
        QFile ini(file);
        if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        ini.write("[General]\n");
        std::size_t start = 0;
        for (const SettingDef& d : kSettingDefs) {
            std::size_t end = start;
            while (end < size && data[end] != 0)
                ++end;
            ini.write(QByteArray(d.name) + '=');
            ini.write(reinterpret_cast<const char*>(data) + std::min(start, size),
                      static_cast<qint64>(std::min(end, size) - std::min(start, size)));
            ini.write("\n");
            start = end + 1;
        }
    }
    Settings s;
    SettingsStore(file).LoadSettings(s);
    if (!ValidPreset(s.m_fLeftPreset) || !ValidPreset(s.m_fRightPreset) ||
        !ResolutionFromPacked(s.m_nResolution) || !(s.m_strDir.isEmpty() || s.m_strDir.endsWith(u'/')))
        std::abort();
    (void)ParseInt(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
