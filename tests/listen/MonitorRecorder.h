#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <limits>
#include <vector>

// Records what a sound server's sink plays, through parec on the sink's
// monitor source, as 16-bit mono at 8 kHz, and places every recorded sample
// on the caller's clock. The monitor delivers samples as the sink renders
// them, at the real rate, so sample k was played at offset + k / rate; the
// offset is the earliest (time of a read - samples read so far / rate)
// seen, because a read can come late but never before the samples exist.
// The sink renders a few ms ahead (its latency), which bounds the error.
class MonitorRecorder
{
public:
    static constexpr int kRate = 8000;

    explicit MonitorRecorder(const QElapsedTimer &clock)
        : m_clock(clock)
    {
        QObject::connect(&m_parec, &QProcess::readyReadStandardOutput, &m_parec,
                         [this] { take(); });
    }
    ~MonitorRecorder() { stop(); }

    // server empty: the one this process would use.
    bool start(const QString &source, const QString &server = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!server.isEmpty())
            env.insert(QStringLiteral("PULSE_SERVER"), server);
        m_parec.setProcessEnvironment(env);
        m_parec.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_parec.start(QStandardPaths::findExecutable(QStringLiteral("parec")),
                      { QStringLiteral("--device=") + source, QStringLiteral("--raw"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--rate=8000"),
                        QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=5") });
        return m_parec.waitForStarted(3000);
    }

    void stop()
    {
        if (m_parec.state() == QProcess::NotRunning)
            return;
        m_parec.terminate();
        if (!m_parec.waitForFinished(2000)) {
            m_parec.kill();
            m_parec.waitForFinished(1000);
        }
    }

    bool isRunning() const { return m_parec.state() == QProcess::Running; }
    const std::vector<qint16> &samples() const { return m_samples; }
    qint64 sampleCount() const { return qint64(m_samples.size()); }

    // Forgets the offset seen so far: a sink that had rendered far ahead
    // before the recording started delivers its first samples in a burst.
    void markSteady() { m_offsetNs = std::numeric_limits<qint64>::max(); }

    // When sample was played, in ns on the clock; -1 before any read.
    qint64 playedAtNs(qint64 sample) const
    {
        if (m_offsetNs == std::numeric_limits<qint64>::max())
            return -1;
        return m_offsetNs + sample * 1000000000LL / kRate;
    }
    // The sample played at the clock's time ns (may lie beyond the recording).
    qint64 sampleAtNs(qint64 ns) const { return (ns - m_offsetNs) * kRate / 1000000000LL; }

private:
    void take()
    {
        const QByteArray bytes = m_parec.readAllStandardOutput();
        const qint64 now = m_clock.nsecsElapsed();
        m_pending += bytes;
        const qsizetype whole = m_pending.size() / 2 * 2;
        const auto *data = reinterpret_cast<const uchar *>(m_pending.constData());
        for (qsizetype i = 0; i < whole; i += 2)
            m_samples.push_back(qint16(quint16(data[i]) | quint16(data[i + 1]) << 8));
        m_pending.remove(0, whole);
        if (whole > 0)
            m_offsetNs = qMin(m_offsetNs, now - sampleCount() * 1000000000LL / kRate);
    }

    const QElapsedTimer &m_clock;
    QProcess m_parec;
    QByteArray m_pending;
    std::vector<qint16> m_samples;
    qint64 m_offsetNs = std::numeric_limits<qint64>::max();
};
