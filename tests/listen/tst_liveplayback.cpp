#include "listen/AudioReceiver.h"
#include "listen/ListeningSection.h"
#include "listen/WavePlayer.h"
#include "tests/listen/MonitorRecorder.h"
#include "tests/listen/PrivateSoundServer.h"
#include "tests/listen/ToneTrack.h"
#include "tests/listen/WaveBuilder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QWidget>
#include <memory>

// What the sound device really plays: a private PulseAudio daemon with a
// null sink, its monitor recorded and read back by tone. Skipped where no
// PulseAudio is installed. Bounds on times here are loose on purpose (they
// catch a stalled or unflushed stream, not a slow machine); the figures
// themselves are measured by bench_listen.
class TestLivePlayback : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void clipIsHeardWhole_data();
    void clipIsHeardWhole();
    void newClipCutsOffOldOne_data();
    void newClipCutsOffOldOne();
    void endingSilencesAtOnce_data();
    void endingSilencesAtOnce();
    void deviceIsReleasedAfterTheSilence();
    void streamOverUdpIsHeardWithoutHoles();
    void simulatorCallIsHeardUntilDisconnected();
    // Last: it stops the recorder.
    void newClipFlowsOnSinkOfItsOwn();

private:
    static constexpr double kToneA = 500.0;
    static constexpr double kToneB = 1500.0;
    static constexpr qint64 kMs = 1000000;
    // Slack for the edges of a tone in a 5 ms analysis window, resampled twice.
    static constexpr qint64 kEdgeSamples = 8 * 8;

    qint64 now() const { return m_clock.nsecsElapsed(); }
    bool recordedUntil(qint64 ns) const;
    QList<ToneTrack::Span> heardSince(qint64 ns) const;
    double msAfter(qint64 sample, qint64 ns) const;
    QString describe(const QList<ToneTrack::Span> &spans, qint64 ns) const;

    PrivateSoundServer m_server;
    QElapsedTimer m_clock;
    MonitorRecorder m_recorder { m_clock };
    std::unique_ptr<WavePlayer> m_player;
};

void TestLivePlayback::initTestCase()
{
    const QString missing = PrivateSoundServer::missing();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
    QString why;
    if (!m_server.start(&why))
        QSKIP(qPrintable(QStringLiteral("no private sound server: ") + why));
    m_clock.start();
    // Resumed only once the recorder listens, the null sink runs at the
    // recorder's short latency instead of rendering its idle 2 s ahead.
    QVERIFY(m_server.suspendSink(true));
    QVERIFY(m_recorder.start(m_server.monitorSource(), m_server.server()));
    QTRY_VERIFY_WITH_TIMEOUT(m_server.hasRecordingStream(), 5000);
    QVERIFY(m_server.suspendSink(false));
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder.sampleCount() >= 800, 5000);
    m_recorder.markSteady();
}

void TestLivePlayback::cleanupTestCase()
{
    m_player.reset();
    m_recorder.stop();
    m_server.stop();
}

void TestLivePlayback::init()
{
    m_player = std::make_unique<WavePlayer>();
    QVERIFY(m_player->hasOutput());
}

bool TestLivePlayback::recordedUntil(qint64 ns) const
{
    return m_recorder.playedAtNs(m_recorder.sampleCount()) > ns;
}

QList<ToneTrack::Span> TestLivePlayback::heardSince(qint64 ns) const
{
    return ToneTrack::spansFrom(m_recorder.samples(), m_recorder.sampleAtNs(ns),
                                { kToneA, kToneB });
}

double TestLivePlayback::msAfter(qint64 sample, qint64 ns) const
{
    return double(m_recorder.playedAtNs(sample) - ns) / double(kMs);
}

// "tone@start+length" in ms after ns, for failure messages.
QString TestLivePlayback::describe(const QList<ToneTrack::Span> &spans, qint64 ns) const
{
    QStringList parts;
    for (const ToneTrack::Span &span : spans) {
        parts.append(QStringLiteral("%1@%2+%3")
                         .arg(span.tone)
                         .arg(msAfter(span.first, ns), 0, 'f', 0)
                         .arg(span.length() / 8.0, 0, 'f', 0));
    }
    return parts.join(QLatin1Char(' '));
}

void TestLivePlayback::clipIsHeardWhole_data()
{
    QTest::addColumn<int>("milliseconds");
    QTest::newRow("1 s, as the recorder streams") << 1000;
    QTest::newRow("200 ms, as the simulator streams") << 200;
    // Shorter than the stream's prebuffer: a tail the stream would hold back.
    QTest::newRow("20 ms") << 20;
}

void TestLivePlayback::clipIsHeardWhole()
{
    QFETCH(int, milliseconds);
    const qint64 at = now();
    QVERIFY(m_player->playWave(WaveBuilder::alawTone(kToneA, milliseconds)));
    QTRY_VERIFY_WITH_TIMEOUT(recordedUntil(at + (milliseconds + 600) * kMs), 5000);

    const auto heard = ToneTrack::spansOf(heardSince(at), 0);
    QVERIFY2(heard.size() == 1, qPrintable(describe(heardSince(at), at))); // in one piece
    QVERIFY2(qAbs(heard.first().length() - milliseconds * 8) <= kEdgeSamples,
             qPrintable(QStringLiteral("heard for %1 ms").arg(heard.first().length() / 8.0)));
    const double startMs = msAfter(heard.first().first, at);
    QVERIFY2(startMs < 300, qPrintable(QStringLiteral("first heard after %1 ms").arg(startMs)));
    QCOMPARE(m_player->clipBytesLeft(), 0);
    QVERIFY(m_player->isStreaming()); // the silence after the clip keeps the stream going
}

void TestLivePlayback::newClipCutsOffOldOne_data()
{
    QTest::addColumn<int>("cutMs");
    QTest::newRow("early") << 60;
    QTest::newRow("midway") << 450;
    QTest::newRow("near the end") << 900;
}

void TestLivePlayback::newClipCutsOffOldOne()
{
    QFETCH(int, cutMs);
    const QByteArray first = WaveBuilder::alawTone(kToneA, 1000);
    const QByteArray second = WaveBuilder::alawTone(kToneB, 1000);
    const qint64 atFirst = now();
    QVERIFY(m_player->playWave(first));
    QTRY_VERIFY_WITH_TIMEOUT(now() >= atFirst + cutMs * kMs, 2000);
    const qint64 at = now();
    QVERIFY(m_player->playWave(second));
    QTRY_VERIFY_WITH_TIMEOUT(recordedUntil(at + 1500 * kMs), 5000);

    const auto spans = heardSince(atFirst);
    const auto a = ToneTrack::spansOf(spans, 0);
    const auto b = ToneTrack::spansOf(spans, 1);
    QVERIFY2(a.size() == 1 && b.size() == 1, qPrintable(describe(spans, atFirst)));
    QVERIFY(a.first().end <= b.first().first + kEdgeSamples); // never after the new one began
    const double silentMs = msAfter(a.first().end, at);
    QVERIFY2(silentMs < 150,
             qPrintable(QStringLiteral("old clip silent %1 ms after").arg(silentMs)));
    QVERIFY2(qAbs(b.first().length() - 8000) <= kEdgeSamples,
             qPrintable(QStringLiteral("new clip heard for %1 ms").arg(b.first().length() / 8.0)));
}

void TestLivePlayback::endingSilencesAtOnce_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("stop") << QStringLiteral("stop");
    QTest::newRow("unplayable wave") << QStringLiteral("garbage");
    QTest::newRow("unreadable file") << QStringLiteral("no file");
}

void TestLivePlayback::endingSilencesAtOnce()
{
    QFETCH(QString, how);
    const qint64 atFirst = now();
    QVERIFY(m_player->playWave(WaveBuilder::alawTone(kToneA, 1000)));
    QTRY_VERIFY_WITH_TIMEOUT(now() >= atFirst + 300 * kMs, 2000);
    const qint64 at = now();
    if (how == QLatin1String("stop"))
        m_player->stop();
    else if (how == QLatin1String("garbage"))
        QVERIFY(!m_player->playWave(QByteArray("RIFF\x10\0\0\0WAVEjunk", 16)));
    else
        QVERIFY(!m_player->playFile(QStringLiteral("/nonexistent/vorlan/temp.wav")));
    QVERIFY(!m_player->isStreaming());
    QTRY_VERIFY_WITH_TIMEOUT(recordedUntil(at + 900 * kMs), 5000);

    const auto a = ToneTrack::spansOf(heardSince(atFirst), 0);
    QVERIFY2(a.size() == 1, qPrintable(describe(heardSince(atFirst), atFirst)));
    const double silentMs = msAfter(a.first().end, at);
    QVERIFY2(silentMs < 150, qPrintable(QStringLiteral("silent %1 ms after").arg(silentMs)));
}

void TestLivePlayback::deviceIsReleasedAfterTheSilence()
{
    m_player->setLingerMilliseconds(300);
    for (const double tone : { kToneA, kToneB }) {
        const qint64 at = now();
        QVERIFY(m_player->playWave(WaveBuilder::alawTone(tone, 100)));
        QVERIFY(m_player->isStreaming());
        QTRY_VERIFY_WITH_TIMEOUT(!m_player->isStreaming(), 3000);
        // Released no sooner than the clip and its silence have been handed over.
        QVERIFY(now() - at >= 250 * kMs);
        QTRY_VERIFY_WITH_TIMEOUT(recordedUntil(at + 600 * kMs), 5000);
        const auto heard = ToneTrack::spansOf(heardSince(at), tone == kToneA ? 0 : 1);
        // Heard whole before the stream closed, and again on the stream opened after it.
        QVERIFY2(heard.size() == 1 && qAbs(heard.first().length() - 800) <= kEdgeSamples,
                 qPrintable(describe(heardSince(at), at)));
    }
}

void TestLivePlayback::streamOverUdpIsHeardWithoutHoles()
{
    // Datagrams back to back at the clips' own length, as a call is
    // streamed, through the listener and the temporary file.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    AudioReceiver receiver;
    receiver.setFilePath(dir.filePath(QStringLiteral("temp.wav")));
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
    const quint16 port = probe.localPort();
    probe.close();
    receiver.setPorts(port, 0);
    QVERIFY(receiver.activate());
    connect(&receiver, &AudioReceiver::clipWritten, m_player.get(), &WavePlayer::playFile);
    QSignalSpy played(m_player.get(), &WavePlayer::clipStarted);

    constexpr int kClips = 6;
    constexpr int kClipMs = 200;
    const QByteArray tones[2]
        = { WaveBuilder::alawTone(kToneA, kClipMs), WaveBuilder::alawTone(kToneB, kClipMs) };
    QUdpSocket sender;
    const qint64 begin = now();
    for (int i = 0; i < kClips; ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(now() >= begin + i * kClipMs * kMs, 2000);
        QCOMPARE(sender.writeDatagram(tones[i % 2], QHostAddress(QHostAddress::LocalHost), port),
                 qint64(tones[i % 2].size()));
        QTRY_COMPARE_WITH_TIMEOUT(played.count(), i + 1, 2000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(recordedUntil(begin + (kClips * kClipMs + 500) * kMs), 5000);

    QList<ToneTrack::Span> tonesHeard;
    for (const ToneTrack::Span &span : heardSince(begin)) {
        if (span.tone < 0)
            continue;
        if (!tonesHeard.isEmpty()) {
            const double holeMs = (span.first - tonesHeard.last().end) / 8.0;
            QVERIFY2(holeMs < 60, qPrintable(QStringLiteral("%1 ms hole").arg(holeMs)));
        }
        tonesHeard.append(span);
    }
    // Each clip once, none merged or lost.
    QVERIFY2(tonesHeard.size() == kClips, qPrintable(describe(heardSince(begin), begin)));
    for (int i = 0; i < kClips; ++i) {
        QCOMPARE(tonesHeard.at(i).tone, i % 2);
        // A clip loses at most the moment the next one takes to start.
        QVERIFY2(tonesHeard.at(i).length() >= (kClipMs - 50) * 8,
                 qPrintable(QStringLiteral("clip %1 heard for %2 ms")
                                .arg(i)
                                .arg(tonesHeard.at(i).length() / 8.0)));
    }
}

void TestLivePlayback::simulatorCallIsHeardUntilDisconnected()
{
    // The way a supervisor hears a call: a listen request to the simulator,
    // its stream of 200 ms clips (a 760 Hz beep on channel 23, 400 ms on,
    // 200 ms off), and "Desconectar".
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    quint16 audioPorts[2] = {};
    for (quint16 &port : audioPorts) {
        QUdpSocket probe;
        QVERIFY(probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
        port = probe.localPort();
    }
    QProcess sim;
    sim.start(
        QStringLiteral(VORLAN_SIM_PATH),
        { QStringLiteral("--status-port"), QStringLiteral("0"), QStringLiteral("--status-port2"),
          QStringLiteral("0"), QStringLiteral("--agent-base-port"), QStringLiteral("0"),
          QStringLiteral("--listen-port"), QStringLiteral("0"), QStringLiteral("--listen-port2"),
          QStringLiteral("0"), QStringLiteral("--audio-port"), QString::number(audioPorts[0]),
          QStringLiteral("--audio-port2"), QString::number(audioPorts[1]),
          QStringLiteral("--all-calls") });
    QVERIFY(sim.waitForStarted(5000));
    quint16 listenPort2 = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            while (sim.canReadLine()) {
                const QList<QByteArray> words = sim.readLine().trimmed().split(' ');
                if (words.size() == 3 && words.at(0) == "listen-ports")
                    listenPort2 = quint16(words.at(2).toUInt());
            }
            return listenPort2 != 0;
        }(),
        5000);

    QWidget window;
    auto *section = new ListeningSection(&window, &window);
    QDir(dir.path()).mkpath(QStringLiteral("audio"));
    section->setProgramDirectory(dir.path());
    section->setServerHost(2, QStringLiteral("127.0.0.1"));
    section->setServerPort(2, listenPort2);
    section->setAudioPorts(audioPorts[0], audioPorts[1]);
    QVERIFY(section->activateAudio());
    QSignalSpy played(section->player(), &WavePlayer::clipStarted);
    QSignalSpy done(section, &ListeningSection::requestFinished);
    section->requestListen(23, QStringLiteral("Gravando"));
    QVERIFY(done.wait(3000));
    QVERIFY(section->isConnected());
    QTRY_VERIFY_WITH_TIMEOUT(played.count() >= 1, 3000);
    const qint64 from = now();
    QTRY_VERIFY_WITH_TIMEOUT(recordedUntil(from + 1200 * kMs), 5000);

    // Two of every three 600 ms periods are beep, less the joins.
    constexpr double kBeep = 300.0 + 20.0 * 23;
    const auto window1
        = ToneTrack::spansFrom(m_recorder.samples(), m_recorder.sampleAtNs(from), { kBeep });
    qint64 beep = 0;
    for (const ToneTrack::Span &span : window1) {
        if (span.tone == 0 && span.first < m_recorder.sampleAtNs(from + 1200 * kMs))
            beep += span.length();
    }
    QVERIFY2(beep >= 600 * 8, qPrintable(QStringLiteral("%1 ms of beep in 1.2 s").arg(beep / 8)));

    section->btDesconectaClick();
    QVERIFY(done.wait(3000));
    const qint64 stopped = now();
    const int clipsAtStop = int(played.count());
    QTRY_VERIFY_WITH_TIMEOUT(recordedUntil(stopped + 900 * kMs), 5000);
    // The clip under way plays out (200 ms); nothing comes after it.
    QVERIFY(played.count() <= clipsAtStop + 1);
    const auto after = ToneTrack::spansFrom(m_recorder.samples(),
                                            m_recorder.sampleAtNs(stopped + 400 * kMs), { kBeep });
    for (const ToneTrack::Span &span : after)
        QVERIFY2(span.tone != 0, qPrintable(describe(after, stopped)));
    sim.write("quit\n");
    if (!sim.waitForFinished(3000))
        sim.kill();
}

void TestLivePlayback::newClipFlowsOnSinkOfItsOwn()
{
    // With no other stream on the sink, a stream opened just after the sink
    // lost its last one waits for the silence an idle sink renders ahead
    // (up to 2 s on a null sink); the player opens the new stream first.
    m_recorder.stop();
    QSignalSpy replaced(m_player.get(), &WavePlayer::streamReplaced);
    constexpr qint64 kClipBytes = 2 * 16000; // 2 s of 16-bit samples at 8 kHz
    QVERIFY(m_player->playWave(WaveBuilder::alawTone(kToneA, 2000)));
    // The first stream on an idle sink may wait that long itself.
    QTRY_VERIFY_WITH_TIMEOUT(m_player->clipBytesLeft() < kClipBytes - 8000, 4000);
    QVERIFY(m_player->playWave(WaveBuilder::alawTone(kToneB, 2000)));
    const qint64 at = now();
    QTRY_VERIFY_WITH_TIMEOUT(now() >= at + 800 * kMs, 2000);
    const qint64 taken = kClipBytes - m_player->clipBytesLeft();
    // 800 ms at 16 bytes per ms, less a generous allowance for a busy machine.
    QVERIFY2(taken >= 8000, qPrintable(QStringLiteral("%1 bytes taken").arg(taken)));
    QCOMPARE(replaced.count(), 0);
}

QTEST_MAIN(TestLivePlayback)
#include "tst_liveplayback.moc"
