#include "listen/AudioReceiver.h"
#include "listen/ListeningSection.h"
#include "listen/WavePlayer.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QWidget>
#include <memory>

// Live listening against the project's simulator: the listening control and
// the audio stream it sends while a call is listened to.
class TestListenSim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void noCallIsRefused();
    void listenedCallStreamsAudio();
    void stopIsConfirmedWithoutLogLine();

private:
    static quint16 freePort();
    void listen(int channel);

    QProcess m_sim;
    quint16 m_listenPorts[2] = { 0, 0 };
    quint16 m_audioPorts[2] = { 0, 0 };
    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    ListeningSection *m_section = nullptr;
    QStringList m_log;
};

quint16 TestListenSim::freePort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0) ? probe.localPort() : 0;
}

void TestListenSim::initTestCase()
{
    m_audioPorts[0] = freePort();
    m_audioPorts[1] = freePort();
    QVERIFY(m_audioPorts[0] && m_audioPorts[1] && m_audioPorts[0] != m_audioPorts[1]);
    // Every channel but 1-10 is in a call.
    m_sim.start(
        QStringLiteral(VORLAN_SIM_PATH),
        { QStringLiteral("--status-port"), QStringLiteral("0"), QStringLiteral("--status-port2"),
          QStringLiteral("0"), QStringLiteral("--agent-base-port"), QStringLiteral("0"),
          QStringLiteral("--listen-port"), QStringLiteral("0"), QStringLiteral("--listen-port2"),
          QStringLiteral("0"), QStringLiteral("--audio-port"), QString::number(m_audioPorts[0]),
          QStringLiteral("--audio-port2"), QString::number(m_audioPorts[1]),
          QStringLiteral("--all-calls") });
    QVERIFY(m_sim.waitForStarted(5000));
    m_sim.write("hangup 1-10\n");
    connect(&m_sim, &QProcess::readyReadStandardOutput, this, [this] {
        while (m_sim.canReadLine()) {
            const QList<QByteArray> words = m_sim.readLine().trimmed().split(' ');
            if (words.size() == 3 && words.at(0) == "listen-ports") {
                m_listenPorts[0] = quint16(words.at(1).toUInt());
                m_listenPorts[1] = quint16(words.at(2).toUInt());
            }
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(m_listenPorts[0] != 0 || m_sim.state() != QProcess::Running, 5000);
    QVERIFY(m_listenPorts[0] && m_listenPorts[1]);
}

void TestListenSim::cleanupTestCase()
{
    m_sim.write("quit\n");
    if (!m_sim.waitForFinished(3000))
        m_sim.kill();
}

void TestListenSim::init()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("audio"));
    m_window = std::make_unique<QWidget>();
    m_section = new ListeningSection(m_window.get(), m_window.get());
    m_section->setProgramDirectory(m_dir.path());
    m_section->setServerHost(1, QStringLiteral("127.0.0.1"));
    m_section->setServerHost(2, QStringLiteral("127.0.0.1"));
    m_section->setServerPort(1, m_listenPorts[0]);
    m_section->setServerPort(2, m_listenPorts[1]);
    m_section->setAudioPorts(m_audioPorts[0], m_audioPorts[1]);
    QVERIFY(m_section->activateAudio());
    m_log.clear();
    connect(m_section, &ListeningSection::logMessage, this,
            [this](const QString &message) { m_log.append(message); });
}

void TestListenSim::cleanup()
{
    m_window.reset();
}

void TestListenSim::listen(int channel)
{
    QSignalSpy done(m_section, &ListeningSection::requestFinished);
    m_section->requestListen(channel, QStringLiteral("Gravando"));
    QVERIFY(done.wait(3000));
}

void TestListenSim::noCallIsRefused()
{
    // The simulator may take the hang-ups of start-up a little after it has
    // printed its ports: ask again until channel 5 is free.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            m_log.clear();
            listen(5);
            return m_log.size() == 2;
        }(),
        3000);
    QCOMPARE(m_log.at(1), QStringLiteral("Não há nenhuma ligação corrente no Canal 5"));
    QVERIFY(!m_section->isConnected());
}

void TestListenSim::listenedCallStreamsAudio()
{
    QSignalSpy played(m_section->player(), &WavePlayer::clipStarted);
    listen(23);
    QCOMPARE(m_log, QStringList { QStringLiteral("Conectado ao Canal 23...") });
    QVERIFY(m_section->isConnected());
    // Server 2's stream arrives on the second audio port as A-law 8 kHz clips.
    QTRY_VERIFY_WITH_TIMEOUT(played.count() >= 2, 3000);
    QCOMPARE(played.first().at(1).toInt(), 8000);
    QVERIFY(played.first().at(0).toLongLong() > 0);
    QVERIFY(QFileInfo(m_section->tempAudioFile()).size() > 44);

    QSignalSpy done(m_section, &ListeningSection::requestFinished);
    m_section->btDesconectaClick();
    QVERIFY(done.wait(3000));
}

void TestListenSim::stopIsConfirmedWithoutLogLine()
{
    listen(33);
    QVERIFY(m_section->isConnected());
    m_log.clear();
    QSignalSpy done(m_section, &ListeningSection::requestFinished);
    m_section->btDesconectaClick();
    QVERIFY(done.wait(3000));
    // A reply came (a silent server would log), and it changes nothing.
    QVERIFY(m_log.isEmpty());
    QVERIFY(m_section->isConnected());
}

QTEST_MAIN(TestListenSim)
#include "tst_listensim.moc"
