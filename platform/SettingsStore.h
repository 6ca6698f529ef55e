#pragma once
#include <QString>

namespace platform {

// The per-user settings store: string values under application "QorCofra",
// addressed by section and key.
class SettingsStore {
public:
    // The stored text, or the default when the key was never written.
    static QString read(const QString& section, const QString& key, const QString& defaultValue);
    static void write(const QString& section, const QString& key, const QString& value);
    // Keeps the values in the given INI file instead (tests); empty restores the user's store.
    static void useFile(const QString& iniPath);
};

} // namespace platform
