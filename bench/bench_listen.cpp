// bench_listen: live audio timings over real UDP on 127.0.0.1.
//  (a) a datagram's arrival (the event loop seeing the listener readable) to
//      its first samples written to the audio output; without an audio device
//      to the point where the decoded clip is handed to the output (said so);
//  (b) a new clip's arrival to the old clip's queue being discarded and the
//      sink reset, with a long clip still playing;
//  (c) the G.711 decoder's speed on full 47,803-byte datagrams;
//  (d) with a device: whether a 1 s clip is handed to the sink in about 1 s
//      (a stream that stalls never takes it all). BENCH_TRACE=1 shows the
//      sink's state when it does not.
// With a PulseAudio server (the running one, or a private one with a null
// sink when none runs or --private-sound is given), what the sink actually
// played is recorded from its monitor and read back by tone:
//  (e) a 1 s clip: start after its arrival, length heard, gaps inside;
//  (f) a second clip (another tone) arriving mid-clip: time from its arrival
//      until the first clip is silent, its own start, whether it is whole;
//  (g) a live stream of back-to-back clips: gaps and overlaps at the joins.
// Usage: bench_listen [--count N] [--buffer-ms MS] [--private-sound]
#include "listen/AudioReceiver.h"
#include "listen/G711.h"
#include "listen/PcmSource.h"
#include "listen/WaveFile.h"
#include "listen/WavePlayer.h"
#include "tests/listen/MonitorRecorder.h"
#include "tests/listen/PrivateSoundServer.h"
#include "tests/listen/ToneTrack.h"
#include "tests/listen/WaveBuilder.h"

#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

QElapsedTimer g_clock;

// Notes the first socket activation after each send: the moment the event
// loop learns that a datagram has arrived, before any handler runs.
class ArrivalStamp final : public QObject
{
public:
    qint64 stamp = -1;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::SockAct && stamp < 0)
            stamp = g_clock.nsecsElapsed();
        return QObject::eventFilter(watched, event);
    }
};

quint16 freePort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0) ? probe.localPort() : 0;
}

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto index = size_t(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

void report(const char *what, const std::vector<double> &us)
{
    std::printf("%-44s n=%zu p50=%.1f us p99=%.1f us max=%.1f us\n", what, us.size(),
                percentile(us, 0.5), percentile(us, 0.99), percentile(us, 1.0));
}

// Runs the event loop until done() or the timeout; false on timeout.
template<typename Done> bool spinUntil(Done done, int timeoutMs = 2000)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

void spinFor(int ms)
{
    spinUntil([] { return false; }, ms);
}

bool serverRunning()
{
    const QString pactl = PrivateSoundServer::tool("pactl");
    if (pactl.isEmpty())
        return false;
    QProcess info;
    info.start(pactl, { QStringLiteral("info") });
    return info.waitForFinished(3000) && info.exitStatus() == QProcess::NormalExit
        && info.exitCode() == 0;
}

// Starts recording what the default sink plays, on a private server when
// asked or when none runs; nullptr when it cannot.
std::unique_ptr<MonitorRecorder> startRecording(bool privateSound,
                                                std::unique_ptr<PrivateSoundServer> &server)
{
    if (PrivateSoundServer::tool("parec").isEmpty())
        return {};
    auto recorder = std::make_unique<MonitorRecorder>(g_clock);
    if (privateSound || !serverRunning()) {
        if (!PrivateSoundServer::missing().isEmpty())
            return {};
        server = std::make_unique<PrivateSoundServer>();
        QString why;
        if (!server->start(&why)) {
            std::fprintf(stderr, "no private sound server: %s\n", qPrintable(why));
            server.reset();
            return {};
        }
        // Resumed only once the recorder listens, the null sink runs at the
        // recorder's 5 ms latency instead of rendering 2 s ahead.
        server->suspendSink(true);
        if (!recorder->start(server->monitorSource(), server->server()))
            return {};
        spinUntil([&] { return server->hasRecordingStream(); }, 3000);
        server->suspendSink(false);
        std::printf("sound: private PulseAudio, null sink, recorded from its monitor\n");
    } else {
        if (!recorder->start(QStringLiteral("@DEFAULT_MONITOR@")))
            return {};
        // What the sink had rendered ahead before the recorder came arrives first.
        spinFor(2500);
        std::printf("sound: the running PulseAudio server, default sink's monitor\n");
    }
    if (!spinUntil([&] { return recorder->sampleCount() >= 1600; }, 4000))
        return {};
    recorder->markSteady();
    spinFor(200);
    return recorder;
}

constexpr double kToneA = 500.0;
constexpr double kToneB = 1500.0;

// The recording from the moment fromNs on, read as tone spans; samples of
// the spans count from the start of the recording.
QList<ToneTrack::Span> heardSince(const MonitorRecorder &recorder, qint64 fromNs)
{
    return ToneTrack::spansFrom(recorder.samples(), recorder.sampleAtNs(fromNs),
                                { kToneA, kToneB });
}

double msOf(qint64 samples)
{
    return double(samples) * 1000.0 / MonitorRecorder::kRate;
}

// Sends one clip and returns when the event loop saw it arrive (its stamp).
qint64 sendClip(QUdpSocket &sender, quint16 port, const QByteArray &clip, ArrivalStamp &arrival)
{
    arrival.stamp = -1;
    sender.writeDatagram(clip, QHostAddress(QHostAddress::LocalHost), port);
    spinUntil([&] { return arrival.stamp >= 0; });
    return arrival.stamp;
}

void waitPlayedUntil(const MonitorRecorder &recorder, qint64 ns)
{
    spinUntil([&] { return recorder.playedAtNs(recorder.sampleCount()) > ns; }, 8000);
}

// (e) a 1 s clip heard whole, in one piece, soon after it arrives.
void measureWholeClip(const MonitorRecorder &recorder, QUdpSocket &sender, quint16 port,
                      ArrivalStamp &arrival)
{
    const QByteArray clip = WaveBuilder::alawTone(kToneA, 1000);
    std::vector<double> startMs;
    std::vector<double> heardMs;
    int gaps = 0;
    int missing = 0;
    for (int i = 0; i < 5; ++i) {
        const qint64 at = sendClip(sender, port, clip, arrival);
        waitPlayedUntil(recorder, at + 1400 * 1000000LL);
        const auto spans = ToneTrack::spansOf(heardSince(recorder, at), 0);
        if (spans.isEmpty()) {
            ++missing;
            continue;
        }
        startMs.push_back(double(recorder.playedAtNs(spans.first().first) - at) / 1e6);
        heardMs.push_back(msOf(spans.last().end - spans.first().first));
        gaps += int(spans.size()) - 1;
        spinFor(300);
    }
    std::printf("(e) 1 s clip, arrival -> first sound (ms): p50=%.1f max=%.1f; heard for (ms): "
                "min=%.1f max=%.1f; gaps inside: %d; not heard: %d of 5\n",
                percentile(startMs, 0.5), percentile(startMs, 1.0), percentile(heardMs, 0.0),
                percentile(heardMs, 1.0), gaps, missing);
}

// (f) a second clip cutting into the first.
void measureCutOff(const MonitorRecorder &recorder, QUdpSocket &sender, quint16 port,
                   ArrivalStamp &arrival, int rounds)
{
    const QByteArray first = WaveBuilder::alawTone(kToneA, 1000);
    const QByteArray second = WaveBuilder::alawTone(kToneB, 1000);
    std::vector<double> silentMs;
    std::vector<double> startMs;
    std::vector<double> secondMs;
    int firstAfterSecond = 0;
    int firstBroken = 0;
    int unreadable = 0;
    for (int i = 0; i < rounds; ++i) {
        const int cutMs = 100 + (i * 170) % 800;
        const qint64 atFirst = sendClip(sender, port, first, arrival);
        spinUntil([&] { return g_clock.nsecsElapsed() >= atFirst + cutMs * 1000000LL; }, 2000);
        const qint64 at = sendClip(sender, port, second, arrival);
        waitPlayedUntil(recorder, at + 1400 * 1000000LL);
        const auto spans = heardSince(recorder, atFirst);
        const auto a = ToneTrack::spansOf(spans, 0);
        const auto b = ToneTrack::spansOf(spans, 1);
        if (a.isEmpty() || b.isEmpty()) {
            ++unreadable;
            continue;
        }
        silentMs.push_back(double(recorder.playedAtNs(a.last().end) - at) / 1e6);
        startMs.push_back(double(recorder.playedAtNs(b.first().first) - at) / 1e6);
        secondMs.push_back(msOf(b.last().end - b.first().first));
        firstAfterSecond += a.last().end > b.first().first + ToneTrack::kWindow ? 1 : 0;
        firstBroken += a.size() > 1 ? 1 : 0;
        spinFor(200);
    }
    report("(f) 2nd clip arrival -> 1st clip silent", [&] {
        std::vector<double> us;
        for (double ms : silentMs)
            us.push_back(ms * 1000.0);
        return us;
    }());
    std::printf(
        "    2nd clip arrival -> its first sound (ms): p50=%.1f max=%.1f; 2nd clip heard "
        "for (ms): min=%.1f max=%.1f;\n    1st clip heard after the 2nd began: %d; 1st clip "
        "broken before the cut: %d; unreadable rounds: %d\n",
        percentile(startMs, 0.5), percentile(startMs, 1.0), percentile(secondMs, 0.0),
        percentile(secondMs, 1.0), firstAfterSecond, firstBroken, unreadable);
}

// (g) clips sent back to back at their own length, alternating tones, as a
// recorder streams a call: what is lost or left silent at each join.
void measureStream(const MonitorRecorder &recorder, QUdpSocket &sender, quint16 port,
                   ArrivalStamp &arrival, int clipMs, int clips)
{
    const QByteArray tones[2]
        = { WaveBuilder::alawTone(kToneA, clipMs), WaveBuilder::alawTone(kToneB, clipMs) };
    const qint64 begin = g_clock.nsecsElapsed();
    for (int i = 0; i < clips; ++i) {
        spinUntil([&] { return g_clock.nsecsElapsed() >= begin + i * clipMs * 1000000LL; },
                  clipMs * 2);
        sendClip(sender, port, tones[i % 2], arrival);
    }
    waitPlayedUntil(recorder, begin + (clips * clipMs + 400) * 1000000LL);
    const auto spans = heardSince(recorder, begin);
    std::vector<double> heard;
    std::vector<double> silences;
    int joins = 0;
    if (qEnvironmentVariableIsSet("BENCH_TRACE")) {
        for (const ToneTrack::Span &span : spans)
            std::printf("   tone %d at %.1f ms for %.1f ms\n", span.tone,
                        double(recorder.playedAtNs(span.first) - begin) / 1e6, msOf(span.length()));
    }
    for (qsizetype i = 0; i < spans.size(); ++i) {
        if (spans[i].tone >= 0) {
            heard.push_back(msOf(spans[i].length()));
            continue;
        }
        const bool inside
            = i > 0 && i + 1 < spans.size() && spans[i - 1].tone >= 0 && spans[i + 1].tone >= 0;
        if (inside) {
            silences.push_back(msOf(spans[i].length()));
            ++joins;
        }
    }
    double total = 0;
    for (double ms : heard)
        total += ms;
    std::printf("(g) %d clips of %d ms back to back: %zu tone spans, heard %.0f of %d ms; "
                "silence/noise at %d joins: p50 %.1f ms, max %.1f ms (a clean join reads as "
                "about 2 ms)\n",
                clips, clipMs, heard.size(), total, clips * clipMs, joins,
                percentile(silences, 0.5), percentile(silences, 1.0));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int count = 500;
    const QStringList args = app.arguments();
    const qsizetype countAt = args.indexOf(QStringLiteral("--count"));
    if (countAt > 0 && countAt + 1 < args.size())
        count = std::max(10, args.at(countAt + 1).toInt());
    const qsizetype bufferAt = args.indexOf(QStringLiteral("--buffer-ms"));
    const qint64 bufferMs = bufferAt > 0 && bufferAt + 1 < args.size()
        ? args.at(bufferAt + 1).toLongLong()
        : WavePlayer::kBufferMicroseconds / 1000;
    g_clock.start();

    // Before anything asks Qt for an audio device: a private server must be
    // in place by then.
    std::unique_ptr<PrivateSoundServer> server;
    const auto recorder = startRecording(args.contains(QStringLiteral("--private-sound")), server);

    QTemporaryDir dir;
    AudioReceiver receiver;
    WavePlayer player;
    player.setBufferMicroseconds(bufferMs * 1000);
    receiver.setProgramDirectory(dir.path());
    const quint16 port = freePort();
    const quint16 port2 = freePort();
    receiver.setPorts(port, port2);
    if (!receiver.activate()) {
        std::fprintf(stderr, "cannot bind the listeners\n");
        return 1;
    }
    QObject::connect(&receiver, &AudioReceiver::clipWritten, &player, &WavePlayer::playFile);
    qint64 started = -1;
    QObject::connect(&player, &WavePlayer::clipStarted, &app,
                     [&started] { started = g_clock.nsecsElapsed(); });
    ArrivalStamp arrival;
    app.installEventFilter(&arrival);

    const bool device = player.hasOutput();
    std::printf("audio output: %s\n",
                device ? "default device (times end at the first samples written to the sink)"
                       : "NONE (times end where the decoded clip is handed to the output)");

    QUdpSocket sender;
    const QHostAddress local(QHostAddress::LocalHost);
    const QByteArray full = WaveBuilder::alawOfSize(AudioReceiver::kMaxDatagram, char(0xD5));
    const QByteArray shortClip = WaveBuilder::alawOfSize(44 + 1600, char(0x55)); // 200 ms

    // (a) arrival to first samples, full-size datagrams.
    std::vector<double> arrivalToSamples;
    std::vector<double> sendToSamples;
    for (int i = 0; i < count; ++i) {
        arrival.stamp = -1;
        started = -1;
        const qint64 sent = g_clock.nsecsElapsed();
        sender.writeDatagram(full, local, port);
        if (!spinUntil([&] { return started >= 0; })) {
            std::fprintf(stderr, "datagram %d not played\n", i);
            return 1;
        }
        if (arrival.stamp >= 0)
            arrivalToSamples.push_back(double(started - arrival.stamp) / 1000.0);
        sendToSamples.push_back(double(started - sent) / 1000.0);
    }
    report("(a) arrival -> first samples", arrivalToSamples);
    report("    send -> first samples (incl. loopback)", sendToSamples);

    // (b) a new clip while a 6 s clip is still queued: arrival of the new one
    // to the old queue discarded (the player replaces its queue and closes
    // the old stream before announcing the clip).
    std::vector<double> arrivalToSilence;
    int oldLeft = 0;
    for (int i = 0; i < std::max(10, count / 5); ++i) {
        started = -1;
        sender.writeDatagram(full, local, port2);
        spinUntil([&] { return started >= 0; });
        arrival.stamp = -1;
        started = -1;
        sender.writeDatagram(shortClip, local, port2);
        if (!spinUntil([&] { return started >= 0; })) {
            std::fprintf(stderr, "second clip %d not played\n", i);
            return 1;
        }
        if (arrival.stamp >= 0)
            arrivalToSilence.push_back(double(started - arrival.stamp) / 1000.0);
        if (device && player.clipBytesLeft() > 1600 * 2)
            ++oldLeft;
    }
    report("(b) new clip arrival -> old queue discarded", arrivalToSilence);
    if (device)
        std::printf("    old samples left in queue: %d times (what the old stream held is "
                    "dropped with it: see (f))\n",
                    oldLeft);
    else
        std::printf("    (no device: no sink to reset; the old clip's samples never leave "
                    "the player)\n");

    // (d) continuity: a 1 s clip should be handed over in about 1 s less the
    // sink's buffer; a stream that stalls takes visibly longer.
    if (device) {
        std::vector<double> handOverMs;
        const QByteArray second = WaveBuilder::alawOfSize(44 + 8000, char(0x55));
        for (int i = 0; i < 5; ++i) {
            started = -1;
            sender.writeDatagram(second, local, port);
            spinUntil([&] { return started >= 0; });
            const qint64 from = started;
            spinUntil([&] { return player.clipBytesLeft() == 0; }, 5000);
            if (qEnvironmentVariableIsSet("BENCH_TRACE")) {
                auto *sink = player.findChild<QAudioSink *>();
                std::printf("   left %lld free %lld state %d err %d\n", player.clipBytesLeft(),
                            sink ? (long long)sink->bytesFree() : -1LL,
                            sink ? int(sink->state()) : -1, sink ? int(sink->error()) : -1);
            }
            handOverMs.push_back(double(g_clock.nsecsElapsed() - from) / 1e6);
        }
        std::printf("(d) 1 s clip fully handed to the sink after (ms):");
        for (double ms : handOverMs)
            std::printf(ms >= 5000 ? " stalled(>5000)" : " %.0f", ms);
        std::printf("\n");
    }

    if (device && recorder) {
        QObject::connect(&player, &WavePlayer::streamReplaced, &app,
                         [] { std::printf("    (a stalled stream was replaced)\n"); });
        std::printf("sink buffer asked: %lld ms; times from the sink's monitor, within its "
                    "5 ms latency\n",
                    bufferMs);
        measureWholeClip(*recorder, sender, port, arrival);
        measureCutOff(*recorder, sender, port2, arrival, std::max(10, count / 25));
        measureStream(*recorder, sender, port, arrival, 200, 10);
        measureStream(*recorder, sender, port, arrival, 1000, 4);
    } else if (device) {
        std::printf("(e)-(g) skipped: nothing records the sink (parec or a PulseAudio server "
                    "missing)\n");
    }

    // (c) decoder speed.
    const auto clip = WaveFile::parse(full);
    if (!clip)
        return 1;
    const QByteArray &codes = clip->data;
    std::vector<qint16> out(size_t(codes.size()));
    const int rounds = 20000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        G711::decodeAlaw(reinterpret_cast<const quint8 *>(codes.constData()), codes.size(),
                         out.data());
    const double tableNs = double(t.nsecsElapsed());
    volatile qint16 sink = out[size_t(rounds % codes.size())];
    (void)sink;
    t.restart();
    qsizetype pcmBytes = 0;
    for (int i = 0; i < rounds / 10; ++i) {
        const auto parsed = WaveFile::parse(full);
        pcmBytes += WaveFile::toPcm16(*parsed).size();
    }
    const double parseNs = double(t.nsecsElapsed());
    std::printf("(c) G.711 A-law table decode: %.0f MB/s of codes, %.1f us per %lld-byte "
                "datagram\n",
                double(codes.size()) * rounds / (tableNs / 1e9) / 1e6, tableNs / rounds / 1000.0,
                AudioReceiver::kMaxDatagram);
    std::printf("    parse + decode to PCM (as played): %.1f us per datagram (%lld PCM bytes)\n",
                parseNs / (rounds / 10) / 1000.0, static_cast<long long>(pcmBytes / (rounds / 10)));
    return 0;
}
