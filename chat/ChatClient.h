#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QUdpSocket;

// Sends datagrams to the agents from one socket kept from the first send to
// shutdown. Host names are resolved without blocking the UI thread.
class ChatClient final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChatClient)

public:
    // Called once per send with an empty text on success, else the failure.
    using Done = std::function<void(const QString &error)>;

    explicit ChatClient(QObject *parent = nullptr);

    // A literal address is sent to at once and done runs before send
    // returns; a host name is looked up first and done runs afterwards.
    void send(const QString &host, int port, const QByteArray &payload, Done done);

    void close();

private:
    QString sendTo(const QString &address, int port, const QByteArray &payload);

    QUdpSocket *m_socket = nullptr;
};
