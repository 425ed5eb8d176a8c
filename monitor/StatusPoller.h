#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QHostInfo;
class QTimer;
class QUdpSocket;

// One recorder server's status poll. Each tick stops the poll timer, sends
// "STATUS" from a fresh local port and takes the first datagram that
// arrives within the reply wait; the timer is restarted only once the
// exchange is over, so at most one request is ever outstanding and the next
// one leaves a full interval later. Everything is asynchronous: the UI
// thread never blocks on the reply. Failures are silent.
class StatusPoller final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusPoller)

public:
    static constexpr int kReplyWaitMs = 100;
    static constexpr qint64 kMaxReplyBytes = 8192;

    StatusPoller(const QString &timerName, int interval, QObject *parent = nullptr);

    QTimer *timer() const { return m_timer; }
    void setEndpoint(const QString &host, quint16 port);
    void setReplyWait(int milliseconds);
    bool exchangeRunning() const { return m_socket != nullptr || m_resolving; }

    // From the reply's arrival in the socket to the rows showing it, for
    // the last reply (diagnostics and the benchmark).
    qint64 lastReplyHandlingNs() const { return m_lastReplyHandlingNs; }

    // Ends an exchange in flight without restarting the timer.
    void shutdown();

Q_SIGNALS:
    // A non-empty reply; the receivers apply it before the timer restarts.
    void replyReceived(const QByteArray &reply);
    // Every end of an exchange, successful or not (for diagnostics and tests).
    void exchangeFinished(bool replied);

private:
    void tick();
    void lookedUp(const QHostInfo &info);
    void send(const QHostAddress &address);
    void readReply();
    void finish(bool replied);

    QTimer *m_timer;
    QTimer *m_wait;
    QUdpSocket *m_socket = nullptr;
    QString m_host;
    quint16 m_port = 0;
    bool m_resolving = false;
    int m_lookupId = -1;
    QString m_lookupHost;
    bool m_shutDown = false;
    qint64 m_lastReplyHandlingNs = 0;
};
