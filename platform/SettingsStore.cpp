#include "platform/SettingsStore.h"

#include "platform/AppInfo.h"

#include <QSettings>
#include <memory>
#include <utility>

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

SettingsStore::Writer::Writer(QString section) : m_settings(open()), m_section(std::move(section)) {}

SettingsStore::Writer::~Writer() = default;

void SettingsStore::Writer::write(const QString& key, const QString& value) {
    m_settings->setValue(m_section + QLatin1Char('/') + key, value);
}

void SettingsStore::useFile(const QString& iniPath) {
    overrideFile() = iniPath;
}

} // namespace platform
