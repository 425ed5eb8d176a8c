#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class PcmSource;
class QAudioSink;
class QIODevice;
class QTimer;

// Plays one wave clip at a time on the default audio output, cutting off the
// clip still playing. The wave is decoded here (G.711 and PCM) because the
// platform players either refuse G.711 or start far too slowly.
//
// Measured with Qt 6.4 on PulseAudio, the sink's own stream control falls
// short in three ways, and the player works around each:
//  - a stream holds back a tail shorter than its prebuffer until more data
//    comes: every clip is followed by silence, fed until the stream closes;
//  - there is no flush, only reset(), which closes the stream, and a stream
//    opened on a sink that just lost its last stream can wait up to the
//    sink's idle latency (2 s on a null sink) before it plays: so a new clip
//    opens a fresh stream first and only then resets the old one, keeping
//    two sinks that take turns;
//  - each restart asks for the buffer the server granted last time, which
//    shrinks run after run: the size is set again before every start.
// The sink is fed in push mode from our own timer (pull mode stops after
// its first fill).
class WavePlayer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WavePlayer)

public:
    static constexpr qint64 kBufferMicroseconds = 120000;
    static constexpr int kFeedMs = 10;
    // Silence fed after a clip, so that the next datagram of a live stream
    // finds the stream running; then the device is released.
    static constexpr int kLingerMs = 4000;
    // A stream that takes no sample for this long while the clip waits is
    // replaced by a fresh one. Longer than an idle sink's render-ahead (2 s),
    // which delays the first stream after a pause and which a fresh stream
    // would only have to wait out again.
    static constexpr int kStallMs = 2500;

    explicit WavePlayer(QObject *parent = nullptr);

    // Plays the wave file's bytes; false (and silence) when they are no
    // playable wave. Never reports anything to the user.
    bool playWave(const QByteArray &wave);
    // Reads the file and plays it; false when it cannot be read or played.
    bool playFile(const QString &fileName);
    void stop();

    // Whether an audio output exists; without one clips are decoded and dropped.
    bool hasOutput();

    // The sink buffer asked of the sound system for streams opened from now on.
    void setBufferMicroseconds(qint64 microseconds);
    // The silence fed after each clip from now on (kLingerMs unless set).
    void setLingerMilliseconds(int milliseconds);
    // Samples of the current clip not yet handed to the sound system.
    qint64 clipBytesLeft() const;
    // Whether a stream is open (playing a clip or the silence after it).
    bool isStreaming() const { return m_output != nullptr; }

Q_SIGNALS:
    // A clip was decoded and handed to the output (or dropped for want of one).
    void clipStarted(qint64 frames, int sampleRate);
    // A stream stalled or died and a fresh one took over.
    void streamReplaced();

private:
    bool ensureSinks(const QAudioFormat &format);
    bool openFreshStream();
    void closeStream();
    void feed();

    PcmSource *m_source;
    QTimer *m_feedTimer;
    QAudioSink *m_sinks[2] = { nullptr, nullptr };
    int m_active = 0;
    QIODevice *m_output = nullptr;
    QElapsedTimer m_lastTaken;
    QAudioFormat m_sinkFormat;
    qint64 m_bufferMicroseconds = kBufferMicroseconds;
    int m_lingerMs = kLingerMs;
    int m_outputKnown = -1; // -1 not looked up yet, 0 none, 1 present
};
