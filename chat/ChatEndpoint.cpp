#include "chat/ChatEndpoint.h"

#include "settings/Conversions.h"
#include "settings/SettingsStore.h"

QString ChatEndpoint::addressName(int channel)
{
    return QStringLiteral("IPChatC%1").arg(channel);
}

QString ChatEndpoint::portName(int channel)
{
    return QStringLiteral("PortaChatC%1").arg(channel);
}

ChatEndpoint ChatEndpoint::read(int channel)
{
    const SettingsStore store;
    ChatEndpoint endpoint;
    endpoint.address = store.read(addressName(channel));
    endpoint.port = store.read(portName(channel));
    return endpoint;
}

int ChatEndpoint::portNumber() const
{
    return Conversions::toInteger(port);
}
