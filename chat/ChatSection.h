#pragma once

#include <QColor>
#include <QObject>

class QLineEdit;
class QWidget;

// The supervisor chat as the main window sees it: the panel "Chat", the
// endpoint editor of the group "Canais", the listener and the alert.
class ChatSection final : public QObject
{
    Q_OBJECT

public:
    ChatSection(QWidget *parentWidget, QObject *parent = nullptr);

    QWidget *panel() const;
    // Fills the settings page's group "Canais".
    void buildEndpointEditor(QWidget *group);

    void setUserEditor(QLineEdit *edusuario);

    // Start-up read 12: the port of ChatServer.
    void setListenPort(quint16 port);
    bool activateServer();
    void shutdown();

Q_SIGNALS:
    void logMessage(const QString &message);
    void callMark(int channel, const QColor &colour);

private:
    QWidget *m_panel;
};
