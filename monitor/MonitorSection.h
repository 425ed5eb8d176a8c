#pragma once

#include <QObject>
#include <QString>

class ChannelBoard;
class QTimer;
class QWidget;
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

Q_SIGNALS:
    void logMessage(const QString &message);
    void listeningEnded(int channel);
    void rowDoubleClicked(int channel);

private:
    TDM *m_dm;
    QWidget *m_board;
    QWidget *m_alarmPanel;
    QTimer *m_timerStatus;
    QTimer *m_timerStatus2;
    QTimer *m_tAtuaLabel;
};
