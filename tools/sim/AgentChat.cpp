#include "tools/sim/AgentChat.h"

#include "app/Win1252.h"
#include "tools/sim/SimState.h"

#include <QCommandLineParser>
#include <QFile>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>

namespace {
const QString kBasePort = QStringLiteral("agent-base-port");
const QString kClientPort = QStringLiteral("client-chat-port");
const QString kClientHost = QStringLiteral("client-host");
const QString kLog = QStringLiteral("agent-log");
const QString kChatEvery = QStringLiteral("chat-every");

QByteArray callOf(int channel)
{
    return QByteArrayLiteral("CHAMADA DO Canal ") + QByteArray::number(channel);
}

int channelArgument(const QString &word)
{
    bool ok = false;
    const int n = word.toInt(&ok);
    return ok && n >= 1 && n <= 40 ? n : 0;
}
} // namespace

AgentChat::AgentChat(QObject *parent)
    : QObject(parent)
{
}

void AgentChat::addOptions(QCommandLineParser &parser)
{
    parser.addOption({ kBasePort,
                       QStringLiteral("Chat agents listen on 127.0.0.1 at <port> + channel "
                                      "(0: any free ports, printed as agent-ports)."),
                       QStringLiteral("port"), QStringLiteral("9800") });
    parser.addOption({ kClientPort, QStringLiteral("The client's chat port (PortaServidorChat)."),
                       QStringLiteral("port"), QStringLiteral("9700") });
    parser.addOption({ kClientHost, QStringLiteral("The client's address."), QStringLiteral("host"),
                       QStringLiteral("127.0.0.1") });
    parser.addOption({ kLog, QStringLiteral("Also append what the agents receive to <file>."),
                       QStringLiteral("file") });
    parser.addOption({ kChatEvery,
                       QStringLiteral("Send a random chat line or call every <seconds> (0: off)."),
                       QStringLiteral("seconds"), QStringLiteral("0") });
}

bool AgentChat::start(const QCommandLineParser &parser, SimState *)
{
    bool ok = false;
    const int base = parser.value(kBasePort).toInt(&ok);
    if (!ok || base < 0 || base + 40 > 65535) {
        std::fprintf(stderr, "vorlan-sim: bad --%s %s\n", qPrintable(kBasePort),
                     qPrintable(parser.value(kBasePort)));
        return false;
    }
    const int clientPort = parser.value(kClientPort).toInt(&ok);
    if (!ok || clientPort < 1 || clientPort > 65535
        || !m_clientHost.setAddress(parser.value(kClientHost))) {
        std::fprintf(stderr, "vorlan-sim: bad client chat address %s:%s\n",
                     qPrintable(parser.value(kClientHost)), qPrintable(parser.value(kClientPort)));
        return false;
    }
    m_clientPort = quint16(clientPort);
    m_logPath = parser.value(kLog);

    QByteArray ports = "agent-ports";
    for (int n = 1; n <= 40; ++n) {
        auto *socket = new QUdpSocket(this);
        const quint16 port = base == 0 ? 0 : quint16(base + n);
        if (!socket->bind(QHostAddress::LocalHost, port)) {
            std::fprintf(stderr, "vorlan-sim: cannot open chat port %u of agent %d\n", port, n);
            // Runs that only want the recorder servers need not fail for a
            // busy default port; a chosen one must be there.
            if (parser.isSet(kBasePort))
                return false;
            socket->deleteLater();
            ports += " 0";
            continue;
        }
        m_agents.at(n - 1) = socket;
        connect(socket, &QUdpSocket::readyRead, this, [this, n] { receive(n); });
        ports += ' ' + QByteArray::number(socket->localPort());
    }
    // Tests that ask for free ports learn them here.
    std::printf("%s\n", ports.constData());
    std::fflush(stdout);

    const int every = parser.value(kChatEvery).toInt();
    if (every > 0) {
        m_chatTimer = new QTimer(this);
        connect(m_chatTimer, &QTimer::timeout, this, &AgentChat::chatTick);
        m_chatTimer->start(every * 1000);
    }
    return true;
}

bool AgentChat::handleCommand(const QStringList &words)
{
    const QString &command = words.first();
    if (command == QLatin1String("say") && words.size() >= 2) {
        if (const int n = channelArgument(words.at(1))) {
            say(n, Win1252::encode(words.mid(2).join(QLatin1Char(' '))));
            return true;
        }
    } else if (command == QLatin1String("chamada") && words.size() == 2) {
        if (const int n = channelArgument(words.at(1))) {
            say(n, callOf(n));
            return true;
        }
    }
    return false;
}

void AgentChat::receive(int channel)
{
    QUdpSocket *socket = m_agents.at(channel - 1);
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        if (!datagram.isValid())
            continue;
        const QByteArray line = QByteArrayLiteral("canal ") + QByteArray::number(channel) + ": "
            + Win1252::decode(datagram.data()).toUtf8() + '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fflush(stdout);
        if (!m_logPath.isEmpty()) {
            QFile log(m_logPath);
            if (log.open(QIODevice::WriteOnly | QIODevice::Append))
                log.write(line);
        }
    }
}

void AgentChat::say(int channel, const QByteArray &payload)
{
    // From the agent's own socket, as the agent's chat program would.
    QUdpSocket *agent = m_agents.at(channel - 1);
    if (!agent) {
        std::fprintf(stderr, "vorlan-sim: agent %d has no chat port\n", channel);
        return;
    }
    agent->writeDatagram(payload, m_clientHost, m_clientPort);
}

void AgentChat::chatTick()
{
    static const char *const lines[] = {
        "BOM DIA, SUPERVISOR.",
        "Preciso de ajuda com um cliente.",
        "O cliente pediu retorno às 15h.",
        "Ligação encerrada, obrigado.",
        "Pode ouvir o canal? Situação delicada.",
    };
    QRandomGenerator *random = QRandomGenerator::global();
    const int channel = random->bounded(1, 41);
    if (random->bounded(4) == 0)
        say(channel, callOf(channel));
    else
        say(channel,
            Win1252::encode(QString::fromUtf8(lines[random->bounded(int(std::size(lines)))])));
}
