#include "SimPeer.h"
#include "monitor/ChannelMonitor.h"
#include "monitor/ChannelTimer.h"
#include "monitor/MonitorSection.h"
#include "monitor/StatusPoller.h"
#include "monitor/TDM.h"
#include "settings/SettingsStore.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

// The board and both polls against the recorder simulator over real UDP.
class TestStatusPoll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void liveBoard();
    void callCountsAcrossPolls();
    void disabledChannel();
    void rawReplies_data();
    void rawReplies();
    void listeningEndsOnce();
    void oversizedReplyIgnored();
    void largestReplyAccepted();
    void oneServerSilent();
    void lateReplyIgnored();
    void garbageKeepsPolling();
    void unresolvableHost();
    void neverBlocksAndOneRequestAtATime();

private:
    QLabel *label(const QString &name) const;
    QColor textColour(const QString &name) const;
    void raw(int server, const QByteArray &reply);
    // Waits for count more finished exchanges of a server.
    bool exchanges(int server, int count, bool replied);

    QTemporaryDir m_dir;
    SimPeer m_sim;
    std::unique_ptr<QWidget> m_window;
    TDM *m_dm = nullptr;
    MonitorSection *m_section = nullptr;
};

void TestStatusPoll::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SettingsStore::setLocationOverride(SettingsStore::Key::Main,
                                       m_dir.filePath(QStringLiteral("c.ini")));
    QVERIFY(m_sim.start());
}

void TestStatusPoll::init()
{
    for (const char *line : { "status 1 normal", "status 2 normal", "status-delay 1 0",
                              "status-delay 2 0", "hangup all", "enable all", "listening all off" })
        m_sim.command(QString::fromLatin1(line));
    for (int n = 1; n <= 40; ++n)
        m_sim.command(QStringLiteral("name %1 Ramal %2").arg(n).arg(200 + n));
    m_window = std::make_unique<QWidget>();
    m_dm = new TDM(m_window.get());
    m_section = new MonitorSection(m_dm, m_window.get(), m_window.get());
    m_section->setStatusEndpoint(1, QStringLiteral("127.0.0.1"), m_sim.statusPort(1));
    m_section->setStatusEndpoint(2, QStringLiteral("127.0.0.1"), m_sim.statusPort(2));
    m_section->timerStatus()->start();
    m_section->timerStatus2()->start();
    m_section->tAtuaLabel()->start();
    QTRY_COMPARE(label(QStringLiteral("lbCanal40"))->text(), QStringLiteral("Ramal 240"));
    QTRY_COMPARE(label(QStringLiteral("lbCanal20"))->text(), QStringLiteral("Ramal 220"));
}

void TestStatusPoll::cleanup()
{
    m_section->shutdown();
    m_window.reset();
}

QLabel *TestStatusPoll::label(const QString &name) const
{
    auto *found = m_window->findChild<QLabel *>(name);
    if (!found)
        qFatal("no label %s", qPrintable(name));
    return found;
}

QColor TestStatusPoll::textColour(const QString &name) const
{
    return label(name)->palette().color(QPalette::WindowText);
}

void TestStatusPoll::raw(int server, const QByteArray &reply)
{
    m_sim.command(
        QStringLiteral("status-raw %1 %2").arg(server).arg(QString::fromLatin1(reply.toHex())));
}

bool TestStatusPoll::exchanges(int server, int count, bool replied)
{
    QSignalSpy spy(m_section->poller(server), &StatusPoller::exchangeFinished);
    for (int i = 0; i < 50; ++i) {
        int matching = 0;
        for (const auto &args : spy)
            matching += args.at(0).toBool() == replied ? 1 : 0;
        if (matching >= count)
            return true;
        spy.wait(200);
    }
    return false;
}

void TestStatusPoll::liveBoard()
{
    QTRY_COMPARE(label(QStringLiteral("lbCanal1"))->text(), QStringLiteral("Ramal 201"));
    QCOMPARE(label(QStringLiteral("lbStatusC1"))->text(), QStringLiteral("Aguardando"));
    QCOMPARE(label(QStringLiteral("lbTempoDuracaoC1"))->text(), QStringLiteral("00:00:00"));
    QTRY_COMPARE(textColour(QStringLiteral("lbStatusC40")), QColor(0, 128, 0));
    QVERIFY(label(QStringLiteral("lbStatusC40"))->font().bold());
    QCOMPARE(label(QStringLiteral("lbStatusC12"))->accessibleDescription(),
             QStringLiteral("lbStatusC12"));
    QVERIFY(m_window->findChild<QWidget *>(QStringLiteral("PanelC40")));
    m_sim.command(QStringLiteral("name 7 Recepção €"));
    QTRY_COMPARE(label(QStringLiteral("lbCanal7"))->text(), QStringLiteral("Recepção €"));
}

void TestStatusPoll::callCountsAcrossPolls()
{
    // Server 2 is polled every 200 ms; a counter restarted by each poll
    // would never reach a 300 ms tick.
    m_dm->tCanal(23)->setInterval(300);
    m_sim.command(QStringLiteral("call 23"));
    QTRY_COMPARE(label(QStringLiteral("lbStatusC23"))->text(), QStringLiteral("Gravando"));
    QTRY_COMPARE_WITH_TIMEOUT(label(QStringLiteral("lbTempoDuracaoC23"))->text(),
                              QStringLiteral("00:00:02"), 5000);
    QTRY_COMPARE(textColour(QStringLiteral("lbStatusC23")), QColor(255, 0, 0));
    QVERIFY(!m_dm->tTempoOciosoC(23)->isActive());

    m_sim.command(QStringLiteral("hangup 23"));
    QTRY_COMPARE(label(QStringLiteral("lbStatusC23"))->text(), QStringLiteral("Aguardando"));
    QCOMPARE(label(QStringLiteral("lbTempoDuracaoC23"))->text(), QStringLiteral("00:00:00"));
    QVERIFY(!m_dm->tCanal(23)->isActive());
    QVERIFY(m_dm->tTempoOciosoC(23)->isActive());
    QCOMPARE(m_section->monitor()->channel(23).seconds, 0);
    QTRY_COMPARE(textColour(QStringLiteral("lbStatusC23")), QColor(0, 128, 0));
}

void TestStatusPoll::disabledChannel()
{
    m_sim.command(QStringLiteral("disable 24"));
    QTRY_COMPARE(label(QStringLiteral("lbStatusC24"))->text(), QStringLiteral("Desabilitado"));
    QTRY_COMPARE(textColour(QStringLiteral("lbStatusC24")), QColor(128, 128, 128));
    QCOMPARE(m_section->statusText(24), QStringLiteral("Desabilitado"));
}

namespace {
QByteArray records(int count, const QByteArray &prefix, const QByteArray &recording = "0",
                   bool trailing = false)
{
    QByteArray text;
    for (int k = 1; k <= count; ++k) {
        if (k > 1)
            text += char(0xA8);
        text += prefix + QByteArray::number(k) + "|" + recording + "|N\xC3O|SIM";
    }
    if (trailing)
        text += char(0xA8);
    return text;
}
} // namespace

void TestStatusPoll::rawReplies_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("status");

    QTest::newRow("five records: later rows show record 5")
        << records(5, "F", "-1") << 20 << QStringLiteral("F5") << QStringLiteral("Gravando");
    QTest::newRow("five records: row 5")
        << records(5, "F") << 5 << QStringLiteral("F5") << QStringLiteral("Aguardando");
    QTest::newRow("trailing 0xA8") << records(20, "T", "-1", true) << 20 << QStringLiteral("T20")
                                   << QStringLiteral("Gravando");
    QTest::newRow("field 2 is 1: only the name")
        << records(20, "U", "1") << 13 << QStringLiteral("U13") << QStringLiteral("Aguardando");
    QTest::newRow("no separators: row 1 blanked")
        << QByteArray("Tudo|-1") << 1 << QString() << QStringLiteral("Aguardando");
    QTest::newRow("no separators: others take all")
        << QByteArray("Tudo|-1") << 2 << QStringLiteral("Tudo") << QStringLiteral("Gravando");
}

void TestStatusPoll::rawReplies()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, channel);
    raw(1, reply);
    const QString n = QString::number(channel);
    QFETCH(QString, name);
    QTRY_COMPARE(label(QStringLiteral("lbCanal") + n)->text(), name);
    QTEST(label(QStringLiteral("lbStatusC") + n)->text(), "status");
}

void TestStatusPoll::listeningEndsOnce()
{
    QSignalSpy ended(m_section, &MonitorSection::listeningEnded);
    QSignalSpy log(m_section, &MonitorSection::logMessage);
    auto reply = [](const QByteArray &marker, const QByteArray &listening) {
        return "Marca" + marker + "|0|SIM|SIM\xA8" + "C2|0|" + listening + "|SIM\xA8"
            + "C3|0|x|SIM";
    };
    raw(2, reply("a", "SIM"));
    QTRY_COMPARE(label(QStringLiteral("lbCanal21"))->text(), QStringLiteral("Marcaa"));
    raw(2, reply("b", QStringLiteral("NÃO").toUtf8())); // UTF-8: not the recorder's "NÃO"
    QTRY_COMPARE(label(QStringLiteral("lbCanal21"))->text(), QStringLiteral("Marcab"));
    QVERIFY(exchanges(2, 2, true));
    QCOMPARE(ended.count(), 0);
    raw(2, reply("c", QByteArray("N\xC3O", 3)));
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(exchanges(2, 3, true));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), 22);
    QCOMPARE(log.count(), 1);
    QCOMPARE(log.at(0).at(0).toString(), QStringLiteral("Desconectado do canal 22."));
}

void TestStatusPoll::oversizedReplyIgnored()
{
    m_sim.command(QStringLiteral("status 1 oversize"));
    m_sim.command(QStringLiteral("call 3"));
    QVERIFY(exchanges(1, 3, false));
    QCOMPARE(label(QStringLiteral("lbCanal1"))->text(), QStringLiteral("Ramal 201"));
    QCOMPARE(label(QStringLiteral("lbCanal2"))->text(), QStringLiteral("Ramal 202"));
    QCOMPARE(label(QStringLiteral("lbStatusC3"))->text(), QStringLiteral("Aguardando"));
}

void TestStatusPoll::largestReplyAccepted()
{
    // No 0xA8: every row after the first takes the whole reply as its record.
    const QByteArray big = QByteArray(8188, 'Z') + "|-1|";
    QCOMPARE(big.size(), 8192);
    raw(1, big);
    QTRY_COMPARE(label(QStringLiteral("lbCanal2"))->text().size(), 8188);
    QCOMPARE(label(QStringLiteral("lbStatusC2"))->text(), QStringLiteral("Gravando"));
    QCOMPARE(label(QStringLiteral("lbCanal1"))->text(), QString());
}

void TestStatusPoll::oneServerSilent()
{
    QSignalSpy log(m_section, &MonitorSection::logMessage);
    m_sim.command(QStringLiteral("call 25"));
    QTRY_COMPARE(label(QStringLiteral("lbStatusC25"))->text(), QStringLiteral("Gravando"));
    m_dm->tCanal(25)->setInterval(100);
    m_sim.command(QStringLiteral("status 2 silent"));
    m_sim.command(QStringLiteral("hangup 25"));
    m_sim.command(QStringLiteral("name 21 Mudou"));
    m_sim.command(QStringLiteral("name 1 Vivo"));
    QTRY_COMPARE(label(QStringLiteral("lbCanal1"))->text(), QStringLiteral("Vivo"));
    QVERIFY(exchanges(2, 3, false));
    QCOMPARE(label(QStringLiteral("lbCanal21"))->text(), QStringLiteral("Ramal 221"));
    // The frozen call keeps counting.
    QCOMPARE(label(QStringLiteral("lbStatusC25"))->text(), QStringLiteral("Gravando"));
    QVERIFY(label(QStringLiteral("lbTempoDuracaoC25"))->text() > QStringLiteral("00:00:02"));
    QCOMPARE(log.count(), 0);
}

void TestStatusPoll::lateReplyIgnored()
{
    m_sim.command(QStringLiteral("status-delay 1 250"));
    m_sim.command(QStringLiteral("name 2 Atrasado"));
    QVERIFY(exchanges(1, 3, false));
    QCOMPARE(label(QStringLiteral("lbCanal2"))->text(), QStringLiteral("Ramal 202"));
    m_sim.command(QStringLiteral("status-delay 1 20"));
    QTRY_COMPARE(label(QStringLiteral("lbCanal2"))->text(), QStringLiteral("Atrasado"));
}

void TestStatusPoll::garbageKeepsPolling()
{
    m_sim.command(QStringLiteral("status 1 garbage"));
    QVERIFY(exchanges(1, 3, true));
    m_sim.command(QStringLiteral("status 1 normal"));
    QTRY_COMPARE(label(QStringLiteral("lbCanal1"))->text(), QStringLiteral("Ramal 201"));
}

void TestStatusPoll::unresolvableHost()
{
    m_section->setStatusEndpoint(1, QStringLiteral("no-such-host.invalid"), m_sim.statusPort(1));
    m_section->setStatusEndpoint(2, QStringLiteral("127.0.0.1"), 0);
    QVERIFY(exchanges(1, 2, false));
    QVERIFY(exchanges(2, 2, false));
    QVERIFY(m_section->timerStatus()->isActive() || m_section->poller(1)->exchangeRunning());
}

void TestStatusPoll::neverBlocksAndOneRequestAtATime()
{
    m_sim.command(QStringLiteral("status 1 silent"));
    m_sim.command(QStringLiteral("status 2 silent"));
    QVERIFY(exchanges(1, 1, false));
    // While a request waits for its reply, other events keep running, and
    // the poll timer stays stopped until the exchange ends.
    int ticksDuringWait = 0;
    int timerRunningDuringWait = 0;
    QTimer probe;
    connect(&probe, &QTimer::timeout, this, [&] {
        for (int server : { 1, 2 }) {
            if (!m_section->poller(server)->exchangeRunning())
                continue;
            ++ticksDuringWait;
            if ((server == 1 ? m_section->timerStatus() : m_section->timerStatus2())->isActive())
                ++timerRunningDuringWait;
        }
    });
    probe.start(5);
    QSignalSpy finished1(m_section->poller(1), &StatusPoller::exchangeFinished);
    QTest::qWait(1100);
    probe.stop();
    QVERIFY2(ticksDuringWait > 0, "the event loop stalled during the reply wait");
    QCOMPARE(timerRunningDuringWait, 0);
    // A silent server 1 is asked once per 100 ms wait plus 400 ms interval.
    QVERIFY2(finished1.count() >= 1 && finished1.count() <= 3,
             qPrintable(QString::number(finished1.count())));
}

QTEST_MAIN(TestStatusPoll)
#include "tst_statuspoll.moc"
