#pragma once

#include <QObject>
#include <QString>

class AlarmPanel;
class ChannelBoard;
class ChannelMonitor;
class QColor;
class QTimer;
class QWidget;
class StatusPoller;
class TDM;

// The channel monitor as the main window sees it: the board, the alarm
// controls ("Selecione"), the two status polls and the colouring tick.
class MonitorSection final : public QObject
{
    Q_OBJECT

public:
    MonitorSection(TDM *dm, QWidget *parentWidget, QObject *parent = nullptr);

    QWidget *board() const;
    QWidget *alarmPanel() const;
    QString statusText(int channel) const;

    QTimer *timerStatus() const;
    QTimer *timerStatus2() const;
    QTimer *tAtuaLabel() const;

    // Start-up (reads 13-16 and 18-21 of the settings order).
    void setStatusEndpoint(int server, const QString &host, quint16 port);
    void loadHabTempoMax(bool on);
    void loadHabTempoOcioso(bool on);
    void loadTempoMax(const QString &text);
    void loadTempoOcioso(const QString &text);
    bool idleAlarmChecked() const;
    void setIdleInterval(int channel, int milliseconds);
    void setMaxCallTime(int seconds);
    void startIdleTimers();

    void setCallMark(int channel, const QColor &colour);

    // Deactivates UdpStatus and stops TimerStatus, as the window's destruction does.
    void shutdown();

    // For tests and the benchmark.
    ChannelBoard *channelBoard() const { return m_board; }
    AlarmPanel *alarms() const { return m_alarmPanel; }
    ChannelMonitor *monitor() const { return m_monitor; }
    StatusPoller *poller(int server) const;

    void TAtuaLabelTimer();

Q_SIGNALS:
    void logMessage(const QString &message);
    void listeningEnded(int channel);
    void rowDoubleClicked(int channel);

private:
    void showChannel(int channel);

    TDM *m_dm;
    ChannelMonitor *m_monitor;
    ChannelBoard *m_board;
    AlarmPanel *m_alarmPanel;
    StatusPoller *m_poller1;
    StatusPoller *m_poller2;
    QTimer *m_tAtuaLabel;
};
