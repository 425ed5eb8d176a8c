#include "listen/PcmSource.h"

#include <cstring>

PcmSource::PcmSource(QObject *parent)
    : QIODevice(parent)
{
    // Unbuffered: a new clip must not find samples of the old one in a read-ahead buffer.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void PcmSource::setPcm(const QByteArray &pcm)
{
    m_pcm = pcm;
    m_position = 0;
}

void PcmSource::clear()
{
    setPcm({});
}

qint64 PcmSource::bytesAvailable() const
{
    return (m_pcm.size() - m_position) + QIODevice::bytesAvailable();
}

qint64 PcmSource::readData(char *data, qint64 maxSize)
{
    const qint64 count = qMin(maxSize, qint64(m_pcm.size()) - m_position);
    if (count <= 0)
        return 0;
    std::memcpy(data, m_pcm.constData() + m_position, size_t(count));
    m_position += count;
    return count;
}

qint64 PcmSource::writeData(const char *, qint64)
{
    return -1;
}
