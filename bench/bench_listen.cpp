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
// Usage: bench_listen [--count N]
#include "listen/AudioReceiver.h"
#include "listen/G711.h"
#include "listen/PcmSource.h"
#include "listen/WaveFile.h"
#include "listen/WavePlayer.h"
#include "tests/listen/WaveBuilder.h"

#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <cstdio>
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int count = 500;
    const QStringList args = app.arguments();
    const qsizetype countAt = args.indexOf(QStringLiteral("--count"));
    if (countAt > 0 && countAt + 1 < args.size())
        count = std::max(10, args.at(countAt + 1).toInt());
    g_clock.start();

    QTemporaryDir dir;
    AudioReceiver receiver;
    WavePlayer player;
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
    // to the old queue discarded (the player replaces its queue and resets
    // the sink before announcing the clip).
    auto *queue = player.findChild<PcmSource *>();
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
        if (device && queue && queue->bytesAvailable() > 1600 * 2)
            ++oldLeft;
    }
    report("(b) new clip arrival -> old queue discarded", arrivalToSilence);
    if (device)
        std::printf("    plus at most %lld ms of old sound the sink already held; "
                    "old samples left in queue: %d times\n",
                    WavePlayer::kBufferMicroseconds / 1000, oldLeft);
    else
        std::printf("    (no device: no sink to reset; the old clip's samples never leave "
                    "the player)\n");

    // (d) continuity: a 1 s clip should be handed over in about 1 s less the
    // sink's buffer; a stream that stalls takes visibly longer.
    if (device && queue) {
        std::vector<double> handOverMs;
        const QByteArray second = WaveBuilder::alawOfSize(44 + 8000, char(0x55));
        for (int i = 0; i < 5; ++i) {
            started = -1;
            sender.writeDatagram(second, local, port);
            spinUntil([&] { return started >= 0; });
            const qint64 from = started;
            spinUntil([&] { return queue->bytesAvailable() == 0; }, 5000);
            if (qEnvironmentVariableIsSet("BENCH_TRACE")) {
                auto *sink = player.findChild<QAudioSink *>();
                std::printf("   left %lld free %lld state %d err %d\n", queue->bytesAvailable(),
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
