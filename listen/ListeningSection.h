#pragma once

#include <QObject>
#include <QString>

class QLineEdit;
class QWidget;

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

Q_SIGNALS:
    void logMessage(const QString &message);

private:
    QWidget *m_panel;
    bool m_connected = false;
};
