#include "monitor/ChannelTimer.h"

#include <QTimer>

ChannelTimer::ChannelTimer(const QString &name, int interval, QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
    , m_interval(interval)
{
    setObjectName(name);
    m_timer->setTimerType(Qt::CoarseTimer);
    connect(m_timer, &QTimer::timeout, this, &ChannelTimer::timeout);
}

void ChannelTimer::start()
{
    if (m_enabled)
        return;
    m_enabled = true;
    arm();
}

void ChannelTimer::stop()
{
    m_enabled = false;
    m_timer->stop();
}

void ChannelTimer::setInterval(int milliseconds)
{
    m_interval = qMax(0, milliseconds);
    m_timer->stop();
    if (m_enabled)
        arm();
}

void ChannelTimer::arm()
{
    if (m_interval > 0)
        m_timer->start(m_interval);
}
