#include "tools/sim/ListenService.h"

#include "tools/sim/AudioTone.h"
#include "tools/sim/SimState.h"

#include <QCommandLineParser>
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>

namespace {

const QString kListenPort = QStringLiteral("listen-port");
const QString kListenPort2 = QStringLiteral("listen-port2");
const QString kAudioPort = QStringLiteral("audio-port");
const QString kAudioPort2 = QStringLiteral("audio-port2");
const QString kAudioHost = QStringLiteral("audio-host");

bool readPort(const QCommandLineParser &parser, const QString &name, quint16 *port,
              bool anyAllowed = false)
{
    bool ok = false;
    const uint value = parser.value(name).toUInt(&ok);
    if (!ok || (value == 0 && !anyAllowed) || value > 65535) {
        std::fprintf(stderr, "invalid --%s: %s\n", qPrintable(name),
                     qPrintable(parser.value(name)));
        return false;
    }
    *port = quint16(value);
    return true;
}

// The number after prefix when request is exactly prefix + 1..20.
int serverChannelOf(const QByteArray &request, const char *prefix)
{
    const QByteArray head(prefix);
    if (!request.startsWith(head))
        return 0;
    bool ok = false;
    const int number = request.mid(head.size()).toInt(&ok);
    return ok && number >= 1 && number <= 20
            && QByteArray::number(number) == request.mid(head.size())
        ? number
        : 0;
}

} // namespace

ListenService::ListenService(QObject *parent)
    : QObject(parent)
    , m_streamTimer(new QTimer(this))
{
    m_streamTimer->setInterval(kClipMs);
    connect(m_streamTimer, &QTimer::timeout, this, &ListenService::streamTick);
}

void ListenService::addOptions(QCommandLineParser &parser)
{
    parser.addOption({ kListenPort,
                       QStringLiteral("Listening-control port of server 1 (0: any free port, "
                                      "printed as listen-ports)."),
                       QStringLiteral("port"), QStringLiteral("9502") });
    parser.addOption({ kListenPort2, QStringLiteral("Listening-control port of server 2."),
                       QStringLiteral("port"), QStringLiteral("9602") });
    parser.addOption({ kAudioPort, QStringLiteral("Client audio port of server 1's stream."),
                       QStringLiteral("port"), QStringLiteral("8501") });
    parser.addOption({ kAudioPort2, QStringLiteral("Client audio port of server 2's stream."),
                       QStringLiteral("port"), QStringLiteral("8601") });
    parser.addOption({ kAudioHost,
                       QStringLiteral("Host the audio is streamed to (default: the requester's "
                                      "address, 127.0.0.1 when it is unknown)."),
                       QStringLiteral("address"), QStringLiteral("127.0.0.1") });
}

bool ListenService::start(const QCommandLineParser &parser, SimState *state)
{
    m_state = state;
    quint16 controlPorts[2];
    if (!readPort(parser, kListenPort, &controlPorts[0], true)
        || !readPort(parser, kListenPort2, &controlPorts[1], true)
        || !readPort(parser, kAudioPort, &m_audioPorts[0])
        || !readPort(parser, kAudioPort2, &m_audioPorts[1]))
        return false;
    if (parser.isSet(kAudioHost)) {
        m_audioHost = QHostAddress(parser.value(kAudioHost));
        if (m_audioHost.isNull()) {
            std::fprintf(stderr, "invalid --audio-host: %s\n",
                         qPrintable(parser.value(kAudioHost)));
            return false;
        }
    }
    for (int server = 0; server < 2; ++server) {
        auto *socket = new QUdpSocket(this);
        if (!socket->bind(QHostAddress(QHostAddress::AnyIPv4), controlPorts[server])) {
            std::fprintf(stderr, "listen service: cannot bind port %u: %s\n",
                         unsigned(controlPorts[server]), qPrintable(socket->errorString()));
            return false;
        }
        m_control[server] = socket;
        connect(socket, &QUdpSocket::readyRead, this, [this, server] { serve(server); });
    }
    if (controlPorts[0] == 0 || controlPorts[1] == 0) {
        std::printf("listen-ports %u %u\n", unsigned(m_control[0]->localPort()),
                    unsigned(m_control[1]->localPort()));
        std::fflush(stdout);
    }
    m_streamTimer->start();
    return true;
}

bool ListenService::handleCommand(const QStringList &)
{
    return false;
}

void ListenService::serve(int server)
{
    QUdpSocket *socket = m_control[server];
    while (socket->hasPendingDatagrams()) {
        QByteArray request(qMax<qint64>(socket->pendingDatagramSize(), 0), Qt::Uninitialized);
        QHostAddress sender;
        quint16 port = 0;
        if (socket->readDatagram(request.data(), request.size(), &sender, &port) < 0)
            continue;
        const QByteArray reply = answer(server, request, sender);
        if (!reply.isEmpty())
            socket->writeDatagram(reply, sender, port);
    }
}

QByteArray ListenService::answer(int server, const QByteArray &request, const QHostAddress &sender)
{
    if (const int number = serverChannelOf(request, "ChamaCanal")) {
        const int channel = server * 20 + number;
        SimState::Channel &state = m_state->channel(channel);
        if (!state.recording)
            return "DesligadoC" + QByteArray::number(number);
        Stream &stream = m_streams[channel - 1];
        stream.active = true;
        stream.address = m_audioHost.isNull() ? sender : m_audioHost;
        if (stream.address.isNull())
            stream.address = QHostAddress(QHostAddress::LocalHost);
        stream.nextSample = 0;
        state.listening = true;
        return "ConectadoC" + QByteArray::number(number);
    }
    if (const int number = serverChannelOf(request, "DesligaC")) {
        stopStream(server * 20 + number);
        return "DesligouC" + QByteArray::number(number);
    }
    return {};
}

void ListenService::stopStream(int channel)
{
    m_streams[channel - 1].active = false;
    m_state->channel(channel).listening = false;
}

void ListenService::streamTick()
{
    constexpr int samples = AudioTone::kSampleRate * kClipMs / 1000;
    for (int channel = 1; channel <= 40; ++channel) {
        Stream &stream = m_streams[channel - 1];
        if (!stream.active)
            continue;
        if (!m_state->channel(channel).recording) {
            stopStream(channel);
            continue;
        }
        const int server = channel <= 20 ? 0 : 1;
        m_control[server]->writeDatagram(AudioTone::waveClip(channel, stream.nextSample, samples),
                                         stream.address, m_audioPorts[server]);
        stream.nextSample += samples;
    }
}
