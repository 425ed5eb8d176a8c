#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The texts exchanged with the agents' chat programs. Payloads are raw
// Windows-1252 bytes with no framing.
namespace ChatProtocol {

inline constexpr int kChannels = 40;
// Larger datagrams are not chat traffic and are dropped unread.
inline constexpr qsizetype kMaxDatagram = 8192;

// The channel (1..40) whose call this payload is, or 0 when it is any other
// text. Only the exact bytes count: no trimming, no case folding, no zeros.
int callChannel(const QByteArray &payload);
QByteArray callPayload(int channel);

QString alertText(int channel);

QByteArray messagePayload(const QString &name, const QString &message);
QByteArray endPayload();

// The lines an incoming chat text shows as; CR LF, CR and LF each break.
QStringList linesOf(const QByteArray &payload);

QString channelItem(int channel);

} // namespace ChatProtocol
