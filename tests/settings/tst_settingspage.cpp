#include "app/ErrorReport.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsStore.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

class TstSettingsPage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_main;
    QString m_db;
    QStringList m_errors;

private Q_SLOTS:
    void init()
    {
        const QString base = m_dir.filePath(
            QString::fromLatin1(QTest::currentTestFunction())
            + QString::fromLatin1(QTest::currentDataTag()).remove(QLatin1Char(' ')));
        m_main = base + QStringLiteral("-main.ini");
        m_db = base + QStringLiteral("-db.ini");
        SettingsStore::setLocationOverride(SettingsStore::Key::Main, m_main);
        SettingsStore::setLocationOverride(SettingsStore::Key::DbOverride, m_db);
        m_errors.clear();
        ErrorReport::setPresenter([this](const QString &m) { m_errors << m; });
    }

    void everyEditorStoresOnEachChange_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("value");
        const char *rows[][2] = {
            { "edIPLocal", "IPLocal" },
            { "edtURL", "IPServidor" },
            { "edusuario", "UsuarioClient" },
            { "edPortaChatLocal", "PortaServidorChat" },
            { "edPortaServidor", "PortaServidor" },
            { "edPortaServidor2", "PortaServidor2" },
            { "edPortaStatus", "PortaStatus" },
            { "edPortaStatus2", "PortaStatus2" },
            { "edPathGrava", "PathGravacoes" },
            { "edHostBD", "HostBD" },
            { "edPortaBD", "PortaBD" },
            { "edUserBD", "UserBD" },
            { "edSenhaBD", "SenhaBD" },
            { "edNomeBanco", "NomeBanco" },
        };
        for (const auto &r : rows)
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
    }

    void everyEditorStoresOnEachChange()
    {
        QFETCH(QString, editor);
        QFETCH(QString, value);
        SettingsStore().createKey(); // the database editors never create the key
        SettingsPage page;
        QLineEdit *ed = page.editor(editor);
        QVERIFY(ed);
        QCOMPARE(ed->accessibleDescription(), editor);
        QStringList seen;
        for (const char *key : { "9", "0", "5", "4" }) {
            QTest::keyClicks(ed, QString::fromLatin1(key));
            seen << SettingsStore().read(value);
        }
        QCOMPARE(seen,
                 (QStringList { QStringLiteral("9"), QStringLiteral("90"), QStringLiteral("905"),
                                QStringLiteral("9054") }));
        ed->clear();
        QCOMPARE(SettingsStore().read(value), QString());
        QVERIFY(m_errors.isEmpty());
    }

    void userNameTurnsToCapitals()
    {
        SettingsPage page;
        QTest::keyClicks(page.editor(QStringLiteral("edusuario")), QStringLiteral("Ana "));
        page.editor(QStringLiteral("edusuario"))->insert(QStringLiteral("ção")); // as pasted
        QCOMPARE(page.editor(QStringLiteral("edusuario"))->text(), QStringLiteral("ANA ÇÃO"));
        QCOMPARE(SettingsStore().read(QStringLiteral("UsuarioClient")), QStringLiteral("ANA ÇÃO"));
    }

    void databaseEditorKeyChoice_data()
    {
        QTest::addColumn<int>("versionClass");
        QTest::addColumn<bool>("toOverride");
        QTest::newRow("class 5") << 5 << true;
        QTest::newRow("class 4") << 4 << false;
    }

    void databaseEditorKeyChoice()
    {
        QFETCH(int, versionClass);
        QFETCH(bool, toOverride);
        SettingsStore(SettingsStore::Key::Main).createKey();
        SettingsStore(SettingsStore::Key::DbOverride).createKey();
        SettingsPage page;
        page.setWindowsVersionClass(versionClass);
        QTest::keyClicks(page.editor(QStringLiteral("edHostBD")), QStringLiteral("db1"));
        QCOMPARE(SettingsStore(SettingsStore::Key::DbOverride).read(QStringLiteral("HostBD")),
                 toOverride ? QStringLiteral("db1") : QString());
        QCOMPARE(SettingsStore(SettingsStore::Key::Main).read(QStringLiteral("HostBD")),
                 toOverride ? QString() : QStringLiteral("db1"));
        // Every other editor keeps writing the main key.
        QTest::keyClicks(page.editor(QStringLiteral("edIPLocal")), QStringLiteral("1"));
        QCOMPARE(SettingsStore(SettingsStore::Key::Main).read(QStringLiteral("IPLocal")),
                 QStringLiteral("1"));
    }

    void databaseEditorWithoutKeyReportsAndKeepsText()
    {
        SettingsPage page;
        page.setWindowsVersionClass(5);
        QTest::keyClicks(page.editor(QStringLiteral("edUserBD")), QStringLiteral("u"));
        QCOMPARE(m_errors, QStringList { QStringLiteral("Failed to set data for 'UserBD'") });
        QCOMPARE(page.editor(QStringLiteral("edUserBD"))->text(), QStringLiteral("u"));
    }

    void loadStoresOnlyWhenDifferent()
    {
        SettingsPage page;
        page.load(QStringLiteral("edtURL"), QStringLiteral("10.1.1.1"));
        QCOMPARE(SettingsStore().read(QStringLiteral("IPServidor")), QStringLiteral("10.1.1.1"));
        QFile::remove(m_main);
        page.load(QStringLiteral("edtURL"), QStringLiteral("10.1.1.1")); // same text: no write
        QVERIFY(!QFile::exists(m_main));
    }

    void loadOfDatabaseEditorThrowsWhenKeyMissing()
    {
        SettingsPage page;
        page.setWindowsVersionClass(5);
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 page.load(QStringLiteral("edHostBD"), QStringLiteral("db")));
        QVERIFY(m_errors.isEmpty()); // the start-up sequence reports it, not the editor
    }

    void pageTexts()
    {
        SettingsPage page;
        QStringList titles;
        for (const QGroupBox *g : page.findChildren<QGroupBox *>())
            titles << g->title();
        for (const char *t : { "Comunicação", "Canais", "Selecione o diretório das gravações" })
            QVERIFY2(titles.contains(QString::fromUtf8(t)), t);
        bool note = false;
        for (const QLabel *l : page.findChildren<QLabel *>())
            note = note || l->text().contains(QStringLiteral("Pra reiniciar clique"));
        QVERIFY(note);
    }
};

QTEST_MAIN(TstSettingsPage)
#include "tst_settingspage.moc"
