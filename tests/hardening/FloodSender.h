#pragma once

#include <QByteArray>
#include <QList>
#include <atomic>
#include <thread>

// Sends datagrams to 127.0.0.1 from a thread of its own, so that the flood
// keeps its pace whatever the event loop under test is doing. Two ways:
// a flood of a fixed port at a given rate, or a fake recorder status port
// that answers every request with garbage (or, once told, with a valid
// reply) and floods the port of the last request with unsolicited garbage.
class FloodSender final
{
public:
    explicit FloodSender(QList<QByteArray> pool);
    ~FloodSender();
    FloodSender(const FloodSender &) = delete;
    FloodSender &operator=(const FloodSender &) = delete;

    // Sends the pool round and round to port, perSecond datagrams a second,
    // for durationMs.
    void flood(quint16 port, int perSecond, int durationMs);

    // Binds a status port on 127.0.0.1 and answers until stopped; floods the
    // requester at perSecond while the first durationMs run.
    quint16 serveStatus(int perSecond, int durationMs, int burstPerRequest);
    // From now on requests get this reply, and only it.
    void answerWith(const QByteArray &reply);

    // Waits for the thread; returns the datagrams sent.
    qint64 finish();
    bool floodOver() const { return m_floodOver; }
    qint64 sent() const { return m_sent; }
    qint64 requests() const { return m_requests; }

private:
    void floodLoop(quint16 port, int perSecond, int durationMs);
    void statusLoop(int perSecond, int durationMs, int burst);
    bool sendTo(quint16 port, const QByteArray &bytes);

    QList<QByteArray> m_pool;
    qsizetype m_next = 0;
    int m_socket = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    std::atomic<bool> m_floodOver { false };
    std::atomic<qint64> m_sent { 0 };
    std::atomic<qint64> m_requests { 0 };
    std::atomic<bool> m_valid { false };
    QByteArray m_validReply; // written before m_valid is set
};
