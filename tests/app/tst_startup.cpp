#include "app/Confirmation.h"
#include "app/ErrorReport.h"
#include "app/EventLog.h"
#include "app/MainFormRemoteClient.h"
#include "listen/ListeningSection.h"
#include "monitor/TDM.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace {

// A port nobody listens on right now, for the listeners the sequence starts.
quint16 freeUdpPort()
{
    QUdpSocket s;
    s.bind(QHostAddress::AnyIPv4, 0);
    return s.localPort();
}

} // namespace

class TstStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QStringList m_errors;
    int m_asked = 0;
    bool m_answer = false;

    void writeCompleteStore(const QString &tempoOcioso = QStringLiteral("2"))
    {
        const SettingsStore s;
        const QString chatPort = QString::number(freeUdpPort());
        const QList<QPair<const char *, QString>> values = {
            { "IPServidor", QStringLiteral("127.0.0.1") },
            { "UsuarioClient", QStringLiteral("SUP") },
            { "PortaServidorChat", chatPort },
            { "PortaStatus", QStringLiteral("9") },
            { "PortaStatus2", QStringLiteral("9") },
            { "PortaServidor", QStringLiteral("9") },
            { "PortaServidor2", QStringLiteral("9") },
            { "IniWin", QStringLiteral("False") },
            { "HabTempoMax", QStringLiteral("-1") },
            { "HabTempoOcioso", QStringLiteral("0") },
            { "TempoMax", QStringLiteral("00:05:00") },
            { "TempoOcioso", tempoOcioso },
            { "PathGravacoes", QStringLiteral("/tmp") },
            { "IPLocal", QStringLiteral("127.0.0.1") },
            { "HostBD", QStringLiteral("127.0.0.1") },
            { "PortaBD", QStringLiteral("1") },
            { "UserBD", QStringLiteral("u") },
            { "SenhaBD", QStringLiteral("p") },
            { "NomeBanco", QStringLiteral("vorlan") },
        };
        for (const auto &v : values)
            s.write(QString::fromLatin1(v.first), v.second);
    }

private Q_SLOTS:
    void init()
    {
        SettingsStore::setLocationOverride(
            SettingsStore::Key::Main,
            m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction())
                           + QLatin1String(QTest::currentDataTag() ? QTest::currentDataTag() : "")
                           + QStringLiteral(".ini")));
        m_errors.clear();
        m_asked = 0;
        ErrorReport::setPresenter([this](const QString &m) { m_errors << m; });
        Confirmation::setAsker([this](const QString &q) {
            ++m_asked;
            return q == QStringLiteral("Deseja realmente finalizar o aplicativo?") && m_answer;
        });
    }

    void windowShape()
    {
        TDM dm;
        TMainFormRemoteClient w(&dm);
        QCOMPARE(w.windowTitle(), QStringLiteral("Vorlan Client - Versão 2.0"));
        QCOMPARE(w.size(), QSize(961, 795));
        QCOMPARE(w.objectName(), QStringLiteral("MainFormRemoteClient"));
        QCOMPARE(dm.objectName(), QStringLiteral("DM"));
        QTabWidget *main = w.pages();
        QCOMPARE(main->objectName(), QStringLiteral("main"));
        QCOMPARE(main->count(), 3);
        QCOMPARE(main->tabText(0), QStringLiteral("Principal"));
        QCOMPARE(main->tabText(1), QStringLiteral("Configurações"));
        QCOMPARE(main->tabText(2), QStringLiteral("Player"));
    }

    void designNamesAreAccessible()
    {
        TDM dm;
        TMainFormRemoteClient w(&dm);
        QStringList missing;
        int named = 0;
        for (const QWidget *child : w.findChildren<QWidget *>()) {
            const QString name = child->objectName();
            // Qt's own parts (the tab bar's scroll buttons among them) are no design widgets.
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))
                || name.startsWith(QLatin1String("Scroll")))
                continue;
            ++named;
            if (child->accessibleDescription() != name)
                missing << name;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
        for (const char *name : {"PanelC1", "lbCanal12", "lbStatusC40", "lbTempoDuracaoC23",
                                 "Memo1", "edtURL", "cbHabTempoMax", "lbConect", "mChat",
                                 "cbCanal", "btSend"}) {
            const QWidget *widget = w.findChild<QWidget *>(QString::fromLatin1(name));
            QVERIFY2(widget, name);
        }
        QVERIFY(named > 200);
    }

    void emptyStoreEndsAtFirstIntegerRead()
    {
        TDM dm;
        TMainFormRemoteClient w(&dm);
        QCOMPARE(w.FormCreate(), 7);
        QCOMPARE(m_errors, QStringList { QStringLiteral("'' is not a valid integer value") });
        QVERIFY(SettingsStore().keyExists());
        QCOMPARE(w.settingsPage()->editor(QStringLiteral("edtURL"))->text(), QString());
        QVERIFY(w.eventLog()->messages().isEmpty());
        w.show(); // the window opens all the same
        QVERIFY(w.isVisible());
    }

    void readOrderStopsAtFailingConversion_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("lastLoaded"); // an editor loaded before the failure
        QTest::addColumn<QString>("notLoaded"); // an editor after it
        QTest::newRow("PortaServidor")
            << QStringLiteral("PortaServidor") << QString()
            << QStringLiteral("'' is not a valid integer value") << QStringLiteral("edPortaStatus2")
            << QStringLiteral("edPortaServidor");
        QTest::newRow("IniWin") << QStringLiteral("IniWin") << QString()
                                << QStringLiteral("'' is not a valid boolean value")
                                << QStringLiteral("edPortaServidor2")
                                << QStringLiteral("edPathGrava");
        QTest::newRow("HabTempoMax")
            << QStringLiteral("HabTempoMax") << QStringLiteral("sim")
            << QStringLiteral("'sim' is not a valid boolean value")
            << QStringLiteral("edPortaServidor2") << QStringLiteral("edIPLocal");
        QTest::newRow("PortaBD") << QStringLiteral("PortaBD") << QStringLiteral("x")
                                 << QStringLiteral("'x' is not a valid integer value")
                                 << QStringLiteral("edNomeBanco") << QString();
    }

    void readOrderStopsAtFailingConversion()
    {
        QFETCH(QString, value);
        QFETCH(QString, text);
        QFETCH(QString, error);
        QFETCH(QString, lastLoaded);
        QFETCH(QString, notLoaded);
        writeCompleteStore();
        SettingsStore().write(value, text);
        TDM dm;
        TMainFormRemoteClient w(&dm);
        QCOMPARE(w.FormCreate(), 7);
        QCOMPARE(m_errors, QStringList { error });
        QVERIFY(!w.settingsPage()->editor(lastLoaded)->text().isEmpty());
        if (!notLoaded.isEmpty())
            QVERIFY(w.settingsPage()->editor(notLoaded)->text().isEmpty());
        QVERIFY(!w.eventLog()->messages().contains(
            QStringLiteral("Inicializando sistema de comunicação.")));
    }

    void idleTime_data()
    {
        QTest::addColumn<QString>("tempoOcioso");
        QTest::addColumn<int>("endStep");
        QTest::addColumn<QString>("error");
        QTest::newRow("0") << QStringLiteral("0") << 16 << QString();
        QTest::newRow("35791") << QStringLiteral("35791") << 16 << QString();
        QTest::newRow("35792") << QStringLiteral("35792") << 10
                               << QStringLiteral("Integer overflow");
        QTest::newRow("-1") << QStringLiteral("-1") << 10 << QStringLiteral("Range check error");
        QTest::newRow("empty") << QString() << 10
                               << QStringLiteral("'' is not a valid integer value");
    }

    void idleTime()
    {
        QFETCH(QString, tempoOcioso);
        QFETCH(int, endStep);
        QFETCH(QString, error);
        writeCompleteStore(tempoOcioso);
        TDM dm;
        TMainFormRemoteClient w(&dm);
        w.listening()->setAudioPorts(freeUdpPort(), freeUdpPort());
        QCOMPARE(w.FormCreate(), endStep);
        QCOMPARE(m_errors, error.isEmpty() ? QStringList() : QStringList { error });
        const QStringList log = w.eventLog()->messages();
        QCOMPARE(log.value(0),
                 QStringLiteral("Erro ao conectar ao banco de dados, verifique as configurações."));
        if (endStep == 16) {
            QCOMPARE(log.mid(1),
                     (QStringList {
                         QStringLiteral("Inicializando sistema de comunicação."),
                         QStringLiteral("Sistemas de comunicação inicializados com sucesso.") }));
            QCOMPARE(w.pages()->currentIndex(), 0);
        } else {
            QCOMPARE(log.size(), 1);
        }
    }

    void listenerPortTaken()
    {
        writeCompleteStore();
        QUdpSocket squatter;
        QVERIFY(squatter.bind(QHostAddress::AnyIPv4, 0));
        TDM dm;
        TMainFormRemoteClient w(&dm);
        w.listening()->setAudioPorts(squatter.localPort(), freeUdpPort());
        QCOMPARE(w.FormCreate(), 16);
        QVERIFY(m_errors.isEmpty());
        const QStringList log = w.eventLog()->messages();
        QCOMPARE(log.mid(log.size() - 2),
                 (QStringList { QStringLiteral("Inicializando sistema de comunicação."),
                                QStringLiteral("Erro ao inicializar sistemas de comunicação.") }));
    }

    void closeAsksFirst()
    {
        writeCompleteStore();
        TDM dm;
        TMainFormRemoteClient w(&dm);
        w.show();
        m_answer = false;
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(m_asked, 1);
        m_answer = true;
        QVERIFY(w.close());
        QCOMPARE(m_asked, 2);
    }

    void trayFecharAsksOnce()
    {
        TDM dm;
        TMainFormRemoteClient w(&dm);
        w.show();
        m_answer = false;
        w.Fechar1Click();
        QVERIFY(w.isVisible());
        m_answer = true;
        w.Fechar1Click();
        QVERIFY(!w.isVisible());
        QCOMPARE(m_asked, 2); // Yes on "Fechar" closes without a second question
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
