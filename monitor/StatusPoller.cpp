#include "monitor/StatusPoller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QPointer>
#include <QTimer>
#include <QUdpSocket>

StatusPoller::StatusPoller(const QString &timerName, int interval, QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
    , m_wait(new QTimer(this))
{
    m_timer->setObjectName(timerName);
    m_timer->setInterval(interval);
    m_wait->setSingleShot(true);
    m_wait->setInterval(kReplyWaitMs);
    connect(m_timer, &QTimer::timeout, this, &StatusPoller::tick);
    connect(m_wait, &QTimer::timeout, this, [this] { finish(false); });
}

void StatusPoller::setEndpoint(const QString &host, quint16 port)
{
    m_host = host;
    m_port = port;
}

void StatusPoller::setReplyWait(int milliseconds)
{
    m_wait->setInterval(milliseconds);
}

void StatusPoller::tick()
{
    m_timer->stop();
    if (exchangeRunning())
        return; // cannot happen with the timer stopped, but never two requests
    m_wait->start(); // bounds the whole exchange, name lookup included
    QHostAddress address;
    if (address.setAddress(m_host)) {
        send(address);
        return;
    }
    m_resolving = true;
    // A lookup left running by an earlier exchange answers this one: at most
    // one is ever out, however long the resolver takes.
    if (m_lookupId >= 0 && m_lookupHost == m_host)
        return;
    m_lookupHost = m_host;
    // Never aborted, and tied to the application rather than to this poller:
    // Qt 6.4 never frees the callback of a lookup that is aborted or whose
    // context object is gone when it ends.
    m_lookupId
        = QHostInfo::lookupHost(m_host, QCoreApplication::instance(),
                                [self = QPointer<StatusPoller>(this)](const QHostInfo &info) {
                                    if (self)
                                        self->lookedUp(info);
                                });
}

void StatusPoller::lookedUp(const QHostInfo &info)
{
    if (info.lookupId() != m_lookupId)
        return; // a lookup of a host no longer polled
    m_lookupId = -1;
    if (!m_resolving)
        return; // the wait ran out first
    m_resolving = false;
    const auto addresses = info.addresses();
    if (info.error() != QHostInfo::NoError || addresses.isEmpty()) {
        finish(false);
        return;
    }
    send(addresses.constFirst());
}

void StatusPoller::send(const QHostAddress &address)
{
    m_socket = new QUdpSocket(this);
    const QHostAddress any = address.protocol() == QAbstractSocket::IPv6Protocol
        ? QHostAddress(QHostAddress::AnyIPv6)
        : QHostAddress(QHostAddress::AnyIPv4);
    if (m_port == 0 || !m_socket->bind(any, 0)) {
        finish(false);
        return;
    }
    connect(m_socket, &QUdpSocket::readyRead, this, &StatusPoller::readReply);
    if (m_socket->writeDatagram(QByteArrayLiteral("STATUS"), address, m_port) != 6)
        finish(false);
}

void StatusPoller::readReply()
{
    if (!m_socket || !m_socket->hasPendingDatagrams())
        return;
    // Only the first datagram counts, from whatever sender.
    if (m_socket->pendingDatagramSize() > kMaxReplyBytes) {
        finish(false);
        return;
    }
    QElapsedTimer handling;
    handling.start();
    const QNetworkDatagram datagram = m_socket->receiveDatagram(kMaxReplyBytes);
    if (!datagram.isValid() || datagram.data().isEmpty()) {
        finish(false);
        return;
    }
    m_wait->stop();
    Q_EMIT replyReceived(datagram.data());
    m_lastReplyHandlingNs = handling.nsecsElapsed();
    finish(true);
}

void StatusPoller::finish(bool replied)
{
    m_wait->stop();
    // A lookup still out is left to finish; the next tick takes it over.
    m_resolving = false;
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->close();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    if (!m_shutDown)
        m_timer->start();
    Q_EMIT exchangeFinished(replied);
}

void StatusPoller::shutdown()
{
    m_shutDown = true;
    m_timer->stop();
    if (exchangeRunning())
        finish(false);
}
