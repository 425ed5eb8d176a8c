#include "FloodSender.h"
#include "Garbage.h"
#include "LoopProbe.h"
#include "WaveBuilder.h"
#include "listen/AudioReceiver.h"
#include "listen/ListeningSection.h"
#include "listen/WavePlayer.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QWidget>
#include <memory>

// Both audio listeners under a flood of random, oversized and malformed
// datagrams: the window keeps answering, memory returns to its level, and
// the next real clip is stored and played as usual.
class TestAudioFlood : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void floodThenValidClip_data();
    void floodThenValidClip();

private:
    static quint16 freePort();
    QByteArray fileContent() const;

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    ListeningSection *m_section = nullptr;
    quint16 m_ports[2] = { 0, 0 };
    qint64 m_written = 0;
    qint64 m_dropped = 0;
    qint64 m_played = 0;
};

quint16 TestAudioFlood::freePort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0) ? probe.localPort() : 0;
}

void TestAudioFlood::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void TestAudioFlood::init()
{
    m_window = std::make_unique<QWidget>();
    m_section = new ListeningSection(m_window.get(), m_window.get());
    m_section->setProgramDirectory(m_dir.path() + QLatin1Char('/'));
    m_ports[0] = freePort();
    m_ports[1] = freePort();
    QVERIFY(m_ports[0] && m_ports[1] && m_ports[0] != m_ports[1]);
    m_section->setAudioPorts(m_ports[0], m_ports[1]);
    QVERIFY(m_section->activateAudio());
    // Counters rather than signal spies: a spy's record of every emission
    // would itself grow the heap under measurement.
    m_written = m_dropped = m_played = 0;
    connect(m_section->audioReceiver(), &AudioReceiver::clipWritten, this, [this] { ++m_written; });
    connect(m_section->audioReceiver(), &AudioReceiver::datagramDropped, this,
            [this] { ++m_dropped; });
    connect(m_section->player(), &WavePlayer::clipStarted, this, [this] { ++m_played; });
    m_window->resize(400, 300);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestAudioFlood::cleanup()
{
    m_window.reset();
}

QByteArray TestAudioFlood::fileContent() const
{
    QFile file(m_section->tempAudioFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestAudioFlood::floodThenValidClip_data()
{
    QTest::addColumn<QList<int>>("servers");
    QTest::addColumn<int>("perSecond");
    QTest::newRow("UDPAudio") << QList<int> { 1 } << 4000;
    QTest::newRow("UDPAudio2") << QList<int> { 2 } << 4000;
    QTest::newRow("both at once") << QList<int> { 1, 2 } << 3000;
}

void TestAudioFlood::floodThenValidClip()
{
    QFETCH(QList<int>, servers);
    QFETCH(int, perSecond);
    constexpr int kFloodMs = 2000;
    const QList<QByteArray> pool = Garbage::audioPool(8501, 400);

    // Warm up: first clip, first garbage, so that lazily built state is in
    // the baseline and not counted as growth.
    {
        FloodSender warm(pool);
        warm.flood(m_ports[servers.first() - 1], perSecond, 200);
        QTRY_VERIFY(warm.floodOver());
        QVERIFY(LoopProbe::runUntilDrained(m_section->audioReceiver()));
    }
    const qint64 heapBefore = LoopProbe::heapInUse();
    m_written = m_dropped = 0;

    LoopProbe probe;
    probe.start();
    std::vector<std::unique_ptr<FloodSender>> senders;
    for (int server : servers) {
        senders.push_back(std::make_unique<FloodSender>(pool));
        senders.back()->flood(m_ports[server - 1], perSecond, kFloodMs);
    }
    qint64 sent = 0;
    for (auto &sender : senders) {
        while (!sender->floodOver())
            LoopProbe::run(20);
        sent += sender->finish();
    }
    // What the socket buffers still hold is handled.
    QVERIFY(LoopProbe::runUntilDrained(m_section->audioReceiver()));
    probe.stop();
    const qint64 handled = m_written + m_dropped;
    const qint64 growth = LoopProbe::heapInUse() - heapBefore;
    qInfo("sent %lld, handled %lld (%lld stored, %lld dropped), longest stall %lld ms "
          "(%lld ms of it running), heap growth %lld KiB",
          sent, handled, m_written, m_dropped, probe.longestStallMs(), probe.longestStallCpuMs(),
          growth / 1024);

    QVERIFY2(handled > sent / 50, "the flood hardly reached the listeners");
    QVERIFY2(probe.longestStallMs() < 1000, "the event loop stalled under the flood");
    QVERIFY2(growth < 4 * 1024 * 1024, "memory did not return to its level");

    // The next real clip, on every flooded listener.
    for (int server : servers) {
        const QByteArray clip = WaveBuilder::alawOfSize(1600 + server, char(0x10 + server));
        const qint64 played = m_played;
        QUdpSocket sender;
        QCOMPARE(
            sender.writeDatagram(clip, QHostAddress(QHostAddress::LocalHost), m_ports[server - 1]),
            qint64(clip.size()));
        QTRY_COMPARE(fileContent(), clip);
        QTRY_COMPARE(m_played, played + 1);
        QCOMPARE(m_section->tempAudioFile(),
                 QDir(m_dir.path()).filePath(QStringLiteral("audio/temp.wav")));
    }
}

QTEST_MAIN(TestAudioFlood)
#include "tst_audioflood.moc"
