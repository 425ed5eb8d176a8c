#include "tools/sim/StatusService.h"

#include "app/Win1252.h"
#include "tools/sim/Churn.h"
#include "tools/sim/SimState.h"

#include <QCommandLineParser>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>

namespace {
const QString kPort1 = QStringLiteral("status-port");
const QString kPort2 = QStringLiteral("status-port2");
const QString kChurn = QStringLiteral("churn");
const QString kAllCalls = QStringLiteral("all-calls");

// Channel arguments: "7", "1-20" or "all".
QList<int> channels(const QString &word)
{
    if (word == QLatin1String("all")) {
        QList<int> all;
        for (int n = 1; n <= 40; ++n)
            all.append(n);
        return all;
    }
    const QStringList range = word.split(QLatin1Char('-'));
    bool ok1 = false;
    bool ok2 = true;
    const int from = range.value(0).toInt(&ok1);
    const int to = range.size() == 2 ? range.at(1).toInt(&ok2) : from;
    QList<int> list;
    if (!ok1 || !ok2 || range.size() > 2 || from < 1 || to > 40)
        return list;
    for (int n = from; n <= to; ++n)
        list.append(n);
    return list;
}
} // namespace

StatusService::StatusService(QObject *parent)
    : QObject(parent)
{
}

void StatusService::addOptions(QCommandLineParser &parser)
{
    parser.addOption({ kPort1,
                       QStringLiteral("Status port of recorder server 1 (0: any free port)."),
                       QStringLiteral("port"), QStringLiteral("9501") });
    parser.addOption({ kPort2,
                       QStringLiteral("Status port of recorder server 2 (0: any free port)."),
                       QStringLiteral("port"), QStringLiteral("9601") });
    parser.addOption({ kChurn,
                       QStringLiteral("Start and end calls at random, every <ms> on average "
                                      "(0: off)."),
                       QStringLiteral("ms"), QStringLiteral("0") });
    parser.addOption({ kAllCalls, QStringLiteral("Start with a call on every channel.") });
}

bool StatusService::start(const QCommandLineParser &parser, SimState *state)
{
    m_state = state;
    const QString options[] = { kPort1, kPort2 };
    for (int s = 0; s < 2; ++s) {
        bool ok = false;
        const int port = parser.value(options[s]).toInt(&ok);
        Server &server = m_servers.at(s);
        server.socket = new QUdpSocket(this);
        if (!ok || port < 0 || port > 65535
            || !server.socket->bind(QHostAddress::LocalHost, quint16(port))) {
            std::fprintf(stderr, "vorlan-sim: cannot open status port %s of server %d\n",
                         qPrintable(parser.value(options[s])), s + 1);
            return false;
        }
        connect(server.socket, &QUdpSocket::readyRead, this, [this, s] { answer(s + 1); });
    }
    if (parser.isSet(kAllCalls)) {
        for (int n = 1; n <= 40; ++n)
            m_state->channel(n).recording = true;
    }
    m_churn = new Churn(state, this);
    m_churn->setPeriod(parser.value(kChurn).toInt());
    // Tests that ask for free ports learn them here.
    std::printf("status-ports %u %u\n", m_servers.at(0).socket->localPort(),
                m_servers.at(1).socket->localPort());
    std::fflush(stdout);
    return true;
}

QByteArray StatusService::reply(int server) const
{
    const Server &s = m_servers.at(server - 1);
    switch (s.mode) {
    case Mode::Silent:
        return {};
    case Mode::Raw:
        return s.raw;
    case Mode::Garbage:
        return QByteArrayLiteral("\x01\xFFgarbage|||\xA8\xA8|-1x|S");
    case Mode::Oversize:
        return QByteArray(8193, 'x');
    case Mode::Normal:
        break;
    }
    QByteArray text;
    const int first = server == 1 ? 1 : 21;
    for (int n = first; n < first + 20; ++n) {
        const SimState::Channel &c = m_state->channel(n);
        if (n != first)
            text.append(char(0xA8));
        text.append(Win1252::encode(c.name));
        text.append(c.recording ? "|-1" : "|0");
        text.append(c.listening ? QByteArrayLiteral("|SIM") : QByteArray("|N\xC3O", 4));
        text.append(c.disabled ? "|Desabilitado" : "|SIM");
    }
    return text;
}

void StatusService::answer(int server)
{
    Server &s = m_servers.at(server - 1);
    while (s.socket->hasPendingDatagrams()) {
        const QNetworkDatagram request = s.socket->receiveDatagram();
        if (request.data() != "STATUS")
            continue;
        const QByteArray text = reply(server);
        if (s.mode == Mode::Silent)
            continue;
        const QHostAddress to = request.senderAddress();
        const quint16 port = quint16(request.senderPort());
        QUdpSocket *socket = s.socket;
        if (s.delayMs > 0)
            QTimer::singleShot(s.delayMs, socket,
                               [socket, text, to, port] { socket->writeDatagram(text, to, port); });
        else
            socket->writeDatagram(text, to, port);
    }
}

bool StatusService::handleCommand(const QStringList &words)
{
    return channelCommand(words) || serverCommand(words);
}

// call N | hangup N | disable N | enable N | listening N on|off | name N text...
// | hold N | release N (hold keeps the channel as it is while the churn runs)
bool StatusService::channelCommand(const QStringList &words)
{
    static const QStringList verbs
        = { QStringLiteral("call"),   QStringLiteral("hangup"),    QStringLiteral("disable"),
            QStringLiteral("enable"), QStringLiteral("listening"), QStringLiteral("name"),
            QStringLiteral("hold"),   QStringLiteral("release") };
    const QString verb = words.value(0);
    if (!verbs.contains(verb) || words.size() < 2)
        return false;
    const QList<int> list = channels(words.at(1));
    if (list.isEmpty())
        return false;
    for (int n : list) {
        SimState::Channel &c = m_state->channel(n);
        if (verb == QLatin1String("call"))
            c.recording = true;
        else if (verb == QLatin1String("hangup"))
            c.recording = false;
        else if (verb == QLatin1String("disable"))
            c.disabled = true, c.recording = false;
        else if (verb == QLatin1String("enable"))
            c.disabled = false;
        else if (verb == QLatin1String("hold"))
            c.held = true;
        else if (verb == QLatin1String("release"))
            c.held = false;
        else if (verb == QLatin1String("listening"))
            c.listening = words.value(2) == QLatin1String("on");
        else
            c.name = words.mid(2).join(QLatin1Char(' '));
    }
    return true;
}

// status S normal|silent|garbage|oversize ; status-raw S HEX ; status-delay S MS
// (S is the server, 1 or 2); churn MS.
bool StatusService::serverCommand(const QStringList &words)
{
    const QString verb = words.value(0);
    if (verb == QLatin1String("churn") && words.size() == 2) {
        m_churn->setPeriod(words.at(1).toInt());
        return true;
    }
    const int server = words.value(1).toInt();
    if (server < 1 || server > 2 || words.size() != 3)
        return false;
    Server &s = m_servers.at(server - 1);
    const QString arg = words.at(2);
    if (verb == QLatin1String("status")) {
        static const QStringList modes = { QStringLiteral("normal"), QStringLiteral("silent"),
                                           QStringLiteral("garbage"), QStringLiteral("oversize") };
        const qsizetype mode = modes.indexOf(arg);
        if (mode < 0)
            return false;
        s.mode = Mode(mode);
        return true;
    }
    if (verb == QLatin1String("status-raw")) {
        s.raw = QByteArray::fromHex(arg.toLatin1());
        s.mode = Mode::Raw;
        return true;
    }
    if (verb == QLatin1String("status-delay")) {
        s.delayMs = arg.toInt();
        return true;
    }
    return false;
}
