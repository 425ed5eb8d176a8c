#pragma once

#include <QObject>
#include <QString>

class AudioReceiver;
class ConnectionPanel;
class ControlRequest;
class QLineEdit;
class QTimer;
class QWidget;
class WavePlayer;

// Live listening as the main window sees it: the panel "Status da Conexão",
// the listen/stop requests and the two audio listeners.
class ListeningSection final : public QObject
{
    Q_OBJECT

public:
    ListeningSection(QWidget *parentWidget, QObject *parent = nullptr);

    QWidget *panel() const;

    // The settings page's editors read at the moment of connecting.
    void setEditors(QLineEdit *edusuario, QLineEdit *edtURL);
    void setProgramDirectory(const QString &directory);

    // Start-up reads 6-9: UDPClient (server 1) and UDPClient2 (server 2).
    void setServerHost(int server, const QString &host);
    void setServerPort(int server, quint16 port);

    void setConnected(bool connected);
    bool isConnected() const;
    void ShowListeningState(const QString &channel, bool connected);

    // The row double-click; statusText is the row's status label.
    void requestListen(int channel, const QString &statusText);

    // UDPAudio (8501) then UDPAudio2 (8601); false at the first that fails.
    bool activateAudio();
    void shutdown();

    // The listeners' ports are fixed in production; tests use free ones.
    void setAudioPorts(quint16 port, quint16 port2);
    // The bounded wait of a listen or stop request.
    void setReplyTimeout(int milliseconds);
    bool isRequestPending() const;

    // The stop request of btDesconecta.
    void btDesconectaClick();
    // One tick of tConectado; the counters are settable for tests.
    void tConectadoTimer();
    void setConnectionTime(int hours, int minutes, int seconds);
    QTimer *connectionTimer() const { return m_tConectado; }

    // Plays a wave file at once, cutting off the one still playing.
    void Play2(const QString &fileName);
    QString tempAudioFile() const;

    AudioReceiver *audioReceiver() const { return m_audio; }
    WavePlayer *player() const { return m_player; }

Q_SIGNALS:
    void logMessage(const QString &message);
    // A listen or stop exchange has been handled (for tests and tools).
    void requestFinished();

private:
    enum class Pending { None, Listen, Stop };

    void listenReplied(int channel, bool ok, const QByteArray &reply);
    void sendRequest(int server, const QByteArray &message);
    void onRequestFinished(bool ok, const QByteArray &reply);

    ConnectionPanel *m_panel;
    ControlRequest *m_request;
    AudioReceiver *m_audio;
    WavePlayer *m_player;
    QTimer *m_tConectado;
    QLineEdit *m_edusuario = nullptr;
    QLineEdit *m_edtURL = nullptr;
    QString m_hosts[2];
    quint16 m_ports[2] = { 0, 0 };
    bool m_connected = false;
    Pending m_pending = Pending::None;
    int m_pendingChannel = 0;
    int m_hours = 0;
    int m_minutes = 0;
    int m_seconds = 0;
};
