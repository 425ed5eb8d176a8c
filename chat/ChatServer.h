#pragma once

#include <QByteArray>
#include <QObject>

class QUdpSocket;

// Receives the agents' datagrams on every local IPv4 address. It lives on
// the UI thread and drains the socket on readyRead, so each payload reaches
// the handler whole and in order of arrival.
class ChatServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChatServer)

public:
    // The longest one readyRead keeps the event loop.
    static constexpr int kDrainSliceMs = 10;

    explicit ChatServer(QObject *parent = nullptr);

    void setPort(quint16 port) { m_port = port; }
    quint16 port() const { return m_port; }
    // The port actually bound (the system's choice when port 0 was set).
    quint16 boundPort() const;

    // False when the port cannot be bound (for example because another
    // program holds it).
    bool activate();
    void deactivate();
    bool isActive() const;

Q_SIGNALS:
    void datagramReceived(const QByteArray &payload);

private:
    void drain();

    QUdpSocket *m_socket;
    quint16 m_port = 0;
};
