#include "monitor/MonitorSection.h"

#include "monitor/AlarmPanel.h"
#include "monitor/ChannelBoard.h"
#include "monitor/ChannelMonitor.h"
#include "monitor/ChannelRow.h"
#include "monitor/ChannelTimer.h"
#include "monitor/StatusPoller.h"
#include "monitor/TDM.h"

#include <QCheckBox>
#include <QColor>
#include <QLineEdit>
#include <QTimer>

MonitorSection::MonitorSection(TDM *dm, QWidget *parentWidget, QObject *parent)
    : QObject(parent)
    , m_dm(dm)
    , m_monitor(new ChannelMonitor(dm, this))
    , m_board(new ChannelBoard(parentWidget))
    , m_alarmPanel(new AlarmPanel(parentWidget))
    , m_poller1(new StatusPoller(QStringLiteral("TimerStatus"), 400, this))
    , m_poller2(new StatusPoller(QStringLiteral("TimerStatus2"), 200, this))
    , m_tAtuaLabel(new QTimer(this))
{
    m_tAtuaLabel->setObjectName(QStringLiteral("TAtuaLabel"));
    m_tAtuaLabel->setInterval(150);
    connect(m_tAtuaLabel, &QTimer::timeout, this, &MonitorSection::TAtuaLabelTimer);

    connect(m_poller1, &StatusPoller::replyReceived, m_monitor,
            [this](const QByteArray &reply) { m_monitor->applyReply(1, reply); });
    connect(m_poller2, &StatusPoller::replyReceived, m_monitor,
            [this](const QByteArray &reply) { m_monitor->applyReply(2, reply); });

    connect(m_monitor, &ChannelMonitor::channelChanged, this, &MonitorSection::showChannel);
    connect(m_monitor, &ChannelMonitor::listeningEnded, this, &MonitorSection::listeningEnded);
    connect(m_monitor, &ChannelMonitor::logMessage, this, &MonitorSection::logMessage);
    connect(m_board, &ChannelBoard::rowDoubleClicked, this, &MonitorSection::rowDoubleClicked);

    connect(m_alarmPanel, &AlarmPanel::logMessage, this, &MonitorSection::logMessage);
    connect(m_alarmPanel, &AlarmPanel::maxAlarmToggled, m_monitor,
            &ChannelMonitor::setMaxAlarmEnabled);
    connect(m_alarmPanel, &AlarmPanel::idleAlarmToggled, m_monitor,
            &ChannelMonitor::setIdleAlarmEnabled);
    connect(m_alarmPanel, &AlarmPanel::maxCallTimeChanged, m_monitor,
            &ChannelMonitor::setMaxCallTime);
}

QWidget *MonitorSection::board() const
{
    return m_board;
}
QWidget *MonitorSection::alarmPanel() const
{
    return m_alarmPanel;
}

QString MonitorSection::statusText(int channel) const
{
    return m_monitor->channel(channel).status;
}

QTimer *MonitorSection::timerStatus() const
{
    return m_poller1->timer();
}
QTimer *MonitorSection::timerStatus2() const
{
    return m_poller2->timer();
}
QTimer *MonitorSection::tAtuaLabel() const
{
    return m_tAtuaLabel;
}

StatusPoller *MonitorSection::poller(int server) const
{
    return server == 1 ? m_poller1 : m_poller2;
}

void MonitorSection::setStatusEndpoint(int server, const QString &host, quint16 port)
{
    poller(server)->setEndpoint(host, port);
}

void MonitorSection::loadHabTempoMax(bool on)
{
    m_alarmPanel->cbHabTempoMax()->setChecked(on);
}

void MonitorSection::loadHabTempoOcioso(bool on)
{
    m_alarmPanel->cbHabTempoOcioso()->setChecked(on);
}

void MonitorSection::loadTempoMax(const QString &text)
{
    m_alarmPanel->edTempoMax()->setText(text);
}

void MonitorSection::loadTempoOcioso(const QString &text)
{
    m_alarmPanel->edTempoOcioso()->setText(text);
}

bool MonitorSection::idleAlarmChecked() const
{
    return m_alarmPanel->cbHabTempoOcioso()->isChecked();
}

void MonitorSection::setIdleInterval(int channel, int milliseconds)
{
    m_dm->tTempoOciosoC(channel)->setInterval(milliseconds);
}

void MonitorSection::setMaxCallTime(int seconds)
{
    m_monitor->setMaxCallTime(seconds);
}

void MonitorSection::startIdleTimers()
{
    for (int n = 1; n <= TDM::kChannels; ++n)
        m_dm->tTempoOciosoC(n)->start();
}

void MonitorSection::setCallMark(int channel, const QColor &colour)
{
    m_board->row(channel)->setCallMark(colour);
}

void MonitorSection::shutdown()
{
    m_poller1->shutdown();
    m_poller2->shutdown();
    m_tAtuaLabel->stop();
}

void MonitorSection::TAtuaLabelTimer()
{
    for (int n = 1; n <= ChannelBoard::kChannels; ++n)
        m_board->row(n)->colourStatus();
}

void MonitorSection::showChannel(int channel)
{
    m_board->row(channel)->show(m_monitor->channel(channel));
}
