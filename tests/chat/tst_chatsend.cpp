// Sending, ending, saving and clearing from the chat panel, with an agent
// socket of the test's own on the loopback interface as the peer.
#include "app/ErrorReport.h"
#include "chat/ChatEndpoint.h"
#include "chat/ChatEndpointEditor.h"
#include "chat/ChatPanel.h"
#include "chat/ChatSection.h"
#include "chat/ChatTranscript.h"
#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QVBoxLayout>

class TestChatSend : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QWidget *m_window = nullptr;
    ChatSection *m_section = nullptr;
    QLineEdit *m_user = nullptr;
    QUdpSocket *m_agent = nullptr;
    // Every observable effect in order: "log TEXT", "mark N R,G,B", "error TEXT".
    QStringList m_events;
    QStringList m_asked;
    QString m_saveAnswer;

    template<typename W> W *child(const char *name) const
    {
        auto *w = m_window->findChild<W *>(QString::fromLatin1(name));
        if (!w)
            qFatal("missing %s", name);
        return w;
    }
    QLineEdit *message() const { return child<QLineEdit>("edMensagem"); }
    const QStringList &lines() const { return m_section->chatPanel()->transcript()->lines(); }
    void setEndpoint(int channel, const QString &address, const QString &port)
    {
        const SettingsStore store;
        store.write(ChatEndpoint::addressName(channel), address);
        store.write(ChatEndpoint::portName(channel), port);
    }
    QString agentPort(QUdpSocket *agent = nullptr) const
    {
        return QString::number((agent ? agent : m_agent)->localPort());
    }
    void select(int channel) { child<QComboBox>("cbSelecCanal")->setCurrentIndex(channel - 1); }
    QByteArray nextDatagram(QUdpSocket *agent = nullptr)
    {
        agent = agent ? agent : m_agent;
        if (!agent->hasPendingDatagrams()
            && !QTest::qWaitFor([&] { return agent->hasPendingDatagrams(); }, 5000))
            return QByteArrayLiteral("<nothing>");
        return agent->receiveDatagram().data();
    }
    static QString mark(int channel, int grey)
    {
        return QStringLiteral("mark %1 %2,%2,%2").arg(channel).arg(grey);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        ErrorReport::setPresenter(
            [this](const QString &m) { m_events << QStringLiteral("error ") + m; });
    }

    void init()
    {
        SettingsStore::setLocationOverride(
            SettingsStore::Key::Main,
            m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction())
                           + QStringLiteral(".ini")));
        m_events.clear();
        m_asked.clear();
        m_window = new QWidget;
        m_section = new ChatSection(m_window, m_window);
        auto *layout = new QVBoxLayout(m_window);
        layout->addWidget(m_section->panel());
        m_user = new QLineEdit(QStringLiteral("SUPERVISOR"), m_window);
        m_section->setUserEditor(m_user);
        m_section->chatPanel()->setSaveAsker([this](QWidget *) {
            m_asked << m_saveAnswer;
            return m_saveAnswer;
        });
        connect(m_section, &ChatSection::logMessage, m_window,
                [this](const QString &m) { m_events << QStringLiteral("log ") + m; });
        connect(m_section, &ChatSection::callMark, m_window, [this](int n, const QColor &c) {
            m_events << QStringLiteral("mark %1 %2,%3,%4")
                            .arg(n)
                            .arg(c.red())
                            .arg(c.green())
                            .arg(c.blue());
        });
        m_agent = new QUdpSocket(m_window);
        QVERIFY(m_agent->bind(QHostAddress::LocalHost, 0));
        m_window->show();
        m_window->activateWindow();
    }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
    }

    void panelStartsEmpty()
    {
        auto *list = child<QComboBox>("cbSelecCanal");
        QCOMPARE(list->count(), 40);
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->itemText(30), QStringLiteral("Canal 31"));
        QCOMPARE(child<QPushButton>("btSend")->text(), QStringLiteral("Enviar"));
        QCOMPARE(child<QPushButton>("btSave")->text(), QStringLiteral("Salvar"));
        QCOMPARE(child<QPushButton>("btClear")->text(), QStringLiteral("Limpar"));
        QCOMPARE(child<QPushButton>("btFim")->text(), QStringLiteral("Encerrar"));
        QVERIFY(child<QPlainTextEdit>("mChat")->isReadOnly());
        QCOMPARE(message()->accessibleDescription(), QStringLiteral("edMensagem"));
        // Enter in the message field sends nothing.
        setEndpoint(1, QStringLiteral("127.0.0.1"), agentPort());
        select(1);
        message()->setFocus();
        QTest::keyClicks(message(), QStringLiteral("oi"));
        QCOMPARE(message()->text(), QStringLiteral("OI"));
        QTest::keyClick(message(), Qt::Key_Return);
        QCOMPARE(message()->text(), QStringLiteral("OI"));
        QVERIFY(m_events.isEmpty());
        QVERIFY(!m_agent->hasPendingDatagrams());
    }

    void sendReachesTheEndpoint_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("bom dia") << 12 << QStringLiteral("SUPERVISOR") << QStringLiteral("BOM DIA")
                                 << QByteArrayLiteral("SUPERVISOR DIZ:BOM DIA");
        QTest::newRow("no name") << 1 << QString() << QStringLiteral("OI")
                                 << QByteArrayLiteral(" DIZ:OI");
        QTest::newRow("blanks") << 40 << QStringLiteral("SUP") << QStringLiteral("   ")
                                << QByteArrayLiteral("SUP DIZ:   ");
        QTest::newRow("Windows-1252") << 31 << QStringLiteral("JOÃO") << QStringLiteral("AÇÃO €")
                                      << QByteArray("JO\xc3O DIZ:A\xc7\xc3O \x80");
    }
    void sendReachesTheEndpoint()
    {
        QFETCH(int, channel);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        setEndpoint(channel, QStringLiteral("127.0.0.1"), agentPort());
        m_user->setText(name);
        select(channel);
        message()->setText(text);
        child<QPushButton>("btSend")->click();
        QCOMPARE(nextDatagram(), bytes);
        const QString line = name + QStringLiteral(" DIZ:") + text;
        QCOMPARE(lines(), QStringList { line });
        QCOMPARE(child<QPlainTextEdit>("mChat")->toPlainText(), line);
        QCOMPARE(m_events,
                 (QStringList { mark(channel, 244),
                                QStringLiteral("log Enviando Mensagem para o Canal %1 em 127.0.0.1")
                                    .arg(channel) }));
        QVERIFY(message()->text().isEmpty());
        QTRY_VERIFY(message()->hasFocus());
        QCOMPARE(child<QComboBox>("cbSelecCanal")->currentIndex(), channel - 1);
    }

    void hostNameIsResolvedWithoutBlocking()
    {
        setEndpoint(5, QStringLiteral("localhost"), agentPort());
        select(5);
        message()->setText(QStringLiteral("PELO NOME"));
        child<QPushButton>("btSend")->click();
        // The lookup runs in the background; meanwhile the message cannot go twice.
        if (m_events.size() == 1) {
            QVERIFY(!child<QPushButton>("btSend")->isEnabled());
            QVERIFY(!child<QPushButton>("btFim")->isEnabled());
        }
        QCOMPARE(nextDatagram(), QByteArrayLiteral("SUPERVISOR DIZ:PELO NOME"));
        QTRY_VERIFY(child<QPushButton>("btSend")->isEnabled());
        QVERIFY(child<QPushButton>("btFim")->isEnabled());
        QTRY_COMPARE(m_events.size(), 2);
        QCOMPARE(
            m_events,
            (QStringList { mark(5, 244),
                           QStringLiteral("log Enviando Mensagem para o Canal 5 em localhost") }));
        QCOMPARE(lines(), QStringList { QStringLiteral("SUPERVISOR DIZ:PELO NOME") });
        QVERIFY(message()->text().isEmpty());
    }

    void sendFailures_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("error");
        QTest::newRow("letters") << QStringLiteral("127.0.0.1") << QStringLiteral("abc")
                                 << QStringLiteral("'abc' is not a valid integer value");
        QTest::newRow("empty port") << QStringLiteral("127.0.0.1") << QString()
                                    << QStringLiteral("'' is not a valid integer value");
        QTest::newRow("trailing blank") << QStringLiteral("127.0.0.1") << QStringLiteral("9800 ")
                                        << QStringLiteral("'9800 ' is not a valid integer value");
        QTest::newRow("beyond UDP")
            << QStringLiteral("127.0.0.1") << QStringLiteral("70000")
            << QStringLiteral("Não foi possível enviar para 127.0.0.1 na porta 70000.");
        QTest::newRow("unknown host")
            << QStringLiteral("agente.invalid") << QStringLiteral("9800")
            << QStringLiteral("Não foi possível encontrar o endereço 'agente.invalid'.");
        QTest::newRow("empty address")
            << QString() << QStringLiteral("9800")
            << QStringLiteral("Não foi possível encontrar o endereço ''.");
    }
    void sendFailures()
    {
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(QString, error);
        setEndpoint(9, address, port);
        select(9);
        message()->setText(QStringLiteral("NAO VAI"));
        child<QPushButton>("btSend")->click();
        QTRY_COMPARE(m_events.size(), 2);
        QCOMPARE(m_events, (QStringList { mark(9, 244), QStringLiteral("error ") + error }));
        QTRY_VERIFY(child<QPushButton>("btSend")->isEnabled());
        QVERIFY(lines().isEmpty());
        QCOMPARE(message()->text(), QStringLiteral("NAO VAI"));

        // Nothing was sent: the first datagram the agent gets is the next good one.
        m_events.clear();
        setEndpoint(9, QStringLiteral("127.0.0.1"), agentPort());
        child<QPushButton>("btSend")->click();
        QCOMPARE(nextDatagram(), QByteArrayLiteral("SUPERVISOR DIZ:NAO VAI"));

        // Ending fails the same way and leaves the message alone.
        m_events.clear();
        setEndpoint(9, address, port);
        message()->setText(QStringLiteral("FICA"));
        child<QPushButton>("btFim")->click();
        QTRY_COMPARE(m_events.size(), 1);
        QCOMPARE(m_events, QStringList { QStringLiteral("error ") + error });
        QCOMPARE(message()->text(), QStringLiteral("FICA"));
        QCOMPARE(lines(), QStringList { QStringLiteral("SUPERVISOR DIZ:NAO VAI") });
    }

    void nothingChosenOrNothingTyped()
    {
        setEndpoint(3, QStringLiteral("127.0.0.1"), agentPort());
        message()->setText(QStringLiteral("OI"));
        child<QPushButton>("btSend")->click();
        child<QPushButton>("btFim")->click();
        select(3);
        message()->clear();
        child<QPushButton>("btSend")->click();
        QCOMPARE(m_events,
                 (QStringList { QStringLiteral("log Nenhum canal foi selecionado"),
                                QStringLiteral("log Nenhum canal foi selecionado"),
                                QStringLiteral("log O campo mensagem está em branco.") }));
        QVERIFY(lines().isEmpty());
        QVERIFY(!QTest::qWaitFor([this] { return m_agent->hasPendingDatagrams(); }, 100));
    }

    void endingTheChat()
    {
        setEndpoint(5, QStringLiteral("127.0.0.1"), agentPort());
        m_section->chatPanel()->transcript()->append({ QStringLiteral("AGENTE: OI") });
        select(5);
        message()->setText(QStringLiteral("NAO ENVIADA"));
        child<QPushButton>("btFim")->click();
        QCOMPARE(nextDatagram(), QByteArrayLiteral("ENCERRAR"));
        // No mark: a red row stays red after "Encerrar".
        QCOMPARE(m_events, QStringList { QStringLiteral("log Chat encerrado com o Canal 5.") });
        QVERIFY(message()->text().isEmpty());
        QCOMPARE(lines(), QStringList { QStringLiteral("AGENTE: OI") });
        QCOMPARE(child<QComboBox>("cbSelecCanal")->currentIndex(), 4);
    }

    void editedEndpointIsUsedByTheNextMessage()
    {
        auto *group = new QGroupBox(QStringLiteral("Canais"), m_window);
        m_section->buildEndpointEditor(group);
        ChatEndpointEditor *editor = m_section->endpointEditor();
        QUdpSocket second;
        QVERIFY(second.bind(QHostAddress::LocalHost, 0));
        setEndpoint(31, QStringLiteral("127.0.0.1"), agentPort());
        select(31);
        message()->setText(QStringLiteral("PRIMEIRA"));
        child<QPushButton>("btSend")->click();
        QCOMPARE(nextDatagram(), QByteArrayLiteral("SUPERVISOR DIZ:PRIMEIRA"));

        editor->channelList()->setCurrentIndex(30);
        Q_EMIT editor->channelList()->activated(30);
        QCOMPARE(editor->portEditor()->text(), agentPort());
        editor->portEditor()->setText(agentPort(&second));
        message()->setText(QStringLiteral("SEGUNDA"));
        child<QPushButton>("btSend")->click();
        QCOMPARE(nextDatagram(&second), QByteArrayLiteral("SUPERVISOR DIZ:SEGUNDA"));
        QVERIFY(!m_agent->hasPendingDatagrams());
    }

    void saving_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("conversa") << QStringLiteral("conversa") << QStringLiteral("conversa.txt");
        QTest::newRow("conversa.txt")
            << QStringLiteral("conversa.txt") << QStringLiteral("conversa.txt.txt");
    }
    void saving()
    {
        QFETCH(QString, name);
        QFETCH(QString, written);
        QTemporaryDir dir;
        const QString target = dir.filePath(written);
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("antigo conteúdo que é mais longo que o novo\r\n");
        old.close();
        m_section->ChatServerUDPRead(QByteArray("AGENTE: ol\xe1\r\nSEGUNDA"));
        m_section->ChatServerUDPRead(QByteArray());
        m_saveAnswer = dir.filePath(name);
        child<QPushButton>("btSave")->click();
        QCOMPARE(m_asked, QStringList { m_saveAnswer });
        QCOMPARE(m_events, QStringList { QStringLiteral("log Salvando janela do Chat.") });
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("AGENTE: ol\xe1\r\nSEGUNDA\r\n\r\n"));
        QCOMPARE(lines().size(), 3);
    }

    void savingNothingCancelledOrUnwritable()
    {
        child<QPushButton>("btSave")->click();
        QVERIFY(m_asked.isEmpty());
        QCOMPARE(
            m_events,
            QStringList { QStringLiteral("log Não há nada para ser salvo na janela do chat.") });

        QTemporaryDir dir;
        m_section->ChatServerUDPRead(QByteArrayLiteral("LINHA"));
        m_events.clear();
        m_saveAnswer.clear();
        child<QPushButton>("btSave")->click();
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_events, QStringList { QStringLiteral("log Salvando janela do Chat.") });
        QVERIFY(QDir(dir.path()).isEmpty());

        // Below a plain file no file can be created.
        QFile blocker(dir.filePath(QStringLiteral("arquivo")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        m_events.clear();
        m_saveAnswer = blocker.fileName() + QStringLiteral("/conversa");
        child<QPushButton>("btSave")->click();
        QCOMPARE(m_events.size(), 2);
        QVERIFY(m_events.at(1).startsWith(QStringLiteral("error Cannot create file \"")));
        QCOMPARE(lines(), QStringList { QStringLiteral("LINHA") });
    }

    void clearing()
    {
        m_section->ChatServerUDPRead(QByteArrayLiteral("UM\nDOIS"));
        child<QPushButton>("btClear")->click();
        QVERIFY(lines().isEmpty());
        QVERIFY(child<QPlainTextEdit>("mChat")->toPlainText().isEmpty());
        QCOMPARE(m_events, QStringList { QStringLiteral("log Limpando janela do Chat.") });
        QTRY_VERIFY(message()->hasFocus());
        // After clearing, the view starts again from its first line.
        m_section->ChatServerUDPRead(QByteArrayLiteral("TRES"));
        QCOMPARE(child<QPlainTextEdit>("mChat")->toPlainText(), QStringLiteral("TRES"));
    }
};

QTEST_MAIN(TestChatSend)
#include "tst_chatsend.moc"
