#pragma once

#include <QObject>
#include <array>

class ChannelTimer;

// The data module: holds the 160 per-channel timers of the call-duration
// counters and alarms. Created before the main window, lives until exit.
// Each tick is re-emitted with its channel so one handler serves all 40.
class TDM final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDM)

public:
    static constexpr int kChannels = 40;

    explicit TDM(QObject *parent = nullptr);

    // channel is 1..40.
    ChannelTimer *tCanal(int channel) const; // duration, 1000 ms
    ChannelTimer *tTempoOciosoC(int channel) const; // idle delay, idle time x 60000 ms
    ChannelTimer *tOciosoC(int channel) const; // idle blink, 750 ms
    ChannelTimer *tEstouroC(int channel) const; // maximum-time blink, 600 ms, always on

Q_SIGNALS:
    void tCanalTimer(int channel);
    void tTempoOciosoCTimer(int channel);
    void tOciosoCTimer(int channel);
    void tEstouroCTimer(int channel);

private:
    std::array<ChannelTimer *, kChannels> m_tCanal {};
    std::array<ChannelTimer *, kChannels> m_tTempoOcioso {};
    std::array<ChannelTimer *, kChannels> m_tOcioso {};
    std::array<ChannelTimer *, kChannels> m_tEstouro {};
};
