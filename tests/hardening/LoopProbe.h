#pragma once

#include <QElapsedTimer>
#include <QObject>

class QTimer;

// Watches the event loop of the thread it lives on: a 1 ms timer notes the
// longest gap between two of its ticks, which is the longest time the loop
// was kept from handling input.
class LoopProbe final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoopProbe)

public:
    explicit LoopProbe(QObject *parent = nullptr);

    void start();
    void stop();
    qint64 longestStallMs() const { return m_longestNs / 1000000; }
    // The part of the longest stall this thread spent running; the rest it
    // waited for a processor (the machine was busy, not the program).
    qint64 longestStallCpuMs() const { return m_longestCpuNs / 1000000; }
    qint64 ticks() const { return m_ticks; }

    // Runs a real event loop (not QTest::qWait, which sleeps between passes)
    // for the given time.
    static void run(int milliseconds);
    // Runs the event loop until no UDP socket owned by owner holds a datagram
    // (at most timeoutMs); false when one still does.
    static bool runUntilDrained(const QObject *owner, int timeoutMs = 10000);

    // Heap bytes in use by this process, as the allocator counts them.
    static qint64 heapInUse();

private:
    void tick();

    QTimer *m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
    qint64 m_lastCpuNs = 0;
    qint64 m_longestCpuNs = 0;
    qint64 m_ticks = 0;
};
