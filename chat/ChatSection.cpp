#include "chat/ChatSection.h"

#include "chat/AlertWindow.h"
#include "chat/ChatClient.h"
#include "chat/ChatEndpointEditor.h"
#include "chat/ChatPanel.h"
#include "chat/ChatProtocol.h"
#include "chat/ChatServer.h"
#include "chat/ChatTranscript.h"

#include <QLayout>
#include <QLoggingCategory>
#include <QVBoxLayout>
#include <exception>

Q_LOGGING_CATEGORY(lcChat, "vorlan.chat")

ChatSection::ChatSection(QWidget *parentWidget, QObject *parent)
    : QObject(parent)
    , m_panel(new ChatPanel(parentWidget))
    , m_server(new ChatServer(this))
    , m_alert(std::make_unique<AlertWindow>())
{
    connect(m_panel, &ChatPanel::logMessage, this, &ChatSection::logMessage);
    connect(m_panel, &ChatPanel::callMark, this, &ChatSection::callMark);
    connect(m_server, &ChatServer::datagramReceived, this, &ChatSection::ChatServerUDPRead);
}

ChatSection::~ChatSection() = default;

QWidget *ChatSection::panel() const
{
    return m_panel;
}

void ChatSection::buildEndpointEditor(QWidget *group)
{
    m_editor = new ChatEndpointEditor(group);
    QLayout *layout = group->layout();
    if (!layout)
        layout = new QVBoxLayout(group);
    layout->addWidget(m_editor);
}

void ChatSection::setUserEditor(QLineEdit *edusuario)
{
    m_panel->setUserEditor(edusuario);
}

void ChatSection::setListenPort(quint16 port)
{
    m_server->setPort(port);
}

bool ChatSection::activateServer()
{
    return m_server->activate();
}

void ChatSection::shutdown()
{
    m_server->deactivate();
    m_panel->client()->close();
    m_alert->hide();
}

void ChatSection::ChatServerUDPRead(const QByteArray &payload)
{
    // A failure here must not stop the listener: it is dropped, not reported.
    try {
        if (const int channel = ChatProtocol::callChannel(payload)) {
            m_alert->setText(ChatProtocol::alertText(channel));
            m_alert->showAlert();
            Q_EMIT callMark(channel, QColor(255, 0, 0));
            return;
        }
        m_panel->transcript()->append(ChatProtocol::linesOf(payload));
    } catch (const std::exception &e) {
        qCWarning(lcChat) << "datagram dropped:" << e.what();
    }
}
