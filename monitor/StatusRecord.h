#pragma once

#include <QByteArray>

// One channel's record of a status reply: the first four "|" fields, raw
// Windows-1252 bytes, since every comparison on them is byte for byte.
struct StatusRecord
{
    QByteArray name; // field 1
    QByteArray recording; // field 2: "-1" call, "0" idle
    QByteArray listening; // field 3: "SIM" / "NÃO"
    QByteArray activity; // field 4: "Desabilitado" / "SIM"

    // Record k (1..20) of a reply, cut at 0xA8 and then at "|".
    static StatusRecord fromReply(const QByteArray &reply, int k);
};
