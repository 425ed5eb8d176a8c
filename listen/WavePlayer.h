#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QString>

class PcmSource;
class QAudioSink;
class QIODevice;
class QTimer;

// Plays one wave clip at a time on the default audio output, cutting off the
// clip still playing. The wave is decoded here (G.711 and PCM) because the
// platform players either refuse G.711 or start far too slowly. One sink is
// kept open and only rebuilt when the clip format changes; its buffer is kept
// small so that a new clip silences the old one within a few tens of ms.
// The sink is fed in push mode from our own timer: measured with Qt 6.4 on
// PulseAudio, the pull mode stops after its first fill.
class WavePlayer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WavePlayer)

public:
    static constexpr qint64 kBufferMicroseconds = 50000;
    static constexpr int kFeedMs = 10;
    // A sink that takes nothing for this long while samples wait is nudged.
    static constexpr int kStallMs = 60;

    explicit WavePlayer(QObject *parent = nullptr);

    // Plays the wave file's bytes; false (and silence) when they are no
    // playable wave. Never reports anything to the user.
    bool playWave(const QByteArray &wave);
    // Reads the file and plays it; false when it cannot be read or played.
    bool playFile(const QString &fileName);
    void stop();

    // Whether an audio output exists; without one clips are decoded and dropped.
    bool hasOutput();

Q_SIGNALS:
    // A clip was decoded and handed to the output (or dropped for want of one).
    void clipStarted(qint64 frames, int sampleRate);

private:
    bool ensureSink(const QAudioFormat &format);
    void startOutput();
    void feed();

    PcmSource *m_source;
    QTimer *m_feedTimer;
    QAudioSink *m_sink = nullptr;
    QIODevice *m_output = nullptr;
    int m_stalledTicks = 0;
    QAudioFormat m_sinkFormat;
    int m_outputKnown = -1; // -1 not looked up yet, 0 none, 1 present
};
