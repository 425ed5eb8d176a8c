#include "listen/ControlRequest.h"

#include <QHostAddress>
#include <QTimer>
#include <QUdpSocket>

ControlRequest::ControlRequest(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] { finish(false, {}); });
}

void ControlRequest::setTimeout(int milliseconds)
{
    m_timeoutMs = milliseconds;
}

bool ControlRequest::send(const QString &host, quint16 port, const QByteArray &message)
{
    if (m_pending)
        return false;
    m_pending = true;

    QHostAddress address(host.trimmed());
    if (address.isNull()
        && host.trimmed().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        address = QHostAddress(QHostAddress::LocalHost);

    m_socket = new QUdpSocket(this);
    connect(m_socket, &QUdpSocket::readyRead, this, &ControlRequest::readReply);
    connect(m_socket, &QUdpSocket::errorOccurred, this, [this] { finish(false, {}); });

    const bool sent = !address.isNull() && port != 0
        && m_socket->bind(QHostAddress(QHostAddress::AnyIPv4), 0)
        && m_socket->writeDatagram(message, address, port) == message.size();
    if (!sent) {
        // Reported from the event loop so that callers always see the same order.
        QTimer::singleShot(0, this, [this, socket = m_socket] {
            if (m_socket == socket)
                finish(false, {});
        });
        return true;
    }
    m_timer->start(m_timeoutMs);
    return true;
}

void ControlRequest::readReply()
{
    if (!m_socket || !m_socket->hasPendingDatagrams())
        return;
    QByteArray reply(kMaxReply, Qt::Uninitialized);
    const qint64 read = m_socket->readDatagram(reply.data(), reply.size());
    if (read < 0) {
        finish(false, {});
        return;
    }
    reply.truncate(read);
    finish(true, reply);
}

void ControlRequest::finish(bool ok, const QByteArray &reply)
{
    if (!m_pending)
        return;
    m_pending = false;
    m_timer->stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->close();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    Q_EMIT finished(ok, reply);
}
