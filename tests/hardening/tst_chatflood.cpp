#include "FloodSender.h"
#include "Garbage.h"
#include "LoopProbe.h"
#include "chat/AlertWindow.h"
#include "chat/ChatPanel.h"
#include "chat/ChatSection.h"
#include "chat/ChatServer.h"
#include "chat/ChatTranscript.h"
#include "settings/SettingsStore.h"

#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QWidget>
#include <memory>

// The chat listener under a flood of random, oversized and call-shaped
// datagrams: the window keeps answering, clearing the view gives the memory
// back, and the next real line and call are handled as usual.
class TestChatFlood : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void floodThenValidDatagrams_data();
    void floodThenValidDatagrams();

private:
    void send(const QByteArray &payload);
    // Runs the loop until the listener has handled every datagram sent.
    void runUntilQuiet();

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    ChatSection *m_section = nullptr;
    quint16 m_port = 0;
    qint64 m_received = 0;
    int m_lastMark = 0;
};

void TestChatFlood::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SettingsStore::setLocationOverride(SettingsStore::Key::Main,
                                       m_dir.filePath(QStringLiteral("c.ini")));
}

void TestChatFlood::init()
{
    m_window = std::make_unique<QWidget>();
    m_section = new ChatSection(m_window.get(), m_window.get());
    m_section->alert()->setSlideDuration(10);
    m_section->setListenPort(0);
    QVERIFY(m_section->activateServer());
    m_port = m_section->server()->boundPort();
    m_received = 0;
    m_lastMark = 0;
    connect(m_section->server(), &ChatServer::datagramReceived, this, [this] { ++m_received; });
    connect(m_section, &ChatSection::callMark, this, [this](int channel, const QColor &colour) {
        if (colour == QColor(255, 0, 0))
            m_lastMark = channel;
    });
    m_window->resize(600, 400);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestChatFlood::cleanup()
{
    m_window.reset();
}

void TestChatFlood::send(const QByteArray &payload)
{
    QUdpSocket sender;
    QCOMPARE(sender.writeDatagram(payload, QHostAddress(QHostAddress::LocalHost), m_port),
             qint64(payload.size()));
}

void TestChatFlood::runUntilQuiet()
{
    QVERIFY(LoopProbe::runUntilDrained(m_section->server()));
}

void TestChatFlood::floodThenValidDatagrams_data()
{
    QTest::addColumn<int>("perSecond");
    QTest::addColumn<int>("floodMs");
    QTest::newRow("3000 a second for 2 s") << 3000 << 2000;
    QTest::newRow("8000 a second for 1 s") << 8000 << 1000;
}

void TestChatFlood::floodThenValidDatagrams()
{
    QFETCH(int, perSecond);
    QFETCH(int, floodMs);
    const QList<QByteArray> pool = Garbage::chatPool(8192, 600);
    auto *view = m_window->findChild<QPlainTextEdit *>(QStringLiteral("mChat"));
    QVERIFY(view);

    // Warm up, then measure with the view cleared as the supervisor would.
    {
        FloodSender warm(pool);
        warm.flood(m_port, perSecond, 200);
        QTRY_VERIFY(warm.floodOver());
        runUntilQuiet();
    }
    m_section->chatPanel()->btClearClick();
    LoopProbe::run(50);
    const qint64 heapBefore = LoopProbe::heapInUse();
    const qint64 receivedBefore = m_received;

    LoopProbe probe;
    probe.start();
    FloodSender flood(pool);
    flood.flood(m_port, perSecond, floodMs);
    while (!flood.floodOver())
        LoopProbe::run(20);
    const qint64 sent = flood.finish();
    runUntilQuiet();
    probe.stop();
    const qint64 received = m_received - receivedBefore;
    const qint64 lines = m_section->chatPanel()->transcript()->lines().size();
    const qint64 heapFull = LoopProbe::heapInUse();
    m_section->chatPanel()->btClearClick();
    LoopProbe::run(50);
    const qint64 growth = LoopProbe::heapInUse() - heapBefore;
    qInfo("sent %lld, handled %lld, %lld lines shown, longest stall %lld ms (%lld ms of it "
          "running), heap with the "
          "lines %lld KiB, after clearing %lld KiB",
          sent, received, lines, probe.longestStallMs(), probe.longestStallCpuMs(),
          (heapFull - heapBefore) / 1024, growth / 1024);

    QVERIFY2(received > sent / 50, "the flood hardly reached the listener");
    QVERIFY2(probe.longestStallMs() < 1000, "the event loop stalled under the flood");
    QVERIFY2(growth < 4 * 1024 * 1024, "clearing the view did not give the memory back");
    QVERIFY(view->toPlainText().isEmpty());

    // The next real line shows, and the next call raises the alert.
    send(QByteArrayLiteral("BOM DIA, SUPERVISOR"));
    QTRY_COMPARE(view->toPlainText(), QStringLiteral("BOM DIA, SUPERVISOR"));
    m_lastMark = 0;
    send(QByteArrayLiteral("CHAMADA DO Canal 7"));
    QTRY_COMPARE(m_lastMark, 7);
    QCOMPARE(m_section->alert()->text(),
             QStringLiteral("O Usuário do Canal 7 esta <br> chamando."));
    QCOMPARE(view->toPlainText(), QStringLiteral("BOM DIA, SUPERVISOR"));
}

QTEST_MAIN(TestChatFlood)
#include "tst_chatflood.moc"
