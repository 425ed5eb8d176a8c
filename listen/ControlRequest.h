#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QTimer;
class QUdpSocket;

// One listening-control exchange with a recorder server: a socket on a port
// chosen by the system sends one datagram and takes the first datagram that
// comes back as the reply. It runs on the event loop and ends with finished()
// after the reply, a socket error or the bounded wait, whichever is first.
class ControlRequest final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ControlRequest)

public:
    // A listen reply over the LAN takes a few milliseconds; the status poll
    // waits 100 ms. 500 ms leaves room for a busy server while a silent one is
    // still reported quickly.
    static constexpr int kDefaultTimeoutMs = 500;
    static constexpr int kMaxReply = 8192;

    explicit ControlRequest(QObject *parent = nullptr);

    void setTimeout(int milliseconds);
    int timeout() const { return m_timeoutMs; }

    bool isPending() const { return m_pending; }

    // Starts an exchange; one at a time (false, nothing sent, while one is pending).
    bool send(const QString &host, quint16 port, const QByteArray &message);

Q_SIGNALS:
    // ok is false on any failure (bad address, send error, socket error,
    // no reply in time); reply is empty then.
    void finished(bool ok, const QByteArray &reply);

private:
    void readReply();
    void finish(bool ok, const QByteArray &reply);

    QTimer *m_timer;
    QUdpSocket *m_socket = nullptr;
    int m_timeoutMs = kDefaultTimeoutMs;
    bool m_pending = false;
};
