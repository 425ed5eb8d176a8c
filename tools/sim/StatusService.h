#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <array>

class Churn;
class QCommandLineParser;
class QUdpSocket;
class SimState;

// The status service of both recorder servers: answers "STATUS" with the 20
// records of the server's channels. Tests script it from standard input:
// fixed replies, silence, garbage, oversized replies and delays.
class StatusService final : public QObject
{
    Q_OBJECT

public:
    enum class Mode { Normal, Silent, Garbage, Oversize, Raw };

    explicit StatusService(QObject *parent = nullptr);

    static void addOptions(QCommandLineParser &parser);
    // Starts the service from the parsed options; false with a message on stderr.
    bool start(const QCommandLineParser &parser, SimState *state);
    // A command line read from standard input ("call 7", ...); true when
    // this service took it.
    bool handleCommand(const QStringList &words);

    // The reply server (1 or 2) would send now.
    QByteArray reply(int server) const;

private:
    struct Server
    {
        QUdpSocket *socket = nullptr;
        Mode mode = Mode::Normal;
        QByteArray raw;
        int delayMs = 0;
    };

    void answer(int server);
    bool channelCommand(const QStringList &words);
    bool serverCommand(const QStringList &words);

    SimState *m_state = nullptr;
    Churn *m_churn = nullptr;
    std::array<Server, 2> m_servers;
};
