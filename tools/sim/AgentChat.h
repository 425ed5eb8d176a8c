#pragma once

#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <array>

class QCommandLineParser;
class QTimer;
class QUdpSocket;
class SimState;

// The agents' chat programs: one per channel, each listening on its own
// loopback port. They print what the supervisor sends and, on command or on
// a schedule, send chat lines and calls to the client's chat port.
class AgentChat final : public QObject
{
    Q_OBJECT

public:
    explicit AgentChat(QObject *parent = nullptr);

    static void addOptions(QCommandLineParser &parser);
    // Starts the service from the parsed options; false with a message on stderr.
    bool start(const QCommandLineParser &parser, SimState *state);
    // "say N TEXT" or "chamada N"; true when this service took the command.
    bool handleCommand(const QStringList &words);

private:
    void receive(int channel);
    void say(int channel, const QByteArray &payload);
    void chatTick();

    std::array<QUdpSocket *, 40> m_agents {};
    QHostAddress m_clientHost;
    quint16 m_clientPort = 0;
    QString m_logPath;
    QTimer *m_chatTimer = nullptr;
};
