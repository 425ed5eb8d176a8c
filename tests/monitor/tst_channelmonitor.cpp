#include "monitor/ChannelMonitor.h"
#include "monitor/ChannelTimer.h"
#include "monitor/StatusRecord.h"
#include "monitor/TDM.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <stdexcept>

namespace {
StatusRecord record(const char *name, const char *recording, const QByteArray &listening = {},
                    const char *activity = "")
{
    return StatusRecord { QByteArray(name), QByteArray(recording), listening,
                          QByteArray(activity) };
}

const QByteArray kNao("N\xC3O", 3);
const QByteArray kNaoUtf8 = QStringLiteral("NÃO").toUtf8();
} // namespace

class TestChannelMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void timerSemantics();
    void applyRecord_data();
    void applyRecord();
    void repeatedCallKeepsCounting();
    void windows1252Name();
    void listeningEnd();
    void replyToChannels();
    void errorSkipsLaterRecords();
    void durationText();
    void durationCapsAtOneDay();
    void idleDelay();
    void idleBlink();
    void maxTimeBlink();
    void blinksTogether();
    void disabledFreezesLamp();

private:
    void ticks(int channel, int count);

    TDM *m_dm = nullptr;
    ChannelMonitor *m_monitor = nullptr;
};

void TestChannelMonitor::init()
{
    m_dm = new TDM;
    // The handlers are driven by hand; the always-on blink timer would interfere.
    for (int n = 1; n <= TDM::kChannels; ++n)
        m_dm->tEstouroC(n)->stop();
    m_monitor = new ChannelMonitor(m_dm);
}

void TestChannelMonitor::cleanup()
{
    delete m_monitor;
    delete m_dm;
}

void TestChannelMonitor::ticks(int channel, int count)
{
    for (int i = 0; i < count; ++i)
        m_monitor->tCanalTimer(channel);
}

void TestChannelMonitor::timerSemantics()
{
    // Restarting a running timer must not restart its countdown: a 150 ms
    // timer poked every 40 ms still fires.
    ChannelTimer timer(QStringLiteral("t"), 150);
    QSignalSpy fired(&timer, &ChannelTimer::timeout);
    timer.start();
    QTimer poke;
    connect(&poke, &QTimer::timeout, &timer, &ChannelTimer::start);
    poke.start(40);
    QVERIFY(fired.wait(2000));
    poke.stop();

    // Interval 0: enabled, never fires.
    ChannelTimer idle(QStringLiteral("z"), 1000);
    QSignalSpy idleFired(&idle, &ChannelTimer::timeout);
    idle.setInterval(0);
    idle.start();
    QVERIFY(idle.isActive());
    QTest::qWait(60);
    QCOMPARE(idleFired.count(), 0);

    // Names and defaults of the data module's timers.
    QCOMPARE(m_dm->tCanal(12)->objectName(), QStringLiteral("tCanal12"));
    QCOMPARE(m_dm->tTempoOciosoC(40)->objectName(), QStringLiteral("tTempoOciosoC40"));
    QCOMPARE(m_dm->tOciosoC(1)->interval(), 750);
    QCOMPARE(m_dm->tEstouroC(7)->interval(), 600);
    QCOMPARE(m_dm->tCanal(7)->interval(), 1000);
    TDM fresh;
    QVERIFY(fresh.tEstouroC(40)->isActive());
    QVERIFY(!fresh.tCanal(1)->isActive());
}

void TestChannelMonitor::applyRecord_data()
{
    QTest::addColumn<QByteArray>("recording");
    QTest::addColumn<QByteArray>("activity");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<bool>("counting");
    QTest::addColumn<bool>("idleDelay");

    // From a call that has run 2 s, with the idle delay running.
    const QString running = QStringLiteral("00:00:02");
    const QString zero = QStringLiteral("00:00:00");
    QTest::newRow("call goes on") << QByteArray("-1") << QByteArray("SIM")
                                  << QStringLiteral("Gravando") << running << true << false;
    QTest::newRow("idle, active") << QByteArray("0") << QByteArray("SIM")
                                  << QStringLiteral("Aguardando") << zero << false << true;
    QTest::newRow("idle, disabled") << QByteArray("0") << QByteArray("Desabilitado")
                                    << QStringLiteral("Desabilitado") << zero << false << true;
    QTest::newRow("idle, other activity") << QByteArray("0") << QByteArray("sim")
                                          << QStringLiteral("Aguardando") << zero << false << true;
    QTest::newRow("field 2 is 1") << QByteArray("1") << QByteArray("Desabilitado")
                                  << QStringLiteral("Gravando") << running << true << true;
    QTest::newRow("field 2 empty") << QByteArray() << QByteArray("SIM")
                                   << QStringLiteral("Gravando") << running << true << true;
}

void TestChannelMonitor::applyRecord()
{
    QFETCH(QByteArray, recording);
    QFETCH(QByteArray, activity);
    const int n = 9;
    m_monitor->applyRecord(n, record("A", "-1"));
    ticks(n, 2);
    m_dm->tTempoOciosoC(n)->start();

    m_monitor->applyRecord(n, StatusRecord { "B", recording, {}, activity });
    const ChannelState &s = m_monitor->channel(n);
    QCOMPARE(s.name, QStringLiteral("B"));
    QTEST(s.status, "status");
    QTEST(s.duration, "duration");
    QTEST(m_dm->tCanal(n)->isActive(), "counting");
    QTEST(m_dm->tTempoOciosoC(n)->isActive(), "idleDelay");
    QFETCH(QString, duration);
    if (duration == QLatin1String("00:00:00")) {
        // The counter was reset too: the next call starts from 00:00:01.
        m_monitor->applyRecord(n, record("B", "-1"));
        ticks(n, 1);
        QCOMPARE(m_monitor->channel(n).duration, QStringLiteral("00:00:01"));
    }
}

void TestChannelMonitor::repeatedCallKeepsCounting()
{
    for (int i = 0; i < 5; ++i) {
        m_monitor->applyRecord(3, record("x", "-1", kNao, "SIM"));
        ticks(3, 1);
    }
    QCOMPARE(m_monitor->channel(3).duration, QStringLiteral("00:00:05"));
    QCOMPARE(m_monitor->channel(3).status, QStringLiteral("Gravando"));
}

void TestChannelMonitor::windows1252Name()
{
    // 0x80 is the euro sign in Windows-1252, a control code in Latin-1.
    m_monitor->applyRecord(1, record("Jo\xE3o \x80", "0"));
    QCOMPARE(m_monitor->channel(1).name, QStringLiteral("João €"));
    m_monitor->applyRecord(1, record("", "0"));
    QCOMPARE(m_monitor->channel(1).name, QString());
}

void TestChannelMonitor::listeningEnd()
{
    QSignalSpy ended(m_monitor, &ChannelMonitor::listeningEnded);
    QSignalSpy log(m_monitor, &ChannelMonitor::logMessage);

    m_monitor->applyRecord(7, record("a", "-1", kNao)); // NÃO before any SIM: nothing
    m_monitor->applyRecord(7, record("a", "-1", "SIM"));
    m_monitor->applyRecord(7, record("a", "-1", "SIM"));
    m_monitor->applyRecord(7, record("a", "-1", kNaoUtf8)); // UTF-8 form: not recognised
    QCOMPARE(ended.count(), 0);
    m_monitor->applyRecord(7, record("a", "-1", kNao));
    m_monitor->applyRecord(7, record("a", "-1", kNao));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).toInt(), 7);
    QCOMPARE(log.count(), 1);
    QCOMPARE(log.at(0).at(0).toString(), QStringLiteral("Desconectado do canal 7."));
    QVERIFY(!m_monitor->channel(7).listeningSeen);
}

void TestChannelMonitor::replyToChannels()
{
    QByteArray reply;
    for (int k = 1; k <= 5; ++k)
        reply += "S" + QByteArray::number(k) + "|" + (k == 3 ? "-1" : "0") + "|x|SIM\xA8";
    m_monitor->applyReply(2, reply.chopped(1));
    QCOMPARE(m_monitor->channel(21).name, QStringLiteral("S1"));
    QCOMPARE(m_monitor->channel(23).status, QStringLiteral("Gravando"));
    QVERIFY(m_dm->tCanal(23)->isActive());
    QCOMPARE(m_monitor->channel(26).name, QStringLiteral("S5"));
    QCOMPARE(m_monitor->channel(40).name, QStringLiteral("S5"));
    QCOMPARE(m_monitor->channel(1).name, QString()); // server 1 untouched
    QCOMPARE(m_monitor->channel(20).name, QString());
}

void TestChannelMonitor::errorSkipsLaterRecords()
{
    // A failure while record 3 is applied (here in the end of listening)
    // leaves records 4.. of the reply unapplied, silently.
    connect(m_monitor, &ChannelMonitor::listeningEnded, this, [](int channel) {
        if (channel == 3)
            throw std::runtime_error("listening panel failed");
    });
    QByteArray seen;
    QByteArray ended;
    for (int k = 1; k <= 20; ++k) {
        seen += "A" + QByteArray::number(k) + "|0|SIM|SIM\xA8";
        ended += "B" + QByteArray::number(k) + "|0|N\xC3O|SIM\xA8";
    }
    m_monitor->applyReply(1, seen);
    m_monitor->applyReply(1, ended);
    QCOMPARE(m_monitor->channel(2).name, QStringLiteral("B2"));
    QCOMPARE(m_monitor->channel(3).name, QStringLiteral("B3"));
    QCOMPARE(m_monitor->channel(4).name, QStringLiteral("A4"));
    QCOMPARE(m_monitor->channel(20).name, QStringLiteral("A20"));
}

void TestChannelMonitor::durationText()
{
    m_monitor->applyRecord(5, record("x", "-1"));
    ticks(5, 1);
    QCOMPARE(m_monitor->channel(5).duration, QStringLiteral("00:00:01"));
    ticks(5, 58);
    QCOMPARE(m_monitor->channel(5).duration, QStringLiteral("00:00:59"));
    ticks(5, 1);
    QCOMPARE(m_monitor->channel(5).duration, QStringLiteral("00:01:00"));
    ticks(5, 3540);
    QCOMPARE(m_monitor->channel(5).duration, QStringLiteral("01:00:00"));
    m_monitor->applyRecord(5, record("x", "0", {}, "SIM"));
    QCOMPARE(m_monitor->channel(5).duration, QStringLiteral("00:00:00"));
}

void TestChannelMonitor::durationCapsAtOneDay()
{
    ticks(6, 86399);
    QCOMPARE(m_monitor->channel(6).duration, QStringLiteral("23:59:59"));
    ticks(6, 3700);
    QCOMPARE(m_monitor->channel(6).duration, QStringLiteral("23:59:59"));
    QCOMPARE(m_monitor->channel(6).hours, 25); // the counter itself goes on
}

void TestChannelMonitor::idleDelay()
{
    m_monitor->tTempoOciosoCTimer(4);
    QVERIFY(!m_dm->tOciosoC(4)->isActive());
    m_monitor->setIdleAlarmEnabled(true);
    m_monitor->tTempoOciosoCTimer(4);
    QVERIFY(m_dm->tOciosoC(4)->isActive());
    // Unchecking later does not stop a blink that already runs.
    m_monitor->setIdleAlarmEnabled(false);
    m_monitor->tTempoOciosoCTimer(4);
    QVERIFY(m_dm->tOciosoC(4)->isActive());
}

void TestChannelMonitor::idleBlink()
{
    const int n = 11;
    m_dm->tOciosoC(n)->start();
    m_monitor->tOciosoCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Panel); // panel colour: left alone
    m_monitor->tEstouroCTimer(n); // idle below the maximum: rest colour
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest);
    m_monitor->tOciosoCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Yellow);
    m_monitor->tOciosoCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest);
    m_monitor->tOciosoCTimer(n);
    m_monitor->applyRecord(n, record("x", "-1"));
    m_monitor->tOciosoCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest);
    QVERIFY(!m_dm->tOciosoC(n)->isActive());
}

void TestChannelMonitor::maxTimeBlink()
{
    const int n = 30;
    m_monitor->setMaxAlarmEnabled(true);
    m_monitor->setMaxCallTime(300);
    m_monitor->tEstouroCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest);
    m_monitor->applyRecord(n, record("x", "-1"));
    ticks(n, 299);
    m_monitor->tEstouroCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest);
    ticks(n, 1); // 00:05:00
    m_monitor->tEstouroCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Red);
    m_monitor->tEstouroCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest);
    m_monitor->tEstouroCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Red);
    // Switched off mid-blink: the lamp keeps its colour until the call ends.
    m_monitor->setMaxAlarmEnabled(false);
    m_monitor->tEstouroCTimer(n);
    m_monitor->tEstouroCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Red);
    m_monitor->applyRecord(n, record("x", "0", {}, "SIM"));
    m_monitor->tEstouroCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest);

    // A lamp still in its panel colour never blinks red.
    const int m = 31;
    m_monitor->setMaxAlarmEnabled(true);
    m_monitor->applyRecord(m, record("x", "-1"));
    ticks(m, 400);
    m_monitor->tEstouroCTimer(m);
    QCOMPARE(m_monitor->channel(m).lamp, Lamp::Panel);

    // MaxCallTime zero (TempoMax unreadable at start): idle rows blink red too.
    m_monitor->setMaxCallTime(0);
    m_monitor->tEstouroCTimer(1); // panel colour, Aguardando: rest colour
    m_monitor->tEstouroCTimer(1);
    QCOMPARE(m_monitor->channel(1).lamp, Lamp::Red);
}

void TestChannelMonitor::blinksTogether()
{
    // An idle alarm with the maximum-time alarm on: each maximum-time tick
    // puts the rest colour back, each idle tick lights yellow again.
    const int n = 15;
    m_monitor->setMaxAlarmEnabled(true);
    m_monitor->setMaxCallTime(300);
    m_monitor->tEstouroCTimer(n);
    m_monitor->tOciosoCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Yellow);
    m_monitor->tEstouroCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest);
    m_monitor->tOciosoCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Yellow);
    m_monitor->tOciosoCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest);
    // A red lamp is not the idle blink's business.
    m_monitor->applyRecord(n, record("x", "-1"));
    ticks(n, 300);
    m_monitor->tEstouroCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Red);
    m_monitor->applyRecord(n, record("x", "1")); // status unchanged "Gravando"
    m_monitor->tOciosoCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Rest); // a call ends the idle blink
}

void TestChannelMonitor::disabledFreezesLamp()
{
    const int n = 22;
    m_monitor->tEstouroCTimer(n);
    m_monitor->tOciosoCTimer(n);
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Yellow);
    m_dm->tOciosoC(n)->start();
    m_monitor->applyRecord(n, record("x", "0", {}, "Desabilitado"));
    for (int i = 0; i < 3; ++i) {
        m_monitor->tOciosoCTimer(n);
        m_monitor->tEstouroCTimer(n);
    }
    QCOMPARE(m_monitor->channel(n).lamp, Lamp::Yellow);
    QVERIFY(m_dm->tOciosoC(n)->isActive());
}

QTEST_GUILESS_MAIN(TestChannelMonitor)
#include "tst_channelmonitor.moc"
