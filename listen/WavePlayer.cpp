#include "listen/WavePlayer.h"

#include "listen/PcmSource.h"
#include "listen/WaveFile.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QFile>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QTimer>

Q_LOGGING_CATEGORY(lcAudio, "vorlan.listen.audio")

WavePlayer::WavePlayer(QObject *parent)
    : QObject(parent)
    , m_source(new PcmSource(this))
    , m_feedTimer(new QTimer(this))
{
    m_feedTimer->setInterval(kFeedMs);
    m_feedTimer->setTimerType(Qt::PreciseTimer);
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

void WavePlayer::setBufferMicroseconds(qint64 microseconds)
{
    m_bufferMicroseconds = qMax<qint64>(5000, microseconds);
}

void WavePlayer::setLingerMilliseconds(int milliseconds)
{
    m_lingerMs = qMax(0, milliseconds);
}

qint64 WavePlayer::clipBytesLeft() const
{
    return m_source->clipBytesLeft();
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

    if (hasOutput() && ensureSinks(format)) {
        m_source->setPcm(pcm, format.bytesForDuration(qint64(m_lingerMs) * 1000));
        if (!openFreshStream())
            m_source->clear();
    }
    Q_EMIT clipStarted(frames, clip->sampleRate);
    return true;
}

void WavePlayer::stop()
{
    m_source->clear();
    closeStream();
}

bool WavePlayer::openFreshStream()
{
    QAudioSink *previous = m_output ? m_sinks[m_active] : nullptr;
    QAudioSink *next = m_sinks[previous ? 1 - m_active : m_active];
    // Asked again each time: the sink would otherwise start from the size the
    // server granted last time, a little smaller on every restart.
    next->setBufferSize(qsizetype(m_sinkFormat.bytesForDuration(m_bufferMicroseconds)));
    QIODevice *output = next->start();
    if (!output) {
        qCWarning(lcAudio) << "cannot open an audio stream, error" << next->error();
        closeStream();
        m_outputKnown = -1; // look the device up again on the next clip
        return false;
    }
    m_active = previous ? 1 - m_active : m_active;
    m_output = output;
    m_lastTaken.start();
    // The new stream gets its first samples while the old one still keeps
    // the device running; only then is the old sound dropped.
    feed();
    if (previous)
        previous->reset();
    m_feedTimer->start();
    return true;
}

void WavePlayer::closeStream()
{
    m_feedTimer->stop();
    for (QAudioSink *sink : m_sinks) {
        if (sink)
            sink->reset();
    }
    m_output = nullptr;
}

void WavePlayer::feed()
{
    if (!m_output)
        return;
    QAudioSink *sink = m_sinks[m_active];
    if (m_source->bytesAvailable() <= 0) {
        closeStream(); // the clip and its silence are through: release the device
        return;
    }
    if (sink->state() == QAudio::StoppedState) {
        // The sound server dropped the stream (restarted, device gone).
        qCWarning(lcAudio) << "audio stream lost, error" << sink->error();
        m_output = nullptr;
        if (openFreshStream())
            Q_EMIT streamReplaced();
        return;
    }
    const qint64 free = sink->bytesFree();
    if (free > 0) {
        m_output->write(m_source->read(free));
        m_lastTaken.start();
    } else if (m_source->clipBytesLeft() > 0 && m_lastTaken.elapsed() >= kStallMs) {
        qCWarning(lcAudio) << "audio stream took nothing for" << m_lastTaken.elapsed()
                           << "ms; opening a fresh one";
        if (openFreshStream())
            Q_EMIT streamReplaced();
    }
}

bool WavePlayer::ensureSinks(const QAudioFormat &format)
{
    if (m_sinks[0] && m_sinkFormat == format)
        return true;
    closeStream();
    for (QAudioSink *&sink : m_sinks) {
        if (sink)
            sink->deleteLater();
        sink = nullptr;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    for (QAudioSink *&sink : m_sinks)
        sink = new QAudioSink(device, format, this);
    m_sinkFormat = format;
    m_active = 0;
    return true;
}
