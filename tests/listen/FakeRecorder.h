#pragma once

#include <QHostAddress>
#include <QList>
#include <QUdpSocket>

// A recorder server's listening-control port on 127.0.0.1: records every
// request and answers it with a fixed text, or stays silent when that is empty.
class FakeRecorder final : public QObject
{
    Q_OBJECT

public:
    explicit FakeRecorder(QObject *parent = nullptr)
        : QObject(parent)
    {
        m_socket.bind(QHostAddress(QHostAddress::LocalHost), 0);
        connect(&m_socket, &QUdpSocket::readyRead, this, [this] {
            while (m_socket.hasPendingDatagrams()) {
                QHostAddress sender;
                quint16 port = 0;
                QByteArray datagram(int(m_socket.pendingDatagramSize()), Qt::Uninitialized);
                m_socket.readDatagram(datagram.data(), datagram.size(), &sender, &port);
                received.append(datagram);
                if (!answer.isEmpty())
                    m_socket.writeDatagram(answer, sender, port);
            }
        });
    }

    quint16 port() const { return m_socket.localPort(); }

    QByteArray answer;
    QList<QByteArray> received;

private:
    QUdpSocket m_socket;
};
