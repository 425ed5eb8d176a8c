#pragma once

#include <QObject>
#include <QProcess>

// The project's recorder simulator as a test peer: started on free ports,
// scripted through its standard input.
class SimPeer final : public QObject
{
    Q_OBJECT

public:
    explicit SimPeer(QObject *parent = nullptr);
    ~SimPeer() override;

    // Starts vorlan-sim and waits until it reports its status ports.
    bool start(const QStringList &extraArguments = {});
    void command(const QString &line);
    quint16 statusPort(int server) const { return server == 1 ? m_port1 : m_port2; }

private:
    QProcess m_process;
    QByteArray m_output;
    quint16 m_port1 = 0;
    quint16 m_port2 = 0;
};
