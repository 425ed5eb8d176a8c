#include "chat/ChatServer.h"

#include "chat/ChatProtocol.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QUdpSocket>

Q_LOGGING_CATEGORY(lcChatServer, "vorlan.chat.server")

ChatServer::ChatServer(QObject *parent)
    : QObject(parent)
    , m_socket(new QUdpSocket(this))
{
    connect(m_socket, &QUdpSocket::readyRead, this, &ChatServer::drain);
}

bool ChatServer::activate()
{
    if (isActive())
        return true;
    // Without DontShareAddress a second program could bind the same port
    // and the two would split the agents' calls between them.
    if (!m_socket->bind(QHostAddress::AnyIPv4, m_port, QAbstractSocket::DontShareAddress)) {
        qCWarning(lcChatServer) << "cannot listen on port" << m_port << m_socket->errorString();
        return false;
    }
    return true;
}

void ChatServer::deactivate()
{
    m_socket->close();
}

bool ChatServer::isActive() const
{
    return m_socket->state() == QAbstractSocket::BoundState;
}

quint16 ChatServer::boundPort() const
{
    return m_socket->localPort();
}

void ChatServer::drain()
{
    // A flood arrives faster than lines can be shown: one pass takes what
    // fits in its time slice and leaves the rest to the next readyRead (the
    // socket stays readable), so the window keeps answering.
    // The socket turns its read notification off before readyRead and only a
    // read turns it on again, so every pass reads at least once and stops on
    // a read that finds nothing: a pass that read nothing (its slice gone
    // before the first read, or a readyRead with nothing pending) left the
    // listener deaf for good. One byte over the limit tells a datagram that
    // is too large; the rest of it is discarded by the read.
    QElapsedTimer slice;
    slice.start();
    do {
        const QNetworkDatagram datagram = m_socket->receiveDatagram(ChatProtocol::kMaxDatagram + 1);
        if (!datagram.isValid())
            break;
        if (datagram.data().size() > ChatProtocol::kMaxDatagram)
            continue;
        Q_EMIT datagramReceived(datagram.data());
    } while (!slice.hasExpired(kDrainSliceMs));
}
