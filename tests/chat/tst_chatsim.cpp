// The whole conversation with vorlan-sim playing the agents: a call, a chat
// line, a reply and the end of the chat, over real UDP.
#include "app/ErrorReport.h"
#include "chat/AlertWindow.h"
#include "chat/ChatEndpoint.h"
#include "chat/ChatPanel.h"
#include "chat/ChatSection.h"
#include "chat/ChatServer.h"
#include "chat/ChatTranscript.h"
#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestChatSim : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QProcess m_sim;
    QByteArray m_output;
    QList<quint16> m_agentPorts;
    QWidget m_window;
    ChatSection *m_section = nullptr;
    QLineEdit *m_user = nullptr;
    QStringList m_logs;

    bool outputHas(const QByteArray &line)
    {
        m_output += m_sim.readAllStandardOutput();
        return m_output.split('\n').contains(line);
    }
    void command(const QByteArray &line) { m_sim.write(line + '\n'); }
    template<typename W> W *child(const char *name) const
    {
        return m_window.findChild<W *>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        SettingsStore::setLocationOverride(SettingsStore::Key::Main,
                                           m_dir.filePath(QStringLiteral("config.ini")));
        ErrorReport::setPresenter(
            [](const QString &m) { qWarning("error box: %s", qPrintable(m)); });
        m_section = new ChatSection(&m_window, &m_window);
        m_section->alert()->setSlideDuration(10);
        m_user = new QLineEdit(QStringLiteral("SUPERVISOR"), &m_window);
        m_section->setUserEditor(m_user);
        m_section->setListenPort(0);
        QVERIFY(m_section->activateServer());
        connect(m_section, &ChatSection::logMessage, this,
                [this](const QString &m) { m_logs << m; });

        m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const auto zero = QStringLiteral("0");
        m_sim.start(
            QString::fromUtf8(VORLAN_SIM_PATH),
            { QStringLiteral("--status-port"), zero, QStringLiteral("--status-port2"), zero,
              QStringLiteral("--listen-port"), zero, QStringLiteral("--listen-port2"), zero,
              QStringLiteral("--agent-base-port"), zero, QStringLiteral("--client-chat-port"),
              QString::number(m_section->server()->boundPort()), QStringLiteral("--agent-log"),
              m_dir.filePath(QStringLiteral("agentes.log")) });
        QVERIFY(m_sim.waitForStarted(10000));
        const QDeadlineTimer deadline(15000);
        while (m_agentPorts.isEmpty() && !deadline.hasExpired()
               && m_sim.state() == QProcess::Running) {
            m_sim.waitForReadyRead(100);
            m_output += m_sim.readAllStandardOutput();
            for (const QByteArray &line : m_output.split('\n')) {
                const QList<QByteArray> words = line.trimmed().split(' ');
                if (words.size() == 41 && words.first() == "agent-ports") {
                    for (int n = 1; n <= 40; ++n)
                        m_agentPorts << quint16(words.at(n).toUInt());
                }
            }
        }
        QCOMPARE(m_agentPorts.size(), 40);
        for (int n = 1; n <= 40; ++n) {
            SettingsStore().write(ChatEndpoint::addressName(n), QStringLiteral("127.0.0.1"));
            SettingsStore().write(ChatEndpoint::portName(n),
                                  QString::number(m_agentPorts.at(n - 1)));
        }
    }

    void cleanupTestCase()
    {
        command("quit");
        if (!m_sim.waitForFinished(3000))
            m_sim.kill();
    }

    void conversation()
    {
        QSignalSpy marks(m_section, &ChatSection::callMark);
        command("chamada 17");
        QVERIFY(marks.wait(5000));
        QCOMPARE(marks.at(0).at(0).toInt(), 17);
        QCOMPARE(marks.at(0).at(1).value<QColor>(), QColor(255, 0, 0));
        QCOMPARE(m_section->alert()->text(),
                 QStringLiteral("O Usuário do Canal 17 esta <br> chamando."));
        QVERIFY(m_section->alert()->isVisible());

        command("say 17 Olá, supervisor: ação necessária");
        QTRY_COMPARE(m_section->chatPanel()->transcript()->lines(),
                     QStringList { QStringLiteral("Olá, supervisor: ação necessária") });

        child<QComboBox>("cbSelecCanal")->setCurrentIndex(16);
        child<QLineEdit>("edMensagem")->setText(QStringLiteral("JÁ VOU"));
        child<QPushButton>("btSend")->click();
        QTRY_VERIFY(outputHas(QStringLiteral("canal 17: SUPERVISOR DIZ:JÁ VOU").toUtf8()));
        QCOMPARE(marks.size(), 2);
        QCOMPARE(marks.at(1).at(1).value<QColor>(), QColor(244, 244, 244));

        child<QPushButton>("btFim")->click();
        QTRY_VERIFY(outputHas("canal 17: ENCERRAR"));
        QCOMPARE(m_logs,
                 (QStringList { QStringLiteral("Enviando Mensagem para o Canal 17 em 127.0.0.1"),
                                QStringLiteral("Chat encerrado com o Canal 17.") }));
        QFile log(m_dir.filePath(QStringLiteral("agentes.log")));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(),
                 QStringLiteral("canal 17: SUPERVISOR DIZ:JÁ VOU\ncanal 17: ENCERRAR\n").toUtf8());
    }

    void callsFromManyChannels()
    {
        QSignalSpy marks(m_section, &ChatSection::callMark);
        command("chamada 3");
        command("chamada 9");
        QTRY_COMPARE(marks.size(), 2);
        QCOMPARE(marks.at(0).at(0).toInt(), 3);
        QCOMPARE(marks.at(1).at(0).toInt(), 9);
        QCOMPARE(m_section->alert()->text(),
                 QStringLiteral("O Usuário do Canal 9 esta <br> chamando."));
    }
};

QTEST_MAIN(TestChatSim)
#include "tst_chatsim.moc"
