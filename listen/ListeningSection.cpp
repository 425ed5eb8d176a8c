#include "listen/ListeningSection.h"

#include "app/TimeText.h"
#include "listen/AudioReceiver.h"
#include "listen/ConnectionPanel.h"
#include "listen/ControlRequest.h"
#include "listen/SpinningIndicator.h"
#include "listen/WavePlayer.h"
#include "settings/Conversions.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

int serverOf(int channel)
{
    return channel <= 20 ? 1 : 2;
}

int serverChannel(int channel)
{
    return channel <= 20 ? channel : channel - 20;
}

QString textOf(const QLineEdit *edit)
{
    return edit ? edit->text() : QString();
}

} // namespace

ListeningSection::ListeningSection(QWidget *parentWidget, QObject *parent)
    : QObject(parent)
    , m_panel(new ConnectionPanel(parentWidget))
    , m_request(new ControlRequest(this))
    , m_audio(new AudioReceiver(this))
    , m_player(new WavePlayer(this))
    , m_tConectado(new QTimer(this))
{
    m_tConectado->setObjectName(QStringLiteral("tConectado"));
    m_tConectado->setInterval(1000);
    connect(m_tConectado, &QTimer::timeout, this, &ListeningSection::tConectadoTimer);
    connect(m_panel->btDesconecta, &QPushButton::clicked, this,
            &ListeningSection::btDesconectaClick);
    connect(m_request, &ControlRequest::finished, this, &ListeningSection::onRequestFinished);
    connect(m_audio, &AudioReceiver::clipWritten, this, &ListeningSection::Play2);
}

QWidget *ListeningSection::panel() const
{
    return m_panel;
}

void ListeningSection::setEditors(QLineEdit *edusuario, QLineEdit *edtURL)
{
    m_edusuario = edusuario;
    m_edtURL = edtURL;
}

void ListeningSection::setProgramDirectory(const QString &directory)
{
    m_audio->setProgramDirectory(directory);
}

QString ListeningSection::tempAudioFile() const
{
    return m_audio->filePath();
}

void ListeningSection::setServerHost(int server, const QString &host)
{
    if (server == 1 || server == 2)
        m_hosts[server - 1] = host;
}

void ListeningSection::setServerPort(int server, quint16 port)
{
    if (server == 1 || server == 2)
        m_ports[server - 1] = port;
}

void ListeningSection::setConnected(bool connected)
{
    m_connected = connected;
}

bool ListeningSection::isConnected() const
{
    return m_connected;
}

void ListeningSection::setAudioPorts(quint16 port, quint16 port2)
{
    m_audio->setPorts(port, port2);
}

void ListeningSection::setReplyTimeout(int milliseconds)
{
    m_request->setTimeout(milliseconds);
}

bool ListeningSection::isRequestPending() const
{
    return m_pending != Pending::None;
}

void ListeningSection::ShowListeningState(const QString &channel, bool connected)
{
    if (connected) {
        m_panel->Roda->start();
        m_panel->lbUser->setText(textOf(m_edusuario));
        m_panel->lbCanalConect->setText(channel);
        m_panel->lbIP->setText(textOf(m_edtURL));
        Q_EMIT logMessage(QStringLiteral("Conectado ao Canal %1...").arg(channel));
        m_panel->lbConect->setText(QStringLiteral("Conectado"));
        m_tConectado->start();
        return;
    }
    m_connected = false;
    m_panel->Roda->stop();
    m_panel->lbUser->clear();
    m_panel->lbConect->setText(QStringLiteral("Desconectado"));
    m_panel->lbCanalConect->clear();
    m_panel->lbIP->clear();
    m_tConectado->stop();
    m_hours = m_minutes = m_seconds = 0;
    m_panel->lbTempoConect->setText(QStringLiteral("00:00:00"));
}

// A double-click while a listen or stop request still waits for its reply
// is ignored without a log line: the first request decides the state.
void ListeningSection::requestListen(int channel, const QString &statusText)
{
    if (m_pending != Pending::None || channel < 1 || channel > 40)
        return;
    if (statusText == QLatin1String("Desabilitado")) {
        Q_EMIT logMessage(QStringLiteral("O Canal %1 está desabilitado").arg(channel));
        return;
    }
    if (m_connected) {
        const QString connectedTo = m_panel->lbCanalConect->text();
        if (channel == 1)
            Q_EMIT logMessage(textOf(m_edusuario) + QStringLiteral(" você já esta conectado ao ")
                              + connectedTo);
        else
            Q_EMIT logMessage(QStringLiteral("Você já esta conectado ao ") + connectedTo);
        return;
    }
    m_pending = Pending::Listen;
    m_pendingChannel = channel;
    sendRequest(serverOf(channel), "ChamaCanal" + QByteArray::number(serverChannel(channel)));
}

void ListeningSection::btDesconectaClick()
{
    if (m_pending != Pending::None)
        return;
    if (!m_connected) {
        Q_EMIT logMessage(QStringLiteral("Você não esta conectado a nenhum canal."));
        return;
    }
    const QString text = m_panel->lbCanalConect->text();
    int channel = 0;
    if (!Conversions::tryInteger(text, &channel)) {
        Q_EMIT logMessage(
            QStringLiteral("Não é possível converter %1 para um valor inteiro").arg(text));
        return;
    }
    m_pending = Pending::Stop;
    m_pendingChannel = channel;
    if (channel <= 20)
        sendRequest(1, "DesligaC" + QByteArray::number(channel));
    else
        sendRequest(2, "DesligaC" + QByteArray::number(channel - 20));
}

void ListeningSection::sendRequest(int server, const QByteArray &message)
{
    m_request->send(m_hosts[server - 1], m_ports[server - 1], message);
}

void ListeningSection::onRequestFinished(bool ok, const QByteArray &reply)
{
    const Pending kind = m_pending;
    m_pending = Pending::None;
    if (kind == Pending::Listen)
        listenReplied(m_pendingChannel, ok, reply);
    else if (kind == Pending::Stop && !ok)
        Q_EMIT logMessage(QStringLiteral("Servidor não responde."));
    // The stop confirmation itself changes nothing: the status poll ends the listening.
    Q_EMIT requestFinished();
}

void ListeningSection::listenReplied(int channel, bool ok, const QByteArray &reply)
{
    const QString number = QString::number(channel);
    if (ok) {
        m_connected = true;
        ShowListeningState(number, true);
    } else {
        Q_EMIT logMessage(QStringLiteral("Servidor não responde."));
    }
    if (ok && reply == "DesligadoC" + QByteArray::number(serverChannel(channel))) {
        Q_EMIT logMessage(
            QStringLiteral("Não há nenhuma ligação corrente no Canal %1").arg(number));
        m_connected = false;
        ShowListeningState(number, false);
    }
}

void ListeningSection::tConectadoTimer()
{
    ++m_seconds;
    if (m_seconds == 60) {
        m_seconds = 0;
        ++m_minutes;
        if (m_minutes == 60) {
            m_minutes = 0;
            ++m_hours;
        }
    }
    const auto text = TimeText::formatCounter(m_hours, m_minutes, m_seconds);
    if (text)
        m_panel->lbTempoConect->setText(*text);
    else
        Q_EMIT logMessage(QStringLiteral("erro"));
}

void ListeningSection::setConnectionTime(int hours, int minutes, int seconds)
{
    m_hours = hours;
    m_minutes = minutes;
    m_seconds = seconds;
}

bool ListeningSection::activateAudio()
{
    return m_audio->activate();
}

void ListeningSection::shutdown()
{
    m_tConectado->stop();
    m_audio->deactivate();
    m_player->stop();
}

void ListeningSection::Play2(const QString &fileName)
{
    m_player->playFile(fileName);
}
