#include "listen/PcmSource.h"

#include <cstring>

PcmSource::PcmSource(QObject *parent)
    : QIODevice(parent)
{
    // Unbuffered: a new clip must not find samples of the old one in a read-ahead buffer.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void PcmSource::setPcm(const QByteArray &pcm, qint64 trailingSilence)
{
    m_pcm = pcm;
    m_position = 0;
    m_silenceLeft = qMax<qint64>(0, trailingSilence);
}

void PcmSource::clear()
{
    setPcm({});
}

qint64 PcmSource::clipBytesLeft() const
{
    return m_pcm.size() - m_position;
}

qint64 PcmSource::bytesAvailable() const
{
    return clipBytesLeft() + m_silenceLeft + QIODevice::bytesAvailable();
}

qint64 PcmSource::readData(char *data, qint64 maxSize)
{
    const qint64 fromClip = qBound<qint64>(0, clipBytesLeft(), maxSize);
    if (fromClip > 0)
        std::memcpy(data, m_pcm.constData() + m_position, size_t(fromClip));
    m_position += fromClip;
    const qint64 zeros = qMin(maxSize - fromClip, m_silenceLeft);
    if (zeros > 0)
        std::memset(data + fromClip, 0, size_t(zeros));
    m_silenceLeft -= zeros;
    return fromClip + zeros;
}

qint64 PcmSource::writeData(const char *, qint64)
{
    return -1;
}
