// Benchmark of the channel monitor (not a test): event-loop stalls while
// both recorder servers are silent and while they answer, CPU share and
// resident memory while 40 channels are in calls, and the time from a
// server's reply to the row showing it. Run: bench_monitor [seconds]
#include "SimPeer.h"
#include "monitor/ChannelBoard.h"
#include "monitor/MonitorSection.h"
#include "monitor/StatusPoller.h"
#include "monitor/TDM.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

namespace {
void spin(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

qint64 threadCpuNs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Stall
{
    double wallMs = 0; // longest gap between two probe ticks
    double cpuMs = 0; // most UI-thread CPU time spent within one gap
};

// Gaps between the ticks of a 1 ms timer over a period. On a loaded machine
// the wall-clock gap includes time the OS gave to other processes; the CPU
// time shows what the UI thread itself did in the gap.
Stall longestStall(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 lastCpu = threadCpuNs();
    qint64 worst = 0;
    qint64 worstCpu = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        worst = std::max(worst, now - last);
        worstCpu = std::max(worstCpu, cpu - lastCpu);
        last = now;
        lastCpu = cpu;
    });
    probe.start(1);
    spin(milliseconds);
    return { double(worst) / 1e6, double(worstCpu) / 1e6 };
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 60;

    SimPeer sim;
    if (!sim.start({ QStringLiteral("--all-calls") })) {
        std::fprintf(stderr, "vorlan-sim did not start\n");
        return 1;
    }
    QWidget window;
    TDM dm;
    MonitorSection section(&dm, &window);
    window.resize(960, 320);
    window.show();
    section.setStatusEndpoint(1, QStringLiteral("127.0.0.1"), sim.statusPort(1));
    section.setStatusEndpoint(2, QStringLiteral("127.0.0.1"), sim.statusPort(2));

    qint64 replyTotal = 0;
    qint64 replyWorst = 0;
    int replies = 0;
    section.timerStatus()->start();
    section.timerStatus2()->start();
    section.tAtuaLabel()->start();
    for (int server : { 1, 2 }) {
        StatusPoller *poller = section.poller(server);
        QObject::connect(poller, &StatusPoller::exchangeFinished, poller, [&](bool replied) {
            if (!replied)
                return;
            // The rows are updated inside the reply handler, before this.
            const qint64 ns = poller->lastReplyHandlingNs();
            replyTotal += ns;
            replyWorst = std::max(replyWorst, ns);
            ++replies;
        });
    }

    sim.command(QStringLiteral("status 1 silent"));
    sim.command(QStringLiteral("status 2 silent"));
    spin(300);
    const Stall silentStall = longestStall(3000);
    sim.command(QStringLiteral("status 1 normal"));
    sim.command(QStringLiteral("status 2 normal"));
    spin(300);
    const Stall answeringStall = longestStall(3000);

    replies = 0;
    replyTotal = replyWorst = 0;
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    spin(seconds * 1000);
    const double cpu = cpuSeconds() - cpuBefore;
    const double share = 100.0 * cpu / (double(wall.elapsed()) / 1000.0);

    std::printf("longest event-loop stall, both servers silent:    %.2f ms wall, %.2f ms "
                "UI-thread CPU (goal < 5 ms)\n",
                silentStall.wallMs, silentStall.cpuMs);
    std::printf("longest event-loop stall, both servers answering: %.2f ms wall, %.2f ms "
                "UI-thread CPU (goal < 5 ms)\n",
                answeringStall.wallMs, answeringStall.cpuMs);
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (loadavg.open(QIODevice::ReadOnly)) // wall gaps include time given to other processes
        std::printf("load average: %s", loadavg.readLine().constData());
    std::printf("CPU share of one core, 40 channels in calls, %d s: %.2f %% (goal < 1 %%)\n",
                seconds, share);
    std::printf("resident memory: %.1f MB (goal < 80 MB)\n", double(residentKiB()) / 1024.0);
    std::printf("reply to rows shown: mean %.1f us, worst %.1f us over %d replies\n",
                replies ? double(replyTotal) / replies / 1000.0 : 0.0, double(replyWorst) / 1000.0,
                replies);
    std::printf("board sample: %s %s\n", qPrintable(section.statusText(1)),
                qPrintable(section.statusText(40)));
    return 0;
}
