#include "platform/SettingsStore.h"

#include "platform/AppInfo.h"

#include <QSettings>
#include <memory>

namespace platform {
namespace {

QString& overrideFile() {
    static QString path;
    return path;
}

std::unique_ptr<QSettings> open() {
    if (!overrideFile().isEmpty())
        return std::make_unique<QSettings>(overrideFile(), QSettings::IniFormat);
    const QString app = QString::fromLatin1(appinfo::AppTitle);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, app, app);
}

} // namespace

QString SettingsStore::read(const QString& section, const QString& key, const QString& defaultValue) {
    auto settings = open();
    const QString path = section + QLatin1Char('/') + key;
    if (!settings->contains(path))
        return defaultValue;
    return settings->value(path).toString();
}

void SettingsStore::write(const QString& section, const QString& key, const QString& value) {
    auto settings = open();
    settings->setValue(section + QLatin1Char('/') + key, value);
}

void SettingsStore::useFile(const QString& iniPath) {
    overrideFile() = iniPath;
}

} // namespace platform
