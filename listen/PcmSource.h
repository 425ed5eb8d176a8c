#pragma once

#include <QByteArray>
#include <QIODevice>

// The samples of the current clip, handed to the sink as it takes them, then
// nothing, so the sink goes idle when the clip ends.
class PcmSource final : public QIODevice
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PcmSource)

public:
    explicit PcmSource(QObject *parent = nullptr);

    // Replaces whatever was still queued.
    void setPcm(const QByteArray &pcm);
    void clear();

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    QByteArray m_pcm;
    qint64 m_position = 0;
};
