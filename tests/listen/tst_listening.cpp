#include "listen/ListeningSection.h"
#include "listen/SpinningIndicator.h"
#include "tests/listen/FakeRecorder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

// The listen and stop requests against fake recorder servers over real UDP,
// and the panel "Status da Conexão".
class TestListening : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsDisconnected();
    void listenAccepted_data();
    void listenAccepted();
    void listenRefusedWithoutCall_data();
    void listenRefusedWithoutCall();
    void silentOrUnreachableServer_data();
    void silentOrUnreachableServer();
    void disabledChannelSendsNothing();
    void alreadyConnected_data();
    void alreadyConnected();
    void secondRequestWhilePendingIsNotSent();
    void stopRequest_data();
    void stopRequest();
    void stopWithSilentServer();
    void stopWithoutConnection();
    void stopWithUnreadableChannel();
    void showStateConnectedOrder();
    void showStateDisconnectedClearsAll();
    void connectionTick_data();
    void connectionTick();
    void connectionTimerRuns();

private:
    QLabel *label(const char *name) const;
    SpinningIndicator *roda() const;
    // Double-clicks channel on an enabled row and waits for the exchange.
    void listen(int channel);
    void connectTo(int channel);

    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_edusuario = nullptr;
    QLineEdit *m_edtURL = nullptr;
    ListeningSection *m_section = nullptr;
    FakeRecorder *m_server1 = nullptr;
    FakeRecorder *m_server2 = nullptr;
    QStringList m_log;
};

void TestListening::init()
{
    m_window = std::make_unique<QWidget>();
    m_edusuario = new QLineEdit(QStringLiteral("JOAO"), m_window.get());
    m_edtURL = new QLineEdit(QStringLiteral("192.168.0.10"), m_window.get());
    m_section = new ListeningSection(m_window.get(), m_window.get());
    m_server1 = new FakeRecorder(m_window.get());
    m_server2 = new FakeRecorder(m_window.get());
    m_section->setEditors(m_edusuario, m_edtURL);
    m_section->setServerHost(1, QStringLiteral("127.0.0.1"));
    m_section->setServerHost(2, QStringLiteral("127.0.0.1"));
    m_section->setServerPort(1, m_server1->port());
    m_section->setServerPort(2, m_server2->port());
    m_section->setReplyTimeout(200);
    m_log.clear();
    connect(m_section, &ListeningSection::logMessage, this,
            [this](const QString &message) { m_log.append(message); });
}

void TestListening::cleanup()
{
    m_window.reset();
}

QLabel *TestListening::label(const char *name) const
{
    auto *found = m_section->panel()->findChild<QLabel *>(QLatin1String(name));
    if (found)
        return found;
    qFatal("no label %s", name);
}

SpinningIndicator *TestListening::roda() const
{
    return m_section->panel()->findChild<SpinningIndicator *>(QStringLiteral("Roda"));
}

void TestListening::listen(int channel)
{
    QSignalSpy done(m_section, &ListeningSection::requestFinished);
    m_section->requestListen(channel, QStringLiteral("Gravando"));
    QVERIFY(done.wait(2000));
}

void TestListening::connectTo(int channel)
{
    FakeRecorder *server = channel <= 20 ? m_server1 : m_server2;
    server->answer = "ConectadoC";
    listen(channel);
    QVERIFY(m_section->isConnected());
    server->received.clear();
    m_log.clear();
}

void TestListening::startsDisconnected()
{
    QCOMPARE(label("lbConect")->text(), QStringLiteral("Desconectado"));
    QCOMPARE(label("lbTempoConect")->text(), QStringLiteral("00:00:00"));
    QVERIFY(label("lbCanalConect")->text().isEmpty());
    QVERIFY(roda() && !roda()->isRunning() && !roda()->isEnabled());
    QVERIFY(!m_section->connectionTimer()->isActive());
    QCOMPARE(m_section->connectionTimer()->interval(), 1000);
    auto *button = m_section->panel()->findChild<QPushButton *>(QStringLiteral("btDesconecta"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Desconectar"));
    QCOMPARE(button->accessibleDescription(), QStringLiteral("btDesconecta"));
    QCOMPARE(roda()->accessibleDescription(), QStringLiteral("Roda"));
}

void TestListening::listenAccepted_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("server");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("row 5") << 5 << 1 << QByteArray("ChamaCanal5") << QByteArray("ConectadoC5");
    QTest::newRow("row 16") << 16 << 1 << QByteArray("ChamaCanal16") << QByteArray("x");
    QTest::newRow("row 20") << 20 << 1 << QByteArray("ChamaCanal20") << QByteArray("ok");
    QTest::newRow("row 21") << 21 << 2 << QByteArray("ChamaCanal1") << QByteArray("ok");
    QTest::newRow("row 23") << 23 << 2 << QByteArray("ChamaCanal3") << QByteArray("ConectadoC3");
    QTest::newRow("row 40") << 40 << 2 << QByteArray("ChamaCanal20") << QByteArray("ok");
    // Only the exact refusal of this channel refuses.
    QTest::newRow("other channel's refusal")
        << 5 << 1 << QByteArray("ChamaCanal5") << QByteArray("DesligadoC6");
    QTest::newRow("refusal with a suffix")
        << 23 << 2 << QByteArray("ChamaCanal3") << QByteArray("DesligadoC3 ");
}

void TestListening::listenAccepted()
{
    QFETCH(int, channel);
    QFETCH(int, server);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    FakeRecorder *target = server == 1 ? m_server1 : m_server2;
    FakeRecorder *other = server == 1 ? m_server2 : m_server1;
    target->answer = answer;

    listen(channel);

    QCOMPARE(target->received, QList<QByteArray> { request });
    QVERIFY(other->received.isEmpty());
    QVERIFY(m_section->isConnected());
    QCOMPARE(m_log, QStringList { QStringLiteral("Conectado ao Canal %1...").arg(channel) });
    QCOMPARE(label("lbConect")->text(), QStringLiteral("Conectado"));
    QCOMPARE(label("lbCanalConect")->text(), QString::number(channel));
    QCOMPARE(label("lbIP")->text(), QStringLiteral("192.168.0.10"));
    QCOMPARE(label("lbUser")->text(), QStringLiteral("JOAO"));
    QVERIFY(roda()->isRunning());
    QVERIFY(m_section->connectionTimer()->isActive());
    QVERIFY(!m_section->isRequestPending());
}

void TestListening::listenRefusedWithoutCall_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("row 5") << 5 << QByteArray("DesligadoC5");
    QTest::newRow("row 23 uses the server's number") << 23 << QByteArray("DesligadoC3");
}

void TestListening::listenRefusedWithoutCall()
{
    QFETCH(int, channel);
    QFETCH(QByteArray, answer);
    (channel <= 20 ? m_server1 : m_server2)->answer = answer;

    listen(channel);

    const QStringList expected {
        QStringLiteral("Conectado ao Canal %1...").arg(channel),
        QStringLiteral("Não há nenhuma ligação corrente no Canal %1").arg(channel)
    };
    QCOMPARE(m_log, expected);
    QVERIFY(!m_section->isConnected());
    QCOMPARE(label("lbConect")->text(), QStringLiteral("Desconectado"));
    QVERIFY(label("lbCanalConect")->text().isEmpty());
    QVERIFY(label("lbUser")->text().isEmpty());
    QVERIFY(!roda()->isRunning());
    QVERIFY(!m_section->connectionTimer()->isActive());
}

void TestListening::silentOrUnreachableServer_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("closedPort");
    QTest::newRow("silent server") << QStringLiteral("127.0.0.1") << false;
    QTest::newRow("nobody on the port") << QStringLiteral("127.0.0.1") << true;
    QTest::newRow("no address") << QString() << false;
    QTest::newRow("not an address") << QStringLiteral("servidor..") << false;
}

void TestListening::silentOrUnreachableServer()
{
    QFETCH(QString, host);
    QFETCH(bool, closedPort);
    m_section->setServerHost(2, host);
    if (closedPort) {
        quint16 port = 0;
        {
            QUdpSocket probe;
            QVERIFY(probe.bind(QHostAddress(QHostAddress::LocalHost), 0));
            port = probe.localPort();
        }
        m_section->setServerPort(2, port);
    }

    listen(30);

    QCOMPARE(m_log, QStringList { QStringLiteral("Servidor não responde.") });
    QVERIFY(!m_section->isConnected());
    QCOMPARE(label("lbConect")->text(), QStringLiteral("Desconectado"));
    QVERIFY(!m_section->isRequestPending());
}

void TestListening::disabledChannelSendsNothing()
{
    m_server1->answer = "ConectadoC12";
    m_section->requestListen(12, QStringLiteral("Desabilitado"));
    QCOMPARE(m_log, QStringList { QStringLiteral("O Canal 12 está desabilitado") });
    QVERIFY(!m_section->isRequestPending());

    // The next request is the first datagram the server sees.
    listen(13);
    QCOMPARE(m_server1->received, QList<QByteArray> { "ChamaCanal13" });
}

void TestListening::alreadyConnected_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("line");
    QTest::newRow("row 9") << 9 << QStringLiteral("Você já esta conectado ao 5");
    QTest::newRow("row 1 starts with the user")
        << 1 << QStringLiteral("JOAO você já esta conectado ao 5");
    QTest::newRow("row 5 itself") << 5 << QStringLiteral("Você já esta conectado ao 5");
}

void TestListening::alreadyConnected()
{
    QFETCH(int, channel);
    QFETCH(QString, line);
    connectTo(5);

    m_section->requestListen(channel, QStringLiteral("Gravando"));
    QCOMPARE(m_log, QStringList { line });
    QVERIFY(!m_section->isRequestPending());

    // Nothing was sent: the stop request is the next datagram.
    QSignalSpy done(m_section, &ListeningSection::requestFinished);
    m_section->btDesconectaClick();
    QVERIFY(done.wait(2000));
    QCOMPARE(m_server1->received, QList<QByteArray> { "DesligaC5" });
}

void TestListening::secondRequestWhilePendingIsNotSent()
{
    m_section->setReplyTimeout(300);
    QSignalSpy done(m_section, &ListeningSection::requestFinished);
    m_section->requestListen(5, QStringLiteral("Gravando"));
    QVERIFY(m_section->isRequestPending());
    m_section->requestListen(6, QStringLiteral("Gravando"));
    m_section->btDesconectaClick();
    QVERIFY(done.wait(2000));
    QCOMPARE(done.count(), 1);
    QCOMPARE(m_server1->received, QList<QByteArray> { "ChamaCanal5" });
    QCOMPARE(m_log, QStringList { QStringLiteral("Servidor não responde.") });
}

void TestListening::stopRequest_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("server");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("channel 33") << 33 << 2 << QByteArray("DesligaC13") << QByteArray("DesligouC13");
    QTest::newRow("channel 20") << 20 << 1 << QByteArray("DesligaC20") << QByteArray("DesligouC20");
    QTest::newRow("channel 21") << 21 << 2 << QByteArray("DesligaC1") << QByteArray("DesligouC1");
    QTest::newRow("odd reply") << 3 << 1 << QByteArray("DesligaC3") << QByteArray("DesligadoC3");
}

void TestListening::stopRequest()
{
    QFETCH(int, channel);
    QFETCH(int, server);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    connectTo(channel);
    FakeRecorder *target = server == 1 ? m_server1 : m_server2;
    FakeRecorder *other = server == 1 ? m_server2 : m_server1;
    other->received.clear();
    target->answer = answer;

    QSignalSpy done(m_section, &ListeningSection::requestFinished);
    m_section->btDesconectaClick();
    QVERIFY(done.wait(2000));

    QCOMPARE(target->received, QList<QByteArray> { request });
    QVERIFY(other->received.isEmpty());
    // The reply changes nothing: the poll ends the listening later.
    QVERIFY(m_log.isEmpty());
    QVERIFY(m_section->isConnected());
    QCOMPARE(label("lbConect")->text(), QStringLiteral("Conectado"));
    QCOMPARE(label("lbCanalConect")->text(), QString::number(channel));

    m_section->ShowListeningState(QString::number(channel), false);
    QVERIFY(!m_section->isConnected());
    QCOMPARE(label("lbConect")->text(), QStringLiteral("Desconectado"));
    QVERIFY(m_log.isEmpty());
}

void TestListening::stopWithSilentServer()
{
    connectTo(33);
    m_server2->answer.clear();
    QSignalSpy done(m_section, &ListeningSection::requestFinished);
    m_section->btDesconectaClick();
    QVERIFY(done.wait(2000));
    QCOMPARE(m_server2->received, QList<QByteArray> { "DesligaC13" });
    QCOMPARE(m_log, QStringList { QStringLiteral("Servidor não responde.") });
    QVERIFY(m_section->isConnected());
    QCOMPARE(label("lbCanalConect")->text(), QStringLiteral("33"));
}

void TestListening::stopWithoutConnection()
{
    auto *button = m_section->panel()->findChild<QPushButton *>(QStringLiteral("btDesconecta"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_log, QStringList { QStringLiteral("Você não esta conectado a nenhum canal.") });
    QVERIFY(!m_section->isRequestPending());
    QVERIFY(m_server1->received.isEmpty());
    QVERIFY(m_server2->received.isEmpty());
}

void TestListening::stopWithUnreadableChannel()
{
    m_section->setConnected(true);
    m_section->ShowListeningState(QStringLiteral("abc"), true);
    m_log.clear();
    m_section->btDesconectaClick();
    QCOMPARE(m_log,
             QStringList { QStringLiteral("Não é possível converter abc para um valor inteiro") });
    QVERIFY(!m_section->isRequestPending());
}

void TestListening::showStateConnectedOrder()
{
    // At the moment of the log line the labels before it are set, the ones
    // after it not yet.
    struct Seen
    {
        bool running = false;
        QString user, channel, ip, status;
        bool timer = true;
    } seen;
    connect(m_section, &ListeningSection::logMessage, this, [&](const QString &) {
        seen = { roda()->isRunning(),
                 label("lbUser")->text(),
                 label("lbCanalConect")->text(),
                 label("lbIP")->text(),
                 label("lbConect")->text(),
                 m_section->connectionTimer()->isActive() };
    });
    m_section->setConnectionTime(0, 3, 7);
    m_section->ShowListeningState(QStringLiteral("17"), true);

    QCOMPARE(m_log, QStringList { QStringLiteral("Conectado ao Canal 17...") });
    QVERIFY(seen.running);
    QCOMPARE(seen.user, QStringLiteral("JOAO"));
    QCOMPARE(seen.channel, QStringLiteral("17"));
    QCOMPARE(seen.ip, QStringLiteral("192.168.0.10"));
    QCOMPARE(seen.status, QStringLiteral("Desconectado"));
    QVERIFY(!seen.timer);
    QCOMPARE(label("lbConect")->text(), QStringLiteral("Conectado"));
    QVERIFY(m_section->connectionTimer()->isActive());
    // The caller owns the flag; the counters carry on.
    QVERIFY(!m_section->isConnected());
    m_section->tConectadoTimer();
    QCOMPARE(label("lbTempoConect")->text(), QStringLiteral("00:03:08"));
}

void TestListening::showStateDisconnectedClearsAll()
{
    connectTo(7);
    m_section->setConnectionTime(1, 2, 3);
    m_section->tConectadoTimer();
    QCOMPARE(label("lbTempoConect")->text(), QStringLiteral("01:02:04"));

    m_section->ShowListeningState(QStringLiteral("3"), false);

    QVERIFY(m_log.isEmpty());
    QVERIFY(!m_section->isConnected());
    QVERIFY(!roda()->isRunning());
    QVERIFY(!roda()->isEnabled());
    QVERIFY(label("lbUser")->text().isEmpty());
    QCOMPARE(label("lbConect")->text(), QStringLiteral("Desconectado"));
    QVERIFY(label("lbCanalConect")->text().isEmpty());
    QVERIFY(label("lbIP")->text().isEmpty());
    QVERIFY(!m_section->connectionTimer()->isActive());
    QCOMPARE(label("lbTempoConect")->text(), QStringLiteral("00:00:00"));
    // The counters restart from zero.
    m_section->tConectadoTimer();
    QCOMPARE(label("lbTempoConect")->text(), QStringLiteral("00:00:01"));
}

void TestListening::connectionTick_data()
{
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("errors");
    QTest::newRow("first second") << 0 << 0 << 0 << QStringLiteral("00:00:01") << 0;
    QTest::newRow("minute carry") << 0 << 0 << 59 << QStringLiteral("00:01:00") << 0;
    QTest::newRow("hour carry") << 0 << 59 << 59 << QStringLiteral("01:00:00") << 0;
    QTest::newRow("last second of the day") << 23 << 59 << 58 << QStringLiteral("23:59:59") << 0;
    QTest::newRow("24 hours") << 23 << 59 << 59 << QStringLiteral("23:59:58") << 1;
    QTest::newRow("past 24 hours") << 30 << 0 << 0 << QStringLiteral("23:59:58") << 1;
}

void TestListening::connectionTick()
{
    QFETCH(int, hours);
    QFETCH(int, minutes);
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QFETCH(int, errors);
    m_section->setConnectionTime(23, 59, 57);
    m_section->tConectadoTimer(); // the label shows 23:59:58
    m_section->setConnectionTime(hours, minutes, seconds);
    m_section->tConectadoTimer();
    QCOMPARE(label("lbTempoConect")->text(), text);
    QCOMPARE(m_log.count(QStringLiteral("erro")), errors);
    QCOMPARE(m_log.size(), errors);
    // Every further tick past a day logs again.
    if (errors) {
        m_section->tConectadoTimer();
        QCOMPARE(m_log, (QStringList { QStringLiteral("erro"), QStringLiteral("erro") }));
        QCOMPARE(label("lbTempoConect")->text(), text);
    }
}

void TestListening::connectionTimerRuns()
{
    m_section->connectionTimer()->setInterval(10);
    connectTo(2);
    QSignalSpy ticks(m_section->connectionTimer(), &QTimer::timeout);
    QTRY_VERIFY(ticks.count() >= 3);
    m_section->connectionTimer()->stop();
    QCOMPARE(label("lbTempoConect")->text(),
             QStringLiteral("00:00:%1").arg(ticks.count(), 2, 10, QLatin1Char('0')));
}

QTEST_MAIN(TestListening)
#include "tst_listening.moc"
