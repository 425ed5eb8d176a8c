#include "FloodSender.h"
#include "Garbage.h"
#include "LoopProbe.h"
#include "monitor/MonitorSection.h"
#include "monitor/StatusPoller.h"
#include "monitor/TDM.h"
#include "settings/SettingsStore.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <memory>

// Both status polls against fake recorders on 127.0.0.1 that answer every
// request with a burst of garbage and flood the poll's port with unsolicited
// replies: the board keeps answering, memory returns to its level, and the
// first valid reply after the flood shows on every row.
class TestStatusFlood : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void floodThenValidReply_data();
    void floodThenValidReply();

private:
    QLabel *label(const QString &name) const;
    QList<QRect> rowGeometries() const;
    static QByteArray validReply(int server);

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    MonitorSection *m_section = nullptr;
    qint64 m_exchanges = 0;
    qint64 m_replies = 0;
};

void TestStatusFlood::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SettingsStore::setLocationOverride(SettingsStore::Key::Main,
                                       m_dir.filePath(QStringLiteral("c.ini")));
}

void TestStatusFlood::init()
{
    m_window = std::make_unique<QWidget>();
    auto *dm = new TDM(m_window.get());
    m_section = new MonitorSection(dm, m_window.get(), m_window.get());
    m_exchanges = m_replies = 0;
    for (int server : { 1, 2 }) {
        connect(m_section->poller(server), &StatusPoller::exchangeFinished, this,
                [this](bool replied) {
                    ++m_exchanges;
                    m_replies += replied;
                });
    }
    m_window->resize(900, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestStatusFlood::cleanup()
{
    m_window.reset();
}

QLabel *TestStatusFlood::label(const QString &name) const
{
    return m_window->findChild<QLabel *>(name);
}

QList<QRect> TestStatusFlood::rowGeometries() const
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QList<QRect> rows;
    for (int n = 1; n <= 40; ++n)
        rows.append(m_window->findChild<QWidget *>(QStringLiteral("PanelC%1").arg(n))->geometry());
    return rows;
}

QByteArray TestStatusFlood::validReply(int server)
{
    QByteArray reply;
    for (int k = 1; k <= 20; ++k) {
        const int n = (server - 1) * 20 + k;
        if (k > 1)
            reply += '\xA8';
        reply += "Ramal " + QByteArray::number(300 + n) + (n % 2 ? "|-1" : "|0")
            + QByteArray("|N\xC3O", 4) + "|SIM";
    }
    return reply;
}

void TestStatusFlood::floodThenValidReply_data()
{
    QTest::addColumn<int>("perSecond");
    QTest::addColumn<int>("burst");
    QTest::newRow("bursts of 50 per request, 3000 unsolicited a second") << 3000 << 50;
    QTest::newRow("one garbage reply per request, 8000 unsolicited a second") << 8000 << 1;
}

void TestStatusFlood::floodThenValidReply()
{
    QFETCH(int, perSecond);
    QFETCH(int, burst);
    constexpr int kFloodMs = 2000;
    const QList<QByteArray> pool = Garbage::statusPool(8601, 500);

    FloodSender recorders[2] = { FloodSender(pool), FloodSender(pool) };
    for (int server : { 1, 2 }) {
        const quint16 port = recorders[server - 1].serveStatus(perSecond, kFloodMs, burst);
        QVERIFY(port);
        m_section->setStatusEndpoint(server, QStringLiteral("127.0.0.1"), port);
    }
    const QList<QRect> rowsBefore = rowGeometries();
    m_section->timerStatus()->start();
    m_section->timerStatus2()->start();
    m_section->tAtuaLabel()->start();

    // The first exchanges are the warm-up; the rest of the flood is measured.
    QTRY_VERIFY(m_exchanges >= 4);
    const qint64 heapBefore = LoopProbe::heapInUse();
    const qint64 exchangesBefore = m_exchanges;
    LoopProbe probe;
    probe.start();
    while (!recorders[0].floodOver() || !recorders[1].floodOver())
        LoopProbe::run(20);
    LoopProbe::run(300);
    probe.stop();
    const qint64 exchanges = m_exchanges - exchangesBefore;
    const qint64 growth = LoopProbe::heapInUse() - heapBefore;
    qInfo("sent %lld garbage datagrams to %lld requests; %lld exchanges (%lld with a reply "
          "taken), longest stall %lld ms (%lld ms of it running), heap growth %lld KiB",
          recorders[0].sent() + recorders[1].sent(),
          recorders[0].requests() + recorders[1].requests(), exchanges, m_replies,
          probe.longestStallMs(), probe.longestStallCpuMs(), growth / 1024);

    // Both polls went on at their pace: about 5 + 2.5 exchanges a second.
    QVERIFY2(exchanges >= 5, "the polls stopped under the flood");
    QVERIFY2(probe.longestStallMs() < 1000, "the event loop stalled under the flood");
    QVERIFY2(growth < 4 * 1024 * 1024, "memory did not return to its level");
    // Names of any length or with line breaks leave the board's layout alone
    // (a moving layout would lay out the whole window at every poll).
    QCOMPARE(rowGeometries(), rowsBefore);

    for (int server : { 1, 2 })
        recorders[server - 1].answerWith(validReply(server));
    for (int n : { 1, 2, 20, 21, 40 }) {
        QTRY_COMPARE(label(QStringLiteral("lbCanal%1").arg(n))->text(),
                     QStringLiteral("Ramal %1").arg(300 + n));
        QTRY_COMPARE(m_section->statusText(n),
                     n % 2 ? QStringLiteral("Gravando") : QStringLiteral("Aguardando"));
    }
}

QTEST_MAIN(TestStatusFlood)
#include "tst_statusflood.moc"
