#pragma once

#include <QObject>

class QTimer;

// A periodic timer with the semantics the call timers rely on: starting a
// running timer leaves its countdown alone, and an enabled timer with
// interval 0 never fires (a plain QTimer would fire on every loop pass).
class ChannelTimer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChannelTimer)

public:
    explicit ChannelTimer(const QString &name, int interval, QObject *parent = nullptr);

    void start();
    void stop();
    bool isActive() const { return m_enabled; }
    int interval() const { return m_interval; }
    // A new interval on an enabled timer starts a fresh countdown.
    void setInterval(int milliseconds);

Q_SIGNALS:
    void timeout();

private:
    void arm();

    QTimer *m_timer;
    int m_interval;
    bool m_enabled = false;
};
