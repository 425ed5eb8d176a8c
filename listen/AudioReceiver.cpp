#include "listen/AudioReceiver.h"

#include "listen/AudioFileLocation.h"

#include <QElapsedTimer>
#include <QFile>
#include <QUdpSocket>
#include <QVariant>

AudioReceiver::AudioReceiver(QObject *parent)
    : QObject(parent)
    , m_udpAudio(new QUdpSocket(this))
    , m_udpAudio2(new QUdpSocket(this))
{
    m_udpAudio->setObjectName(QStringLiteral("UDPAudio"));
    m_udpAudio2->setObjectName(QStringLiteral("UDPAudio2"));
    for (QUdpSocket *socket : { m_udpAudio, m_udpAudio2 })
        connect(socket, &QUdpSocket::readyRead, this, [this, socket] { drain(socket); });
}

void AudioReceiver::setPorts(quint16 port, quint16 port2)
{
    m_port = port;
    m_port2 = port2;
}

void AudioReceiver::setFilePath(const QString &path)
{
    m_filePath = path;
    m_chooseAgain = false;
}

void AudioReceiver::setProgramDirectory(const QString &directory)
{
    m_programDirectory = directory;
    m_chooseAgain = true;
    m_filePath = AudioFileLocation::resolve(directory);
}

bool AudioReceiver::activate()
{
    const std::pair<QUdpSocket *, quint16> listeners[]
        = { { m_udpAudio, m_port }, { m_udpAudio2, m_port2 } };
    for (const auto &[socket, port] : listeners) {
        if (socket->state() == QAbstractSocket::BoundState)
            continue;
        if (!socket->bind(QHostAddress(QHostAddress::AnyIPv4), port,
                          QAbstractSocket::DontShareAddress))
            return false;
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                QVariant(kReceiveBuffer));
    }
    return true;
}

void AudioReceiver::deactivate()
{
    m_udpAudio->close();
    m_udpAudio2->close();
}

bool AudioReceiver::isActive(int server) const
{
    const QUdpSocket *socket = server == 2 ? m_udpAudio2 : m_udpAudio;
    return socket->state() == QAbstractSocket::BoundState;
}

void AudioReceiver::drain(QUdpSocket *socket)
{
    // A flood arrives faster than clips can be stored: one pass takes what
    // fits in its time slice and leaves the rest to the next readyRead, so
    // the window keeps answering. Every pass reads at least once: the socket
    // notifies again only after a read, so a pass that read nothing would
    // leave the listener deaf for good.
    QElapsedTimer slice;
    slice.start();
    do {
        const qint64 size = socket->pendingDatagramSize();
        if (size < 0) {
            socket->readDatagram(nullptr, 0); // nothing there; re-arms the socket
            break;
        }
        if (size > kMaxDatagram) {
            socket->readDatagram(nullptr, 0); // discard it
            Q_EMIT datagramDropped();
            continue;
        }
        QByteArray payload(size, Qt::Uninitialized);
        if (socket->readDatagram(payload.data(), size) != size || !store(payload)) {
            Q_EMIT datagramDropped();
            continue;
        }
        Q_EMIT clipWritten(m_filePath);
    } while (socket->hasPendingDatagrams() && !slice.hasExpired(kDrainSliceMs));
}

bool AudioReceiver::store(const QByteArray &payload)
{
    if (writeFile(payload))
        return true;
    if (!m_chooseAgain)
        return false;
    // The folder may have been removed or the disk remounted read-only since
    // start: choose again and try once more.
    m_filePath = AudioFileLocation::resolve(m_programDirectory);
    return writeFile(payload);
}

bool AudioReceiver::writeFile(const QByteArray &payload) const
{
    if (m_filePath.isEmpty())
        return false;
    QFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool whole = file.write(payload) == payload.size();
    file.close();
    return whole && file.error() == QFile::NoError;
}
