#pragma once

#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <array>

class QCommandLineParser;
class QTimer;
class QUdpSocket;
class SimState;

// The recorder servers' listening control: "ChamaCanal"L starts streaming the
// call of the server's channel L as A-law wave datagrams to the requester's
// audio port, "DesligaC"L stops it. A stream also ends with its call.
class ListenService final : public QObject
{
    Q_OBJECT

public:
    // One datagram of this much audio every as many milliseconds: real time.
    static constexpr int kClipMs = 200;

    explicit ListenService(QObject *parent = nullptr);

    static void addOptions(QCommandLineParser &parser);
    // Starts the service from the parsed options; false with a message on stderr.
    bool start(const QCommandLineParser &parser, SimState *state);
    // A command line read from standard input ("call 7", ...); true when
    // this service took it.
    bool handleCommand(const QStringList &words);

private:
    struct Stream
    {
        bool active = false;
        QHostAddress address;
        qint64 nextSample = 0;
    };

    void serve(int server);
    QByteArray answer(int server, const QByteArray &request, const QHostAddress &sender);
    void streamTick();
    void stopStream(int channel);

    SimState *m_state = nullptr;
    std::array<QUdpSocket *, 2> m_control {};
    std::array<quint16, 2> m_audioPorts { { 8501, 8601 } };
    QHostAddress m_audioHost;
    std::array<Stream, 40> m_streams {};
    QTimer *m_streamTimer;
};
