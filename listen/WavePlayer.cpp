#include "listen/WavePlayer.h"

#include "listen/PcmSource.h"
#include "listen/WaveFile.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QFile>
#include <QMediaDevices>

WavePlayer::WavePlayer(QObject *parent)
    : QObject(parent)
    , m_source(new PcmSource(this))
{
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
        m_sink->stop();
        m_source->setPcm(pcm);
        m_sink->start(m_source);
    }
    Q_EMIT clipStarted(frames, clip->sampleRate);
    return true;
}

void WavePlayer::stop()
{
    m_source->clear();
    if (m_sink)
        m_sink->stop();
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
