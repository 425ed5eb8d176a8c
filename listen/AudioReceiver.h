#pragma once

#include <QObject>
#include <QString>

class QUdpSocket;

// The two audio listeners, UDPAudio (server 1) and UDPAudio2 (server 2): each
// datagram, a whole wave file, replaces TempAudioFile and is announced with
// clipWritten(). Nothing here is ever reported to the user: a datagram that
// cannot be stored is dropped and the next one is handled as usual.
class AudioReceiver final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AudioReceiver)

public:
    static constexpr quint16 kDefaultPort = 8501;
    static constexpr quint16 kDefaultPort2 = 8601;
    static constexpr qint64 kMaxDatagram = 47803;
    // The Linux default receive buffer holds only four full datagrams.
    static constexpr int kReceiveBuffer = 1 << 20;
    // The longest one readyRead keeps the event loop; the socket is readable
    // again at once when datagrams are left.
    static constexpr int kDrainSliceMs = 10;

    explicit AudioReceiver(QObject *parent = nullptr);

    void setPorts(quint16 port, quint16 port2);
    void setFilePath(const QString &path);
    // Chooses TempAudioFile for this program directory (see
    // AudioFileLocation) and chooses again whenever a clip cannot be stored.
    void setProgramDirectory(const QString &directory);
    QString filePath() const { return m_filePath; }

    // Binds UDPAudio then UDPAudio2 on all IPv4 addresses; false at the first
    // that fails, leaving the later one inactive.
    bool activate();
    void deactivate();
    bool isActive(int server) const;

Q_SIGNALS:
    void clipWritten(const QString &path);
    // A datagram left unplayed (too large, unreadable or not stored); for
    // diagnostics only, never shown to the user.
    void datagramDropped();

private:
    void drain(QUdpSocket *socket);
    bool store(const QByteArray &payload);
    bool writeFile(const QByteArray &payload) const;

    QUdpSocket *m_udpAudio;
    QUdpSocket *m_udpAudio2;
    quint16 m_port = kDefaultPort;
    quint16 m_port2 = kDefaultPort2;
    QString m_filePath;
    QString m_programDirectory;
    bool m_chooseAgain = false;
};
