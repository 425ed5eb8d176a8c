#include "monitor/ChannelMonitor.h"

#include "app/TimeText.h"
#include "app/Win1252.h"
#include "monitor/ChannelTimer.h"
#include "monitor/StatusRecord.h"
#include "monitor/TDM.h"

#include <QLoggingCategory>
#include <exception>

Q_LOGGING_CATEGORY(lcMonitor, "vorlan.monitor")

namespace {
const QString kAguardando = QStringLiteral("Aguardando");
const QString kGravando = QStringLiteral("Gravando");
const QString kDesabilitado = QStringLiteral("Desabilitado");
// "NÃO" as the recorder sends it: Windows-1252, three bytes.
const QByteArray kNao("N\xC3O", 3);
} // namespace

ChannelMonitor::ChannelMonitor(TDM *dm, QObject *parent)
    : QObject(parent)
    , m_dm(dm)
{
    connect(dm, &TDM::tCanalTimer, this, &ChannelMonitor::tCanalTimer);
    connect(dm, &TDM::tTempoOciosoCTimer, this, &ChannelMonitor::tTempoOciosoCTimer);
    connect(dm, &TDM::tOciosoCTimer, this, &ChannelMonitor::tOciosoCTimer);
    connect(dm, &TDM::tEstouroCTimer, this, &ChannelMonitor::tEstouroCTimer);
}

void ChannelMonitor::applyReply(int server, const QByteArray &reply)
{
    const int first = server == 1 ? 1 : kRecordsPerServer + 1;
    for (int k = 1; k <= kRecordsPerServer; ++k) {
        try {
            applyRecord(first + k - 1, StatusRecord::fromReply(reply, k));
        } catch (const std::exception &e) {
            qCWarning(lcMonitor) << "status record" << k << "of server" << server
                                 << "not applied:" << e.what();
            return;
        }
    }
}

void ChannelMonitor::applyRecord(int n, const StatusRecord &record)
{
    ChannelState &s = state(n);
    s.name = Win1252::decode(record.name);
    if (record.listening == "SIM")
        s.listeningSeen = true;
    if (s.listeningSeen && record.listening == kNao) {
        s.listeningSeen = false;
        Q_EMIT channelChanged(n);
        Q_EMIT listeningEnded(n);
        Q_EMIT logMessage(QStringLiteral("Desconectado do canal %1.").arg(n));
    }
    if (record.recording == "-1") {
        s.status = kGravando;
        m_dm->tCanal(n)->start();
        m_dm->tTempoOciosoC(n)->stop();
    }
    if (record.recording == "0") {
        s.status = kAguardando;
        m_dm->tCanal(n)->stop();
        s.duration = QStringLiteral("00:00:00");
        if (record.activity == "Desabilitado")
            s.status = kDesabilitado;
        if (record.activity == "SIM")
            m_dm->tTempoOciosoC(n)->start();
        s.hours = s.minutes = s.seconds = 0;
    }
    Q_EMIT channelChanged(n);
}

void ChannelMonitor::tCanalTimer(int n)
{
    ChannelState &s = state(n);
    if (++s.seconds == 60) {
        ++s.minutes;
        s.seconds = 0;
    }
    if (s.minutes == 60) {
        ++s.hours;
        s.minutes = 0;
    }
    // A day or more is no time of day: the label stays at 23:59:59.
    if (const auto text = TimeText::formatCounter(s.hours, s.minutes, s.seconds)) {
        s.duration = *text;
        Q_EMIT channelChanged(n);
    }
}

void ChannelMonitor::tTempoOciosoCTimer(int n)
{
    if (m_idleAlarm)
        m_dm->tOciosoC(n)->start();
}

void ChannelMonitor::tOciosoCTimer(int n)
{
    const ChannelState &s = channel(n);
    if (s.status == kDesabilitado)
        return;
    if (s.status == kGravando) {
        setLamp(n, Lamp::Rest);
        m_dm->tOciosoC(n)->stop();
        return;
    }
    if (s.lamp == Lamp::Yellow)
        setLamp(n, Lamp::Rest);
    else if (s.lamp == Lamp::Rest)
        setLamp(n, Lamp::Yellow);
}

void ChannelMonitor::tEstouroCTimer(int n)
{
    const ChannelState &s = channel(n);
    const auto duration = TimeText::parseTimeOfDay(s.duration);
    if (!duration)
        return;
    if (m_maxAlarm && *duration >= m_maxCallTime) {
        if (s.lamp == Lamp::Red) {
            setLamp(n, Lamp::Rest);
            return;
        }
        if (s.lamp == Lamp::Rest) {
            setLamp(n, Lamp::Red);
            return;
        }
    }
    if (s.status == kAguardando)
        setLamp(n, Lamp::Rest);
}

void ChannelMonitor::setLamp(int n, Lamp lamp)
{
    ChannelState &s = state(n);
    if (s.lamp == lamp)
        return;
    s.lamp = lamp;
    Q_EMIT channelChanged(n);
}
