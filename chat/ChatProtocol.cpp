#include "chat/ChatProtocol.h"

#include "app/Win1252.h"

#include <QRegularExpression>

namespace ChatProtocol {

int callChannel(const QByteArray &payload)
{
    for (int n = 1; n <= kChannels; ++n) {
        if (payload == callPayload(n))
            return n;
    }
    return 0;
}

QByteArray callPayload(int channel)
{
    return QByteArrayLiteral("CHAMADA DO Canal ") + QByteArray::number(channel);
}

QString alertText(int channel)
{
    return QStringLiteral("O Usuário do Canal %1 esta <br> chamando.").arg(channel);
}

QByteArray messagePayload(const QString &name, const QString &message)
{
    return Win1252::encode(name + QStringLiteral(" DIZ:") + message);
}

QByteArray endPayload()
{
    return QByteArrayLiteral("ENCERRAR");
}

QStringList linesOf(const QByteArray &payload)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return Win1252::decode(payload).split(lineBreak);
}

QString channelItem(int channel)
{
    return QStringLiteral("Canal %1").arg(channel);
}

} // namespace ChatProtocol
