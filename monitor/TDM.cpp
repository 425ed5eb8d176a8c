#include "monitor/TDM.h"

#include "monitor/ChannelTimer.h"

TDM::TDM(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("DM"));
    for (int n = 1; n <= kChannels; ++n) {
        const QString number = QString::number(n);
        auto make = [&](const QString &prefix, int interval, void (TDM::*tick)(int)) {
            auto *timer = new ChannelTimer(prefix + number, interval, this);
            connect(timer, &ChannelTimer::timeout, this, [this, tick, n] { (this->*tick)(n); });
            return timer;
        };
        m_tCanal.at(n - 1) = make(QStringLiteral("tCanal"), 1000, &TDM::tCanalTimer);
        m_tTempoOcioso.at(n - 1)
            = make(QStringLiteral("tTempoOciosoC"), 1000, &TDM::tTempoOciosoCTimer);
        m_tOcioso.at(n - 1) = make(QStringLiteral("tOciosoC"), 750, &TDM::tOciosoCTimer);
        m_tEstouro.at(n - 1) = make(QStringLiteral("tEstouroC"), 600, &TDM::tEstouroCTimer);
        m_tEstouro.at(n - 1)->start();
    }
}

ChannelTimer *TDM::tCanal(int channel) const
{
    return m_tCanal.at(channel - 1);
}
ChannelTimer *TDM::tTempoOciosoC(int channel) const
{
    return m_tTempoOcioso.at(channel - 1);
}
ChannelTimer *TDM::tOciosoC(int channel) const
{
    return m_tOcioso.at(channel - 1);
}
ChannelTimer *TDM::tEstouroC(int channel) const
{
    return m_tEstouro.at(channel - 1);
}
