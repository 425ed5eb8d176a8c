#include "FloodSender.h"
#include "Garbage.h"
#include "LoopProbe.h"
#include "WaveBuilder.h"
#include "app/ErrorReport.h"
#include "app/EventLog.h"
#include "app/MainFormRemoteClient.h"
#include "chat/ChatPanel.h"
#include "chat/ChatSection.h"
#include "chat/ChatServer.h"
#include "listen/AudioReceiver.h"
#include "listen/ListeningSection.h"
#include "listen/WavePlayer.h"
#include "monitor/MonitorSection.h"
#include "monitor/TDM.h"
#include "settings/SettingsStore.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <memory>

namespace {
quint16 freePort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0) ? probe.localPort() : 0;
}
} // namespace

// The whole main window, started from its settings, while both audio
// listeners, the chat listener and both status polls are flooded at once:
// the window keeps answering, memory returns to its level, and afterwards
// a valid status reply, chat line and clip are each handled as usual.
class TestWindowFlood final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everythingAtOnce();

private:
    QTemporaryDir m_dir;
};

void TestWindowFlood::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    SettingsStore::setLocationOverride(SettingsStore::Key::Main,
                                       m_dir.filePath(QStringLiteral("config.ini")));
    ErrorReport::setPresenter([](const QString &m) { QFAIL(qPrintable(m)); });
}

void TestWindowFlood::everythingAtOnce()
{
    constexpr int kFloodMs = 2000;
    constexpr int kPerSecond = 2000;
    FloodSender recorders[2]
        = { FloodSender(Garbage::statusPool(1, 300)), FloodSender(Garbage::statusPool(2, 300)) };
    const quint16 status1 = recorders[0].serveStatus(kPerSecond, kFloodMs + 400, 20);
    const quint16 status2 = recorders[1].serveStatus(kPerSecond, kFloodMs + 400, 20);
    const quint16 chatPort = freePort();
    const quint16 audio[2] = { freePort(), freePort() };
    QVERIFY(status1 && status2 && chatPort && audio[0] && audio[1]);

    const SettingsStore store;
    const QList<QPair<const char *, QString>> values = {
        { "IPServidor", QStringLiteral("127.0.0.1") },
        { "UsuarioClient", QStringLiteral("SUP") },
        { "PortaServidorChat", QString::number(chatPort) },
        { "PortaStatus", QString::number(status1) },
        { "PortaStatus2", QString::number(status2) },
        { "PortaServidor", QStringLiteral("9") },
        { "PortaServidor2", QStringLiteral("9") },
        { "IniWin", QStringLiteral("False") },
        { "HabTempoMax", QStringLiteral("-1") },
        { "HabTempoOcioso", QStringLiteral("-1") },
        { "TempoMax", QStringLiteral("00:05:00") },
        { "TempoOcioso", QStringLiteral("2") },
        { "PathGravacoes", m_dir.path() },
        { "IPLocal", QStringLiteral("127.0.0.1") },
        { "HostBD", QStringLiteral("127.0.0.1") },
        { "PortaBD", QStringLiteral("1") },
        { "UserBD", QStringLiteral("u") },
        { "SenhaBD", QStringLiteral("p") },
        { "NomeBanco", QStringLiteral("vorlan") },
    };
    for (const auto &v : values)
        store.write(QString::fromLatin1(v.first), v.second);

    TDM dm;
    TMainFormRemoteClient window(&dm);
    window.listening()->setAudioPorts(audio[0], audio[1]);
    QCOMPARE(window.FormCreate(), 16);
    window.listening()->setProgramDirectory(m_dir.path() + QLatin1Char('/'));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    qint64 clips = 0;
    qint64 chatLines = 0;
    connect(window.listening()->player(), &WavePlayer::clipStarted, this, [&] { ++clips; });
    connect(window.chat()->server(), &ChatServer::datagramReceived, this, [&] { ++chatLines; });
    // The pools exist before the baseline: they are the test's, not the window's.
    FloodSender audioFloods[2]
        = { FloodSender(Garbage::audioPool(3, 300)), FloodSender(Garbage::audioPool(4, 300)) };
    FloodSender chatFlood(Garbage::chatPool(5, 300));
    QTRY_VERIFY(recorders[0].requests() >= 2 && recorders[1].requests() >= 2);

    // The first clip looks up the audio output and the first call builds the
    // alert window: one-time costs, measured apart from the floods.
    LoopProbe firstUse;
    firstUse.start();
    QUdpSocket sender;
    sender.writeDatagram(WaveBuilder::alawOfSize(400), QHostAddress(QHostAddress::LocalHost),
                         audio[0]);
    sender.writeDatagram("CHAMADA DO Canal 3", QHostAddress(QHostAddress::LocalHost), chatPort);
    QTRY_VERIFY(clips == 1 && chatLines == 1);
    LoopProbe::run(100);
    firstUse.stop();
    const qint64 heapBefore = LoopProbe::heapInUse();

    LoopProbe probe;
    probe.start();
    audioFloods[0].flood(audio[0], kPerSecond, kFloodMs);
    audioFloods[1].flood(audio[1], kPerSecond, kFloodMs);
    chatFlood.flood(chatPort, kPerSecond, kFloodMs);
    const qint64 requestsBefore = recorders[0].requests() + recorders[1].requests();
    while (!chatFlood.floodOver() || !audioFloods[0].floodOver() || !audioFloods[1].floodOver()
           || !recorders[0].floodOver() || !recorders[1].floodOver())
        LoopProbe::run(20);
    QVERIFY(LoopProbe::runUntilDrained(window.listening()->audioReceiver()));
    QVERIFY(LoopProbe::runUntilDrained(window.chat()->server()));
    probe.stop();
    const qint64 requests = recorders[0].requests() + recorders[1].requests() - requestsBefore;
    auto *chatPanel = window.findChild<ChatPanel *>();
    QVERIFY(chatPanel);
    const int logLines = window.eventLog()->messages().size();
    chatPanel->btClearClick();
    LoopProbe::run(50);
    const qint64 growth = LoopProbe::heapInUse() - heapBefore;
    qInfo("sent %lld audio, %lld chat, %lld status datagrams; %lld status requests meanwhile; "
          "%d event log lines; longest stall %lld ms (%lld ms of it running), first clip and "
          "call %lld ms; heap growth %lld KiB",
          audioFloods[0].finish() + audioFloods[1].finish(), chatFlood.finish(),
          recorders[0].sent() + recorders[1].sent(), requests, logLines, probe.longestStallMs(),
          probe.longestStallCpuMs(), firstUse.longestStallMs(), growth / 1024);

    QVERIFY2(probe.longestStallMs() < 1000, "the window stalled under the floods");
    QVERIFY2(requests >= 5, "the status polls stopped under the floods");
    QVERIFY2(growth < 4 * 1024 * 1024, "memory did not return to its level");

    // Every input is handled as usual once the floods are over.
    for (int server : { 1, 2 }) {
        QByteArray reply;
        for (int k = 1; k <= 20; ++k)
            reply += (k > 1 ? "\xA8Mesa " : "Mesa ") + QByteArray::number((server - 1) * 20 + k)
                + (server == 1 ? "|-1|SIM|SIM" : "|0|SIM|Desabilitado");
        recorders[server - 1].answerWith(reply);
    }
    QTRY_COMPARE(window.findChild<QLabel *>(QStringLiteral("lbCanal1"))->text(),
                 QStringLiteral("Mesa 1"));
    QTRY_COMPARE(window.monitor()->statusText(1), QStringLiteral("Gravando"));
    QTRY_COMPARE(window.monitor()->statusText(21), QStringLiteral("Desabilitado"));

    sender.writeDatagram("BOA TARDE", QHostAddress(QHostAddress::LocalHost), chatPort);
    auto *mChat = window.findChild<QPlainTextEdit *>(QStringLiteral("mChat"));
    QTRY_COMPARE(mChat->toPlainText(), QStringLiteral("BOA TARDE"));

    const QByteArray clip = WaveBuilder::alawOfSize(800, char(0x55));
    const qint64 clipsBefore = clips;
    sender.writeDatagram(clip, QHostAddress(QHostAddress::LocalHost), audio[1]);
    QTRY_COMPARE(clips, clipsBefore + 1);
    QFile temp(window.listening()->tempAudioFile());
    QVERIFY(temp.open(QIODevice::ReadOnly));
    QCOMPARE(temp.readAll(), clip);
}

QTEST_MAIN(TestWindowFlood)
#include "tst_windowflood.moc"
