#pragma once

#include <QByteArray>
#include <QList>

class QRandomGenerator;

// Pools of hostile datagrams for the floods, drawn from a fixed seed so that
// a failure can be replayed: random bytes of every size up to the largest
// datagram UDP carries, and texts shaped like the real traffic but wrong.
namespace Garbage {

constexpr qsizetype kLargestDatagram = 65507;

QByteArray randomBytes(QRandomGenerator &rng, qsizetype size);

// Wave files streamed by the recorder: random and oversized datagrams, and
// headers with every field set at random.
QList<QByteArray> audioPool(quint32 seed, int count);
// Chat lines: random and oversized datagrams, calls of channels that do not
// exist, walls of line breaks.
QList<QByteArray> chatPool(quint32 seed, int count);
// Status replies: random and oversized datagrams, records and fields cut at
// random, runs of separators, empty datagrams.
QList<QByteArray> statusPool(quint32 seed, int count);

} // namespace Garbage
