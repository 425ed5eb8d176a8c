#include "listen/WavePlayer.h"

#include "listen/PcmSource.h"
#include "listen/WaveFile.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

WavePlayer::WavePlayer(QObject *parent)
    : QObject(parent)
    , m_source(new PcmSource(this))
    , m_feedTimer(new QTimer(this))
{
    m_feedTimer->setInterval(kFeedMs);
    connect(m_feedTimer, &QTimer::timeout, this, &WavePlayer::feed);
}

bool WavePlayer::hasOutput()
{
    // Looked up once, on the first clip: start-up and tests without sound
    // never touch the audio system.
    if (m_outputKnown < 0)
        m_outputKnown = QMediaDevices::defaultAudioOutput().isNull() ? 0 : 1;
    return m_outputKnown == 1;
}

bool WavePlayer::playFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        stop();
        return false;
    }
    return playWave(file.readAll());
}

bool WavePlayer::playWave(const QByteArray &wave)
{
    const auto clip = WaveFile::parse(wave);
    if (!clip) {
        // Like the recorder's own player: an unplayable file still ends the old sound.
        stop();
        return false;
    }
    const QByteArray pcm = WaveFile::toPcm16(*clip);
    const qint64 frames = pcm.size() / qint64(sizeof(qint16) * clip->channels);

    QAudioFormat format;
    format.setSampleRate(clip->sampleRate);
    format.setChannelCount(clip->channels);
    format.setSampleFormat(QAudioFormat::Int16);

    if (hasOutput() && ensureSink(format)) {
        m_source->setPcm(pcm);
        startOutput();
    }
    Q_EMIT clipStarted(frames, clip->sampleRate);
    return true;
}

void WavePlayer::stop()
{
    m_source->clear();
    m_feedTimer->stop();
    if (m_sink)
        m_sink->reset();
    m_output = nullptr;
}

void WavePlayer::startOutput()
{
    // reset() drops what the sink still buffers instead of draining it.
    m_sink->reset();
    m_output = m_sink->start();
    m_stalledTicks = 0;
    feed();
    m_feedTimer->start();
}

void WavePlayer::feed()
{
    if (!m_sink || !m_output) {
        m_feedTimer->stop();
        return;
    }
    if (m_source->bytesAvailable() <= 0) {
        m_feedTimer->stop(); // the sink plays what it holds and goes idle
        return;
    }
    const qint64 free = m_sink->bytesFree();
    if (free > 0) {
        const QByteArray chunk = m_source->read(free);
        m_output->write(chunk);
        m_stalledTicks = 0;
    } else if (++m_stalledTicks * kFeedMs >= kStallMs) {
        // PulseAudio sometimes leaves a freshly filled stream waiting for
        // more than it lets us write; a cork/uncork sets it going.
        m_sink->suspend();
        m_sink->resume();
        m_stalledTicks = 0;
    }
}

bool WavePlayer::ensureSink(const QAudioFormat &format)
{
    if (m_sink && m_sinkFormat == format)
        return true;
    if (m_sink) {
        m_sink->stop();
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    m_sink = new QAudioSink(device, format, this);
    m_sink->setBufferSize(qsizetype(format.bytesForDuration(kBufferMicroseconds)));
    m_sinkFormat = format;
    return true;
}
