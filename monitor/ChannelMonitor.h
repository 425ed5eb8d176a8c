#pragma once

#include "monitor/ChannelState.h"

#include <QObject>
#include <array>

class TDM;
struct StatusRecord;

// The widget-free heart of the board: applies status replies to the 40
// channels and runs the per-channel timer handlers of the data module
// (duration counting, idle blink, maximum-time blink).
class ChannelMonitor final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ChannelMonitor)

public:
    static constexpr int kChannels = 40;
    static constexpr int kRecordsPerServer = 20;

    explicit ChannelMonitor(TDM *dm, QObject *parent = nullptr);

    const ChannelState &channel(int channel) const { return m_channels.at(channel - 1); }
    TDM *dm() const { return m_dm; }

    // Records 1..20 of a server's reply, in order. A failure while one is
    // applied leaves the later ones unapplied and is kept silent.
    void applyReply(int server, const QByteArray &reply);
    void applyRecord(int channel, const StatusRecord &record);

    void setMaxAlarmEnabled(bool on) { m_maxAlarm = on; }
    bool maxAlarmEnabled() const { return m_maxAlarm; }
    void setIdleAlarmEnabled(bool on) { m_idleAlarm = on; }
    bool idleAlarmEnabled() const { return m_idleAlarm; }
    // MaxCallTime in seconds since midnight.
    void setMaxCallTime(int seconds) { m_maxCallTime = seconds; }
    int maxCallTime() const { return m_maxCallTime; }

    // The data module's tick handlers, one rule for every channel.
    void tCanalTimer(int channel);
    void tTempoOciosoCTimer(int channel);
    void tOciosoCTimer(int channel);
    void tEstouroCTimer(int channel);

Q_SIGNALS:
    void channelChanged(int channel);
    void listeningEnded(int channel);
    void logMessage(const QString &message);

private:
    ChannelState &state(int channel) { return m_channels.at(channel - 1); }
    void setLamp(int channel, Lamp lamp);

    TDM *m_dm;
    std::array<ChannelState, kChannels> m_channels;
    bool m_maxAlarm = false;
    bool m_idleAlarm = false;
    int m_maxCallTime = 0;
};
