#pragma once

#include <QByteArray>
#include <QIODevice>

// The samples of the current clip followed by a stretch of silence, handed
// to the sink as it takes them. The silence pushes the clip's tail through
// the sink (a stream holds back a short remainder until it has a prebuffer's
// worth) and keeps the stream running for the next clip.
class PcmSource final : public QIODevice
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PcmSource)

public:
    explicit PcmSource(QObject *parent = nullptr);

    // Replaces whatever was still queued, the silence of the previous clip included.
    void setPcm(const QByteArray &pcm, qint64 trailingSilence = 0);
    void clear();

    // Samples of the clip not yet read; the silence after it is not counted.
    qint64 clipBytesLeft() const;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    QByteArray m_pcm;
    qint64 m_position = 0;
    qint64 m_silenceLeft = 0;
};
