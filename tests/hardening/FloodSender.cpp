#include "FloodSender.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in loopback(quint16 port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

qint64 msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

} // namespace

FloodSender::FloodSender(QList<QByteArray> pool)
    : m_pool(std::move(pool))
{
    m_socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int buffer = 4 << 20;
    ::setsockopt(m_socket, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
}

FloodSender::~FloodSender()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_socket >= 0)
        ::close(m_socket);
}

bool FloodSender::sendTo(quint16 port, const QByteArray &bytes)
{
    const sockaddr_in to = loopback(port);
    const ssize_t n = ::sendto(m_socket, bytes.constData(), size_t(bytes.size()), 0,
                               reinterpret_cast<const sockaddr *>(&to), sizeof to);
    if (n != bytes.size())
        return false;
    ++m_sent;
    return true;
}

void FloodSender::flood(quint16 port, int perSecond, int durationMs)
{
    m_thread = std::thread([=, this] { floodLoop(port, perSecond, durationMs); });
}

void FloodSender::floodLoop(quint16 port, int perSecond, int durationMs)
{
    const auto start = Clock::now();
    qint64 due = 0;
    while (!m_stop) {
        const qint64 elapsed = msSince(start);
        if (elapsed >= durationMs)
            break;
        // Catch up with the schedule in small bursts, as a busy network would.
        for (const qint64 target = elapsed * perSecond / 1000; due < target; ++due) {
            sendTo(port, m_pool.at(m_next));
            m_next = (m_next + 1) % m_pool.size();
        }
        ::usleep(250);
    }
    m_floodOver = true;
}

quint16 FloodSender::serveStatus(int perSecond, int durationMs, int burstPerRequest)
{
    const sockaddr_in any = loopback(0);
    if (::bind(m_socket, reinterpret_cast<const sockaddr *>(&any), sizeof any) != 0)
        return 0;
    sockaddr_in bound {};
    socklen_t length = sizeof bound;
    ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&bound), &length);
    m_thread = std::thread([=, this] { statusLoop(perSecond, durationMs, burstPerRequest); });
    return ntohs(bound.sin_port);
}

void FloodSender::answerWith(const QByteArray &reply)
{
    m_validReply = reply;
    m_valid = true;
}

void FloodSender::statusLoop(int perSecond, int durationMs, int burst)
{
    const auto start = Clock::now();
    quint16 requester = 0;
    qint64 due = 0;
    QByteArray request(64, Qt::Uninitialized);
    while (!m_stop) {
        pollfd fd { m_socket, POLLIN, 0 };
        if (::poll(&fd, 1, 1) > 0) {
            sockaddr_in from {};
            socklen_t length = sizeof from;
            const ssize_t n = ::recvfrom(m_socket, request.data(), size_t(request.size()), 0,
                                         reinterpret_cast<sockaddr *>(&from), &length);
            if (n == 6 && request.startsWith("STATUS")) {
                ++m_requests;
                requester = ntohs(from.sin_port);
                if (m_valid) {
                    sendTo(requester, m_validReply);
                } else {
                    for (int i = 0; i < burst; ++i) {
                        sendTo(requester, m_pool.at(m_next));
                        m_next = (m_next + 1) % m_pool.size();
                    }
                }
            }
        }
        const qint64 elapsed = msSince(start);
        if (elapsed >= durationMs) {
            m_floodOver = true;
            continue;
        }
        // Unsolicited replies at the port of the last request, whether that
        // exchange is still open or long over.
        for (const qint64 target = elapsed * perSecond / 1000; due < target; ++due) {
            if (requester && !m_valid) {
                sendTo(requester, m_pool.at(m_next));
                m_next = (m_next + 1) % m_pool.size();
            }
        }
    }
}

qint64 FloodSender::finish()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    return m_sent;
}
