#include "SimPeer.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

SimPeer::SimPeer(QObject *parent)
    : QObject(parent)
{
}

SimPeer::~SimPeer()
{
    if (m_process.state() != QProcess::NotRunning) {
        command(QStringLiteral("quit"));
        if (!m_process.waitForFinished(2000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool SimPeer::start(const QStringList &extraArguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QString::fromUtf8(VORLAN_SIM_PATH),
                    // Free ports for every service, so parallel tests never collide.
                    QStringList { QStringLiteral("--status-port"), QStringLiteral("0"),
                                  QStringLiteral("--status-port2"), QStringLiteral("0"),
                                  QStringLiteral("--listen-port"), QStringLiteral("0"),
                                  QStringLiteral("--listen-port2"), QStringLiteral("0"),
                                  QStringLiteral("--agent-base-port"), QStringLiteral("0") }
                        + extraArguments);
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(100);
        m_output += m_process.readAllStandardOutput();
        for (const QByteArray &line : m_output.split('\n')) {
            const QList<QByteArray> words = line.trimmed().split(' ');
            if (words.size() == 3 && words.at(0) == "status-ports") {
                m_port1 = quint16(words.at(1).toUInt());
                m_port2 = quint16(words.at(2).toUInt());
                return m_port1 != 0 && m_port2 != 0;
            }
        }
    }
    return false;
}

void SimPeer::command(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
}
