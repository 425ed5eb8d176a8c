#include "chat/ChatClient.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QUdpSocket>

ChatClient::ChatClient(QObject *parent)
    : QObject(parent)
{
}

void ChatClient::send(const QString &host, int port, const QByteArray &payload, Done done)
{
    if (QHostAddress literal; literal.setAddress(host)) {
        done(sendTo(literal.toString(), port, payload));
        return;
    }
    QHostInfo::lookupHost(host, this, [this, host, port, payload, done](const QHostInfo &info) {
        QHostAddress chosen;
        const QList<QHostAddress> addresses = info.addresses();
        for (const QHostAddress &address : addresses) {
            if (address.protocol() == QAbstractSocket::IPv4Protocol) {
                chosen = address;
                break;
            }
        }
        if (chosen.isNull() && !addresses.isEmpty())
            chosen = addresses.first();
        if (info.error() != QHostInfo::NoError || chosen.isNull()) {
            done(QStringLiteral("Não foi possível encontrar o endereço '%1'.").arg(host));
            return;
        }
        done(sendTo(chosen.toString(), port, payload));
    });
}

QString ChatClient::sendTo(const QString &address, int port, const QByteArray &payload)
{
    // A stored port beyond the UDP range would otherwise wrap silently to
    // another port and the message would be reported as sent.
    if (port < 1 || port > 65535)
        return QStringLiteral("Não foi possível enviar para %1 na porta %2.")
            .arg(address)
            .arg(port);
    if (!m_socket)
        m_socket = new QUdpSocket(this);
    const qint64 written = m_socket->writeDatagram(payload, QHostAddress(address), quint16(port));
    if (written != payload.size())
        return QStringLiteral("Não foi possível enviar para %1 na porta %2: %3")
            .arg(address)
            .arg(port)
            .arg(m_socket->errorString());
    return QString();
}

void ChatClient::close()
{
    if (m_socket)
        m_socket->close();
}
