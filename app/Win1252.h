#pragma once

#include <QByteArray>
#include <QString>

// The recorder, the agents' chat programs and the stored files all speak
// 8-bit Windows-1252. Latin-1 differs in 0x80-0x9F, so it cannot stand in.
namespace Win1252 {

QString decode(const QByteArray &bytes);

// Characters without a Windows-1252 byte become '?'; ok (when given) tells
// whether every character could be encoded.
QByteArray encode(const QString &text, bool *ok = nullptr);

} // namespace Win1252
