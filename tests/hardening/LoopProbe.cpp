#include "LoopProbe.h"

#include <QEventLoop>
#include <QTimer>
#include <malloc.h>

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
    m_ticks = 0;
    m_clock.start();
    m_lastNs = 0;
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
    m_longestNs = qMax(m_longestNs, now - m_lastNs);
    m_lastNs = now;
    ++m_ticks;
}

void LoopProbe::run(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

qint64 LoopProbe::heapInUse()
{
    // Allocated chunks only: memory freed but kept by the allocator for reuse
    // does not count, so the figure does not depend on fragmentation.
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd);
}
