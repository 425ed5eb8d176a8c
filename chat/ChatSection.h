#pragma once

#include <QColor>
#include <QObject>
#include <memory>

class AlertWindow;
class ChatEndpointEditor;
class ChatPanel;
class ChatServer;
class QLineEdit;
class QWidget;

// The supervisor chat as the main window sees it: the panel "Chat", the
// endpoint editor of the group "Canais", the listener and the alert.
class ChatSection final : public QObject
{
    Q_OBJECT

public:
    ChatSection(QWidget *parentWidget, QObject *parent = nullptr);
    ~ChatSection() override;

    QWidget *panel() const;
    // Fills the settings page's group "Canais".
    void buildEndpointEditor(QWidget *group);

    void setUserEditor(QLineEdit *edusuario);

    // Start-up read 12: the port of ChatServer.
    void setListenPort(quint16 port);
    bool activateServer();
    void shutdown();

    // The parts, for tests and for a closer look.
    ChatPanel *chatPanel() const { return m_panel; }
    ChatEndpointEditor *endpointEditor() const { return m_editor; }
    ChatServer *server() const { return m_server; }
    AlertWindow *alert() const { return m_alert.get(); }

    // An agent's datagram: a call raises the alert and marks the row red,
    // anything else is a line of the chat view.
    void ChatServerUDPRead(const QByteArray &payload);

Q_SIGNALS:
    void logMessage(const QString &message);
    void callMark(int channel, const QColor &colour);

private:
    ChatPanel *m_panel;
    ChatEndpointEditor *m_editor = nullptr;
    ChatServer *m_server;
    // A top-level window of its own, without a parent: it must come up even
    // while the main window is hidden in the tray.
    std::unique_ptr<AlertWindow> m_alert;
};
