#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

// A PulseAudio daemon of our own with one null sink, in a throw-away runtime
// folder, so that playback can be checked on machines without a sound
// server (or without touching the user's). start() points this process at
// it through PULSE_SERVER; that must happen before the first use of Qt
// Multimedia, which connects once per process.
class PrivateSoundServer
{
public:
    static constexpr const char *kSinkName = "vorlan_null";

    ~PrivateSoundServer() { stop(); }

    static QString tool(const char *name)
    {
        return QStandardPaths::findExecutable(QString::fromLatin1(name));
    }

    // Empty when the daemon and its tools are installed, else what is missing.
    static QString missing()
    {
        for (const char *name : { "pulseaudio", "pactl", "parec" }) {
            if (tool(name).isEmpty())
                return QStringLiteral("%1 is not installed").arg(QLatin1String(name));
        }
        return {};
    }

    bool start(QString *why)
    {
        if (!m_dir.isValid()) {
            *why = QStringLiteral("no temporary folder");
            return false;
        }
        const QString root = m_dir.path();
        m_socket = root + QStringLiteral("/native");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root);
        env.insert(QStringLiteral("HOME"), root);
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), root + QStringLiteral("/pulse"));
        env.insert(QStringLiteral("PULSE_STATE_PATH"), root + QStringLiteral("/state"));
        env.remove(QStringLiteral("PULSE_SERVER"));
        m_daemon.setProcessEnvironment(env);
        m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_daemon.setStandardOutputFile(QProcess::nullDevice());
        m_daemon.start(
            tool("pulseaudio"),
            { QStringLiteral("--daemonize=no"), QStringLiteral("--system=false"),
              QStringLiteral("-n"), QStringLiteral("--exit-idle-time=-1"),
              QStringLiteral("--use-pid-file=false"), QStringLiteral("--log-level=error"),
              QStringLiteral("--load=module-null-sink sink_name=%1").arg(QLatin1String(kSinkName)),
              QStringLiteral("--load=module-native-protocol-unix socket=%1 "
                             "auth-anonymous=1")
                  .arg(m_socket) });
        if (!m_daemon.waitForStarted(3000)) {
            *why = QStringLiteral("pulseaudio does not start: ") + m_daemon.errorString();
            return false;
        }
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo(m_socket).exists()) {
            if (m_daemon.state() != QProcess::Running || waited.elapsed() > 5000) {
                *why = QStringLiteral("pulseaudio did not open its socket");
                stop();
                return false;
            }
            QThread::msleep(10);
        }
        m_server = QStringLiteral("unix:") + m_socket;
        qputenv("PULSE_SERVER", m_server.toLocal8Bit());
        return true;
    }

    void stop()
    {
        if (m_daemon.state() == QProcess::NotRunning)
            return;
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(1000);
        }
    }

    QString server() const { return m_server; }
    QString monitorSource() const { return QLatin1String(kSinkName) + QStringLiteral(".monitor"); }

    // Runs pactl against this server; false when it fails.
    bool pactl(const QStringList &arguments, QByteArray *output = nullptr) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), m_server);
        process.setProcessEnvironment(env);
        process.start(tool("pactl"), arguments);
        const bool ok = process.waitForFinished(5000)
            && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (output)
            *output = process.readAllStandardOutput();
        return ok;
    }

    // Whether a recording stream is connected to any source.
    bool hasRecordingStream() const
    {
        QByteArray list;
        return pactl({ QStringLiteral("list"), QStringLiteral("short"),
                       QStringLiteral("source-outputs") },
                     &list)
            && !list.trimmed().isEmpty();
    }

    bool suspendSink(bool suspend) const
    {
        return pactl({ QStringLiteral("suspend-sink"), QLatin1String(kSinkName),
                       suspend ? QStringLiteral("1") : QStringLiteral("0") });
    }

private:
    QTemporaryDir m_dir { QDir::tempPath() + QStringLiteral("/vorlan-pulse-XXXXXX") };
    QProcess m_daemon;
    QString m_socket;
    QString m_server;
};
