#pragma once

#include "Settings.h"

#include <QMap>
#include <QSettings>

/// Writes a settings file with the seven values at their defaults (DIR empty) overridden by values,
/// which may add optional ones, and without the value named leftOut.
inline void WriteSettingsFile(const QString& file, const QMap<QString, QString>& values = {},
                              const QString& leftOut = {})
{
    QSettings ini(file, QSettings::IniFormat);
    ini.clear();
    for (const SettingDef& d : kSettingDefs) {
        const QString name = QLatin1String(d.name);
        if (name != leftOut)
            ini.setValue(name, values.value(name, QLatin1String(d.defaultText ? d.defaultText : "")));
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it) // the optional values given
        if (!ini.contains(it.key()) && it.key() != leftOut)
            ini.setValue(it.key(), it.value());
}
