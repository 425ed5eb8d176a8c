#include "chat/ChatSection.h"

#include <QLabel>

// Placeholder until the chat lands.
ChatSection::ChatSection(QWidget *parentWidget, QObject *parent)
    : QObject(parent)
    , m_panel(new QLabel(QStringLiteral("Chat"), parentWidget))
{
}

QWidget *ChatSection::panel() const { return m_panel; }
void ChatSection::buildEndpointEditor(QWidget *) { }
void ChatSection::setUserEditor(QLineEdit *) { }
void ChatSection::setListenPort(quint16) { }
bool ChatSection::activateServer() { return true; }
void ChatSection::shutdown() { }
