#pragma once
#include <QString>
#include <memory>

class QSettings;

namespace platform {

// The per-user settings store: string values under application "QorCofra",
// addressed by section and key.
class SettingsStore {
public:
    // The stored text, or the default when the key was never written.
    static QString read(const QString& section, const QString& key, const QString& defaultValue);
    // Writes values of one section in the order given. They reach the store
    // together, in one pass, when the writer goes.
    class Writer {
    public:
        explicit Writer(QString section);
        ~Writer();
        Writer(const Writer&) = delete;
        Writer& operator=(const Writer&) = delete;
        void write(const QString& key, const QString& value);

    private:
        std::unique_ptr<QSettings> m_settings;
        QString m_section;
    };
    // Keeps the values in the given INI file instead (tests); empty restores the user's store.
    static void useFile(const QString& iniPath);
};

} // namespace platform
