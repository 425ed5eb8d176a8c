#include "settings/SettingsStore.h"

#include "app/VorlanError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

namespace {

QString &overrideFor(SettingsStore::Key key)
{
    static QString main;
    static QString db;
    return key == SettingsStore::Key::Main ? main : db;
}

#ifdef Q_OS_WIN
constexpr QSettings::Format kFormat = QSettings::NativeFormat;
#else
constexpr QSettings::Format kFormat = QSettings::IniFormat;
#endif

// Finds the stored spelling of a name; the registry compares names without
// regard to letter case, and so do we.
QString storedName(const QSettings &settings, const QString &name)
{
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return key;
    }
    return QString();
}

QString failedToSet(const QString &name)
{
    return QStringLiteral("Failed to set data for '%1'").arg(name);
}

} // namespace

SettingsStore::SettingsStore(Key key)
    : m_key(key)
{
}

void SettingsStore::setLocationOverride(Key key, const QString &location)
{
    overrideFor(key) = location;
}

SettingsStore::Key SettingsStore::databaseKey(int windowsVersionClass)
{
    return windowsVersionClass == 5 ? Key::DbOverride : Key::Main;
}

QString SettingsStore::location() const
{
    if (!overrideFor(m_key).isEmpty())
        return overrideFor(m_key);
#ifdef Q_OS_WIN
    if (m_key == Key::DbOverride)
        return QStringLiteral(
            "HKEY_CURRENT_USER\\Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE"
            "\\Wow6432Node\\VorlanNH\\config");
    return QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\VorlanNH\\config");
#else
    const QString fromEnv = qEnvironmentVariable("VORLAN_SETTINGS");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/VorlanNH/config.ini");
#endif
}

bool SettingsStore::keyExists() const
{
#ifdef Q_OS_WIN
    if (overrideFor(m_key).isEmpty()) {
        const int cut = location().lastIndexOf(QLatin1Char('\\'));
        QSettings parent(location().left(cut), kFormat);
        return parent.childGroups().contains(location().mid(cut + 1), Qt::CaseInsensitive);
    }
#endif
    return QFileInfo::exists(location());
}

void SettingsStore::createKey() const
{
    if (keyExists())
        return;
#ifdef Q_OS_WIN
    if (overrideFor(m_key).isEmpty()) {
        QSettings settings(location(), kFormat);
        settings.setValue(QStringLiteral("."), QString());
        settings.remove(QStringLiteral("."));
        settings.sync();
        if (settings.status() != QSettings::NoError)
            throw VorlanError(QStringLiteral("Failed to create key %1").arg(location()));
        return;
    }
#endif
    const QFileInfo info(location());
    QDir().mkpath(info.absolutePath());
    QFile file(location());
    // The store holds the database password: its owner alone may read it.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
        || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        throw VorlanError(QStringLiteral("Failed to create key %1").arg(location()));
}

QString SettingsStore::read(const QString &name) const
{
    if (!keyExists())
        return QString();
    const QSettings settings(location(), kFormat);
    const QString stored = storedName(settings, name);
    if (stored.isEmpty())
        return QString();
    const QVariant value = settings.value(stored);
    if (value.typeId() != QMetaType::QString)
        throw VorlanError(QStringLiteral("Invalid data type for '%1'").arg(name));
    return value.toString();
}

void SettingsStore::write(const QString &name, const QString &text, bool createKey) const
{
    store(name, QVariant(text), createKey);
}

void SettingsStore::writeNumber(const QString &name, int value, bool createKey) const
{
    store(name, QVariant(value), createKey);
}

void SettingsStore::store(const QString &name, const QVariant &value, bool create) const
{
    if (!keyExists()) {
        if (!create)
            throw VorlanError(failedToSet(name));
        this->createKey();
    }
#ifndef Q_OS_WIN
    // QSettings rewrites the file through a temporary one; fail early and
    // clearly when the folder or the file refuses writes.
    const QFileInfo info(location());
    if (!info.isWritable() || !QFileInfo(info.absolutePath()).isWritable())
        throw VorlanError(failedToSet(name));
#endif
    {
        QSettings settings(location(), kFormat);
        const QString stored = storedName(settings, name);
        settings.setValue(stored.isEmpty() ? name : stored, value);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            throw VorlanError(failedToSet(name));
    }
#ifndef Q_OS_WIN
    QFile::setPermissions(location(), QFile::ReadOwner | QFile::WriteOwner);
#endif
}
