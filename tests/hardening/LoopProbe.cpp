#include "LoopProbe.h"

#include <QEventLoop>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <ctime>
#include <malloc.h>

namespace {
qint64 threadCpuNs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}
} // namespace

LoopProbe::LoopProbe(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(1);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &LoopProbe::tick);
}

void LoopProbe::start()
{
    m_longestNs = 0;
    m_longestCpuNs = 0;
    m_ticks = 0;
    m_clock.start();
    m_lastNs = 0;
    m_lastCpuNs = threadCpuNs();
    m_timer->start();
}

void LoopProbe::stop()
{
    m_timer->stop();
    tick(); // a stall still running at the end counts too
}

void LoopProbe::tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 cpu = threadCpuNs();
    if (now - m_lastNs > m_longestNs) {
        m_longestNs = now - m_lastNs;
        m_longestCpuNs = cpu - m_lastCpuNs;
    }
    m_lastNs = now;
    m_lastCpuNs = cpu;
    ++m_ticks;
}

void LoopProbe::run(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool LoopProbe::runUntilDrained(const QObject *owner, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    const auto pending = [owner] {
        const auto sockets = owner->findChildren<QUdpSocket *>();
        return std::any_of(sockets.begin(), sockets.end(),
                           [](QUdpSocket *s) { return s->hasPendingDatagrams(); });
    };
    while (pending()) {
        if (waited.hasExpired(timeoutMs))
            return false;
        run(10);
    }
    run(20); // the handlers of the last datagrams
    return true;
}

qint64 LoopProbe::heapInUse()
{
    // Allocated chunks only: memory freed but kept by the allocator for reuse
    // does not count, so the figure does not depend on fragmentation.
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}
