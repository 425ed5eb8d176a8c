#include "app/VorlanError.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TstSettingsStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_path;

    void writeRaw(const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

private Q_SLOTS:
    void init()
    {
        m_path = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction())
                                + QStringLiteral("/config.ini"));
        SettingsStore::setLocationOverride(SettingsStore::Key::Main, m_path);
        SettingsStore::setLocationOverride(SettingsStore::Key::DbOverride, QString());
    }

    void defaultLocationFromEnvironment()
    {
        SettingsStore::setLocationOverride(SettingsStore::Key::Main, QString());
        qputenv("VORLAN_SETTINGS", "/tmp/somewhere/vorlan.ini");
        QCOMPARE(SettingsStore().location(), QStringLiteral("/tmp/somewhere/vorlan.ini"));
        qunsetenv("VORLAN_SETTINGS");
        QVERIFY(SettingsStore().location().endsWith(QStringLiteral("/VorlanNH/config.ini")));
    }

    void createdOwnerOnlyAndAbsentReadsEmpty()
    {
        const SettingsStore store;
        QVERIFY(!store.keyExists());
        QCOMPARE(store.read(QStringLiteral("IPServidor")), QString());
        store.createKey();
        QVERIFY(store.keyExists());
        const QFileDevice::Permissions others = QFile::ReadGroup | QFile::WriteGroup
            | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QVERIFY(QFile::permissions(m_path).testFlag(QFile::ReadOwner));
        QCOMPARE(QFile::permissions(m_path) & others, QFileDevice::Permissions());
        store.write(QStringLiteral("SenhaBD"), QStringLiteral("segredo"));
        QCOMPARE(QFile::permissions(m_path) & (QFile::ReadGroup | QFile::ReadOther),
                 QFileDevice::Permissions());
    }

    void namesIgnoreCase()
    {
        writeRaw("[General]\nipLocal=10.0.0.5\n");
        const SettingsStore store;
        QCOMPARE(store.read(QStringLiteral("IPLocal")), QStringLiteral("10.0.0.5"));
        store.write(QStringLiteral("IPLOCAL"), QStringLiteral("10.0.0.6"));
        QCOMPARE(store.read(QStringLiteral("iplocal")), QStringLiteral("10.0.0.6"));
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray content = f.readAll();
        QVERIFY(content.contains("ipLocal=10.0.0.6")); // the stored spelling is kept
        QVERIFY(!content.contains("IPLOCAL"));
    }

    void textsSurviveExactly()
    {
        const SettingsStore store;
        const QString tricky = QStringLiteral("a,b; \"c\" =d\\e Não  ");
        store.write(QStringLiteral("UsuarioClient"), tricky);
        QCOMPARE(store.read(QStringLiteral("UsuarioClient")), tricky);
        store.write(QStringLiteral("TempoMax"), QStringLiteral("  :  :  "));
        QCOMPARE(store.read(QStringLiteral("TempoMax")), QStringLiteral("  :  :  "));
    }

    void nonTextValueIsAnError()
    {
        writeRaw("[General]\nPortaBD=@ByteArray(3306)\n");
        try {
            SettingsStore().read(QStringLiteral("PortaBD"));
            QFAIL("no error");
        } catch (const VorlanError &e) {
            QCOMPARE(e.message(), QStringLiteral("Invalid data type for 'PortaBD'"));
        }
    }

    void writeWithoutCreatingFailsOnMissingKey()
    {
        try {
            SettingsStore().write(QStringLiteral("HostBD"), QStringLiteral("db"), false);
            QFAIL("no error");
        } catch (const VorlanError &e) {
            QCOMPARE(e.message(), QStringLiteral("Failed to set data for 'HostBD'"));
        }
        QVERIFY(!QFile::exists(m_path));
    }

    void unwritableStoreReportsFailure()
    {
        if (geteuid() == 0)
            QSKIP("root writes read-only files");
        SettingsStore().write(QStringLiteral("IPLocal"), QStringLiteral("x"));
        QFile::setPermissions(m_path, QFile::ReadOwner);
        QVERIFY_THROWS_EXCEPTION(
            VorlanError, SettingsStore().write(QStringLiteral("IPLocal"), QStringLiteral("y")));
        QCOMPARE(SettingsStore().read(QStringLiteral("IPLocal")), QStringLiteral("x"));
    }

    void unwritableFolderReportsFailure()
    {
        // A store path below a plain file cannot be created by anybody, root included.
        writeRaw("not a folder");
        SettingsStore::setLocationOverride(SettingsStore::Key::Main,
                                           m_path + QStringLiteral("/x.ini"));
        QVERIFY_THROWS_EXCEPTION(
            VorlanError, SettingsStore().write(QStringLiteral("IPLocal"), QStringLiteral("y")));
    }

    void numberValue()
    {
        SettingsStore().writeNumber(QStringLiteral("idCanal"), 39);
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("idCanal=39"));
    }

    void databaseKeyByVersionClass()
    {
        QCOMPARE(SettingsStore::databaseKey(5), SettingsStore::Key::DbOverride);
        QCOMPARE(SettingsStore::databaseKey(4), SettingsStore::Key::Main);
        QCOMPARE(SettingsStore::databaseKey(0), SettingsStore::Key::Main);
    }
};

QTEST_GUILESS_MAIN(TstSettingsStore)
#include "tst_settingsstore.moc"
