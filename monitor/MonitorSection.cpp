#include "monitor/MonitorSection.h"

#include "monitor/TDM.h"

#include <QColor>
#include <QLabel>
#include <QTimer>
#include <QWidget>

// Placeholder until the channel board lands: keeps the start-up order intact.
MonitorSection::MonitorSection(TDM *dm, QWidget *parentWidget, QObject *parent)
    : QObject(parent)
    , m_dm(dm)
    , m_board(new QLabel(QStringLiteral("ChannelBoard"), parentWidget))
    , m_alarmPanel(new QWidget(parentWidget))
    , m_timerStatus(new QTimer(this))
    , m_timerStatus2(new QTimer(this))
    , m_tAtuaLabel(new QTimer(this))
{
    m_timerStatus->setObjectName(QStringLiteral("TimerStatus"));
    m_timerStatus->setInterval(400);
    m_timerStatus2->setObjectName(QStringLiteral("TimerStatus2"));
    m_timerStatus2->setInterval(200);
    m_tAtuaLabel->setObjectName(QStringLiteral("TAtuaLabel"));
    m_tAtuaLabel->setInterval(150);
}

QWidget *MonitorSection::board() const { return m_board; }
QWidget *MonitorSection::alarmPanel() const { return m_alarmPanel; }
QString MonitorSection::statusText(int) const { return QStringLiteral("Aguardando"); }
QTimer *MonitorSection::timerStatus() const { return m_timerStatus; }
QTimer *MonitorSection::timerStatus2() const { return m_timerStatus2; }
QTimer *MonitorSection::tAtuaLabel() const { return m_tAtuaLabel; }
void MonitorSection::setStatusEndpoint(int, const QString &, quint16) { }
void MonitorSection::loadHabTempoMax(bool) { }
void MonitorSection::loadHabTempoOcioso(bool) { }
void MonitorSection::loadTempoMax(const QString &) { }
void MonitorSection::loadTempoOcioso(const QString &) { }
bool MonitorSection::idleAlarmChecked() const { return false; }
void MonitorSection::setIdleInterval(int, int) { }
void MonitorSection::setMaxCallTime(int) { }
void MonitorSection::startIdleTimers() { }
void MonitorSection::setCallMark(int, const QColor &) { }
void MonitorSection::shutdown() { m_timerStatus->stop(); }
