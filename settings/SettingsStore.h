#pragma once

#include <QString>

// The program's settings: named text values in one store. On Windows these
// are the registry keys the recorder's installer fills; elsewhere one INI
// file holds every value (under registry virtualisation the two Windows keys
// are the same storage anyway). Every operation opens the store, acts and
// closes it again: nothing is cached between calls, so another tool's edit
// is seen at the next read. Value names ignore letter case, as the registry.
class SettingsStore final
{
public:
    enum class Key {
        Main, // every read, and every editor's write
        DbOverride, // the database editors' writes on Windows version class 5
    };

    explicit SettingsStore(Key key = Key::Main);

    // Where the key lives: a registry path on Windows, a file path elsewhere
    // (VORLAN_SETTINGS, else VorlanNH/config.ini in the configuration folder).
    QString location() const;

    bool keyExists() const;
    // Creates the key when it is missing; throws VorlanError when it cannot.
    void createKey() const;

    // The value's text, or empty text when absent; throws VorlanError
    // "Invalid data type for '%s'" for a value that is not text.
    QString read(const QString &name) const;

    // Stores text under name (keeping an existing value's spelling). With
    // createKey false a missing key is not created and the write fails.
    // Throws VorlanError "Failed to set data for '%s'" when nothing was stored.
    void write(const QString &name, const QString &text, bool createKey = true) const;
    void writeNumber(const QString &name, int value, bool createKey = true) const;

    // Tests point a key somewhere else; an empty path restores the default.
    static void setLocationOverride(Key key, const QString &location);

    // The key a database editor writes to for a given version class.
    static Key databaseKey(int windowsVersionClass);

private:
    void store(const QString &name, const QVariant &value, bool createKey) const;

    Key m_key;
};
