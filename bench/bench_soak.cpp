// Soak run of the client (not a test): the main window, built as the client
// builds it, against vorlan-sim at high churn for a long time. Calls start
// and end every few seconds on all 40 channels, one channel stays in a
// single call for the whole run and one stays idle, listening is switched on
// and off, the agents chat and are answered, and both alarms are on with
// short times so that they fire. Every few seconds it samples its own
// resident memory and CPU time and the simulator's; at the end it reports
// them with the drift of the long call's duration label against the wall
// clock.
//   bench_soak [seconds=1800] [sample-seconds=10] [csv-file]
// SOAK_CHAT_EVERY=0 in the environment turns the chat off (agents and
// supervisor), SOAK_LISTEN=0 the supervisor's listening, to tell the growth
// of either from the rest.
#include "app/ErrorReport.h"
#include "app/MainFormRemoteClient.h"
#include "app/Skin.h"
#include "app/TimeText.h"
#include "chat/ChatPanel.h"
#include "chat/ChatSection.h"
#include "chat/ChatTranscript.h"
#include "listen/AudioReceiver.h"
#include "listen/ListeningSection.h"
#include "monitor/ChannelBoard.h"
#include "monitor/ChannelMonitor.h"
#include "monitor/ChannelRow.h"
#include "monitor/MonitorSection.h"
#include "monitor/StatusPoller.h"
#include "monitor/TDM.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int kHeldCall = 1; // in one call from start to end: the drift probe
constexpr int kHeldIdle = 2; // idle from start to end: the idle alarm fires

struct Sample
{
    double seconds = 0; // since the window was built
    long rssKiB = 0;
    double cpuSeconds = 0;
    long simRssKiB = 0;
    double simCpuSeconds = 0;
    double driftMs = 0;
};

long residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// User plus system time of a process, from /proc/PID/stat.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The command name may hold spaces: fields are counted after its ')'.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = double(fields.value(11).toLongLong() + fields.value(12).toLongLong());
    return ticks / double(sysconf(_SC_CLK_TCK));
}

quint16 freeUdpPort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0) ? probe.localPort() : 0;
}

// Least-squares slope of y over x.
double slope(const QList<QPointF> &points)
{
    if (points.size() < 2)
        return 0;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const QPointF &p : points) {
        sx += p.x();
        sy += p.y();
        sxx += p.x() * p.x();
        sxy += p.x() * p.y();
    }
    const double n = double(points.size());
    const double d = n * sxx - sx * sx;
    return d == 0 ? 0 : (n * sxy - sx * sy) / d;
}

// vorlan-sim on free ports, scripted through its standard input. Its output
// is read as it comes (an unread pipe would pile up in this process).
class Simulator final : public QObject
{
public:
    bool start(const QStringList &arguments)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QString::fromUtf8(VORLAN_SIM_PATH), arguments);
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning && !m_ready) {
            m_process.waitForReadyRead(100);
            readOutput();
        }
        connect(&m_process, &QProcess::readyReadStandardOutput, this, &Simulator::readOutput);
        return m_ready;
    }

    ~Simulator() override
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        command(QStringLiteral("quit"));
        if (!m_process.waitForFinished(2000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }

    void command(const QString &line) { m_process.write(line.toUtf8() + '\n'); }
    qint64 pid() const { return m_process.processId(); }
    bool running() const { return m_process.state() == QProcess::Running; }
    quint16 statusPort(int server) const { return m_status[server - 1]; }
    quint16 listenPort(int server) const { return m_listen[server - 1]; }
    quint16 agentPort(int channel) const { return m_agents.value(channel - 1); }
    // Lines the agents received from the client.
    int agentLines() const { return m_agentLines; }

private:
    void readOutput()
    {
        m_pending += m_process.readAllStandardOutput();
        qsizetype eol;
        while ((eol = m_pending.indexOf('\n')) >= 0) {
            const QList<QByteArray> words = m_pending.left(eol).trimmed().split(' ');
            m_pending.remove(0, eol + 1);
            const QByteArray &verb = words.first();
            if (verb == "status-ports" && words.size() == 3) {
                m_status[0] = quint16(words.at(1).toUInt());
                m_status[1] = quint16(words.at(2).toUInt());
            } else if (verb == "listen-ports" && words.size() == 3) {
                m_listen[0] = quint16(words.at(1).toUInt());
                m_listen[1] = quint16(words.at(2).toUInt());
            } else if (verb == "agent-ports" && words.size() == 41) {
                m_agents.clear();
                for (int n = 1; n <= 40; ++n)
                    m_agents.append(quint16(words.at(n).toUInt()));
                // The agents' ports are printed last.
                m_ready = m_status[0] && m_listen[0] && !m_agents.contains(quint16(0));
            } else if (verb == "canal") {
                ++m_agentLines;
            }
        }
    }

    QProcess m_process;
    QByteArray m_pending;
    quint16 m_status[2] = { 0, 0 };
    quint16 m_listen[2] = { 0, 0 };
    QList<quint16> m_agents;
    int m_agentLines = 0;
    bool m_ready = false;
};

bool writeSettings(const QString &path, const Simulator &sim, quint16 chatPort,
                   const QString &recordings)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    out << "[General]\n"
        << "IPServidor=127.0.0.1\nUsuarioClient=SUPERVISOR\n"
        << "PortaServidorChat=" << chatPort << '\n'
        << "PortaStatus=" << sim.statusPort(1) << "\nPortaStatus2=" << sim.statusPort(2) << '\n'
        << "PortaServidor=" << sim.listenPort(1) << "\nPortaServidor2=" << sim.listenPort(2) << '\n'
        << "IniWin=0\n"
        // Both alarms on, with times the churn reaches: most calls pass 5 s
        // and the idle channel passes a minute.
        << "HabTempoMax=-1\nTempoMax=00:00:05\nHabTempoOcioso=-1\nTempoOcioso=1\n"
        << "PathGravacoes=" << recordings << '\n'
        << "IPLocal=127.0.0.1\n"
        // No database: port 1 refuses at once, as a server that is down.
        << "HostBD=127.0.0.1\nPortaBD=1\nUserBD=vorlan\nSenhaBD=vorlan\nNomeBanco=vorlan\n";
    for (int n = 1; n <= 40; ++n)
        out << "IPChatC" << n << "=127.0.0.1\nPortaChatC" << n << '=' << sim.agentPort(n) << '\n';
    out.flush();
    return file.error() == QFile::NoError;
}

// The long call's duration label against the wall clock: from the first
// second it shows, every later change is compared with the time elapsed.
class DriftProbe
{
public:
    explicit DriftProbe(const QLabel *label)
        : m_label(label)
    {
        m_clock.start();
    }

    void labelChanged()
    {
        const auto shown = TimeText::parseTimeOfDay(m_label->text());
        if (!shown)
            return;
        const qint64 now = m_clock.elapsed();
        if (*shown < m_lastShown)
            ++m_resets; // the call was seen to end: the probe starts again
        if (*shown == 0 || *shown < m_lastShown) {
            m_firstShown = -1;
        } else if (m_firstShown < 0) {
            m_firstShown = *shown;
            m_firstMs = now;
        } else if (*shown != m_lastShown) {
            // Positive: the label is ahead of the wall clock.
            m_driftMs = double(*shown - m_firstShown) * 1000.0 - double(now - m_firstMs);
            m_worstLagMs = std::min(m_worstLagMs, m_driftMs);
            m_worstLeadMs = std::max(m_worstLeadMs, m_driftMs);
        }
        m_lastShown = *shown;
    }

    double driftMs() const { return m_driftMs; }
    double worstLagMs() const { return m_worstLagMs; }
    double worstLeadMs() const { return m_worstLeadMs; }
    int resets() const { return m_resets; }
    int shownSeconds() const { return m_lastShown; }
    double probedSeconds() const
    {
        return m_firstShown < 0 ? 0 : double(m_clock.elapsed() - m_firstMs) / 1000.0;
    }

private:
    const QLabel *m_label;
    QElapsedTimer m_clock;
    int m_firstShown = -1;
    qint64 m_firstMs = 0;
    int m_lastShown = 0;
    double m_driftMs = 0;
    double m_worstLagMs = 0;
    double m_worstLeadMs = 0;
    int m_resets = 0;
};

// The offscreen platform cannot raise a window; the chat alert asks it to
// at every agent's call. The rest of the diagnostics are kept.
QtMessageHandler previousHandler = nullptr;

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text == QLatin1String("This plugin does not support raise()"))
        return;
    previousHandler(type, context, text);
}

} // namespace

int main(int argc, char *argv[])
{
    previousHandler = qInstallMessageHandler(messageHandler);
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(10, atoi(argv[1])) : 1800;
    const int sampleSeconds = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
    const QString csvPath = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();

    const int chatEvery = qEnvironmentVariableIsSet("SOAK_CHAT_EVERY")
        ? qEnvironmentVariableIntValue("SOAK_CHAT_EVERY")
        : 2;
    QTemporaryDir work;
    const quint16 audioPorts[2] = { freeUdpPort(), freeUdpPort() };
    const quint16 chatPort = freeUdpPort();
    if (!work.isValid() || !audioPorts[0] || !audioPorts[1] || !chatPort)
        return 1;

    // Calls change on some channel every 100 ms: each of the 40 every few
    // seconds. An agent speaks every 2 s, a quarter of them calls.
    Simulator sim;
    const QString zero = QStringLiteral("0");
    if (!sim.start({ QStringLiteral("--status-port"),
                     zero,
                     QStringLiteral("--status-port2"),
                     zero,
                     QStringLiteral("--listen-port"),
                     zero,
                     QStringLiteral("--listen-port2"),
                     zero,
                     QStringLiteral("--agent-base-port"),
                     zero,
                     QStringLiteral("--audio-port"),
                     QString::number(audioPorts[0]),
                     QStringLiteral("--audio-port2"),
                     QString::number(audioPorts[1]),
                     QStringLiteral("--client-chat-port"),
                     QString::number(chatPort),
                     QStringLiteral("--churn"),
                     QStringLiteral("100"),
                     QStringLiteral("--chat-every"),
                     QString::number(chatEvery) })) {
        std::fprintf(stderr, "vorlan-sim did not start\n");
        return 1;
    }
    sim.command(QStringLiteral("call %1").arg(kHeldCall));
    sim.command(QStringLiteral("hold %1").arg(kHeldCall));
    sim.command(QStringLiteral("hangup %1").arg(kHeldIdle));
    sim.command(QStringLiteral("hold %1").arg(kHeldIdle));

    const QString settings = work.filePath(QStringLiteral("config.ini"));
    QDir(work.path()).mkpath(QStringLiteral("recordings"));
    if (!writeSettings(settings, sim, chatPort, work.filePath(QStringLiteral("recordings")))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(settings));
        return 1;
    }
    qputenv("VORLAN_SETTINGS", QFile::encodeName(settings));

    // As the client's entry point does, without the single-instance guard
    // (a soak must not meet a client someone else runs).
    Skin::apply();
    int errorsShown = 0;
    ErrorReport::setPresenter([&errorsShown](const QString &) { ++errorsShown; });
    TDM dm;
    TMainFormRemoteClient window(&dm);
    window.listening()->setAudioPorts(audioPorts[0], audioPorts[1]);
    const int step = window.FormCreate();
    window.show();
    if (step != 16)
        std::fprintf(stderr, "start-up ended at step %d\n", step);

    // Counters of what happened, to show the run was busy.
    int replies = 0, silences = 0, clips = 0, listens = 0, listenExchanges = 0, sent = 0;
    int lampChanges = 0, logLines = 0;
    for (int server : { 1, 2 }) {
        QObject::connect(window.monitor()->poller(server), &StatusPoller::exchangeFinished, &app,
                         [&](bool replied) { ++(replied ? replies : silences); });
    }
    QObject::connect(window.listening()->audioReceiver(), &AudioReceiver::clipWritten, &app,
                     [&clips] { ++clips; });
    QObject::connect(window.listening(), &ListeningSection::requestFinished, &app, [&] {
        ++listenExchanges;
        if (window.listening()->isConnected())
            ++listens;
    });
    QObject::connect(window.monitor(), &MonitorSection::logMessage, &app, [&] { ++logLines; });
    QObject::connect(window.listening(), &ListeningSection::logMessage, &app, [&] { ++logLines; });
    QObject::connect(window.chat(), &ChatSection::logMessage, &app, [&] { ++logLines; });
    ChannelMonitor *monitor = window.monitor()->monitor();
    std::array<Lamp, 40> lamps {};
    lamps.fill(Lamp::Panel);
    DriftProbe drift(window.monitor()->channelBoard()->row(kHeldCall)->durationLabel());
    QObject::connect(monitor, &ChannelMonitor::channelChanged, &app, [&](int n) {
        if (n == kHeldCall)
            drift.labelChanged();
        if (monitor->channel(n).lamp != lamps.at(n - 1)) {
            lamps.at(n - 1) = monitor->channel(n).lamp;
            ++lampChanges;
        }
    });

    QRandomGenerator random(20261211);
    // Listening: every 6 s, stop if connected, else ask for a channel in a
    // call. The churn ends many of them first (the recorder's own stop).
    QTimer listenTick;
    QObject::connect(&listenTick, &QTimer::timeout, &app, [&] {
        ListeningSection *listening = window.listening();
        if (listening->isRequestPending())
            return;
        if (listening->isConnected()) {
            ErrorReport::guarded([&] { listening->btDesconectaClick(); });
            return;
        }
        for (int tries = 0; tries < 40; ++tries) {
            const int n = random.bounded(3, 41);
            if (window.monitor()->statusText(n) == QLatin1String("Gravando")) {
                ErrorReport::guarded(
                    [&] { listening->requestListen(n, window.monitor()->statusText(n)); });
                return;
            }
        }
    });
    if (qEnvironmentVariable("SOAK_LISTEN") != QLatin1String("0"))
        listenTick.start(6000);
    // Another client listens on and off, as the recorder reports it.
    QTimer otherListener;
    QObject::connect(&otherListener, &QTimer::timeout, &app, [&] {
        const int n = random.bounded(3, 41);
        sim.command(QStringLiteral("listening %1 on").arg(n));
        QTimer::singleShot(3000, &app,
                           [&sim, n] { sim.command(QStringLiteral("listening %1 off").arg(n)); });
    });
    otherListener.start(7000);
    // The supervisor answers an agent every 5 s.
    auto *channels
        = window.chat()->chatPanel()->findChild<QComboBox *>(QStringLiteral("cbSelecCanal"));
    auto *message
        = window.chat()->chatPanel()->findChild<QLineEdit *>(QStringLiteral("edMensagem"));
    QTimer chatTick;
    QObject::connect(&chatTick, &QTimer::timeout, &app, [&] {
        if (!channels || !message)
            return;
        channels->setCurrentIndex(random.bounded(40));
        message->setText(QStringLiteral("Retorno %1, ação em andamento").arg(sent));
        if (ErrorReport::guarded([&] { window.chat()->chatPanel()->btSendClick(); }))
            ++sent;
    });
    if (chatEvery > 0)
        chatTick.start(5000);

    QList<Sample> samples;
    QElapsedTimer clock;
    clock.start();
    auto takeSample = [&] {
        Sample s;
        s.seconds = double(clock.elapsed()) / 1000.0;
        s.rssKiB = residentKiB(QCoreApplication::applicationPid());
        s.cpuSeconds = cpuSeconds(QCoreApplication::applicationPid());
        s.simRssKiB = residentKiB(sim.pid());
        s.simCpuSeconds = cpuSeconds(sim.pid());
        s.driftMs = drift.driftMs();
        samples.append(s);
        std::printf(
            "%7.0f s  rss %6ld KiB  cpu %7.2f s  sim rss %6ld KiB  sim cpu %7.2f s  "
            "label %s  drift %+.0f ms\n",
            s.seconds, s.rssKiB, s.cpuSeconds, s.simRssKiB, s.simCpuSeconds,
            qPrintable(window.monitor()->channelBoard()->row(kHeldCall)->durationLabel()->text()),
            s.driftMs);
        std::fflush(stdout);
    };
    takeSample();
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, &app, takeSample);
    sampler.start(sampleSeconds * 1000);
    QTimer::singleShot(seconds * 1000, &app, [&] {
        takeSample();
        // exit(), not quit(): quit() would ask the window to close, and it
        // asks the user first.
        QCoreApplication::exit(0);
    });
    QApplication::exec();
    if (!sim.running())
        std::fprintf(stderr, "vorlan-sim stopped during the run\n");

    const Sample &first = samples.first();
    const Sample &last = samples.last();
    // Start-up allocations (fonts, plugins, the first clips) settle in the
    // first minute; growth is judged after it.
    const double warmUp = std::min(60.0, last.seconds / 4);
    const auto settled = std::find_if(samples.cbegin(), samples.cend(),
                                      [warmUp](const Sample &s) { return s.seconds >= warmUp; });
    QList<QPointF> rssAfterWarmUp;
    long maxRss = 0;
    for (auto it = samples.cbegin(); it != samples.cend(); ++it) {
        maxRss = std::max(maxRss, it->rssKiB);
        if (it >= settled)
            rssAfterWarmUp.append({ it->seconds / 3600.0, double(it->rssKiB) });
    }
    const double span = last.seconds - settled->seconds;
    std::printf("\nsoak of %.0f s, samples every %d s\n", last.seconds, sampleSeconds);
    std::printf("resident memory: start %.1f MB, after %.0f s %.1f MB, end %.1f MB, max %.1f MB; "
                "trend after warm-up %+.2f MB/h\n",
                first.rssKiB / 1024.0, settled->seconds, settled->rssKiB / 1024.0,
                last.rssKiB / 1024.0, maxRss / 1024.0, slope(rssAfterWarmUp) / 1024.0);
    std::printf("CPU share of one core after warm-up: client %.2f %%, simulator %.2f %%\n",
                span > 0 ? 100.0 * (last.cpuSeconds - settled->cpuSeconds) / span : 0.0,
                span > 0 ? 100.0 * (last.simCpuSeconds - settled->simCpuSeconds) / span : 0.0);
    std::printf("simulator resident memory: start %.1f MB, end %.1f MB\n", first.simRssKiB / 1024.0,
                last.simRssKiB / 1024.0);
    std::printf(
        "duration counter of channel %d: shows %s after %.1f s of wall clock; drift at "
        "the end %+.0f ms, worst lag %.0f ms, worst lead %+.0f ms, resets %d\n",
        kHeldCall,
        qPrintable(window.monitor()->channelBoard()->row(kHeldCall)->durationLabel()->text()),
        drift.probedSeconds(), drift.driftMs(), drift.worstLagMs(), drift.worstLeadMs(),
        drift.resets());
    std::printf("activity: %d status replies, %d unanswered polls, %d lamp changes, %d listens "
                "(%d exchanges), %d audio clips, %d chat lines sent (%d received by agents), "
                "%d agent lines in the chat view, %d log messages, %d error reports\n",
                replies, silences, lampChanges, listens, listenExchanges, clips, sent,
                sim.agentLines(), int(window.chat()->chatPanel()->transcript()->lines().size()),
                logLines, errorsShown);

    if (!csvPath.isEmpty()) {
        QFile csv(csvPath);
        if (csv.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            QTextStream out(&csv);
            out << "seconds,rss_kib,cpu_s,sim_rss_kib,sim_cpu_s,drift_ms\n";
            for (const Sample &s : samples)
                out << s.seconds << ',' << s.rssKiB << ',' << s.cpuSeconds << ',' << s.simRssKiB
                    << ',' << s.simCpuSeconds << ',' << s.driftMs << '\n';
        }
    }
    return 0;
}
