#include "Garbage.h"

#include <QRandomGenerator>
#include <QtEndian>

namespace Garbage {

namespace {

qsizetype between(QRandomGenerator &rng, qsizetype low, qsizetype high)
{
    return low + qsizetype(rng.bounded(quint32(high - low + 1)));
}

QByteArray oversized(QRandomGenerator &rng, qsizetype limit)
{
    return randomBytes(rng, between(rng, limit + 1, kLargestDatagram));
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, Qt::Uninitialized);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le16(quint16 v)
{
    QByteArray b(2, Qt::Uninitialized);
    qToLittleEndian(v, b.data());
    return b;
}

// A RIFF/WAVE file whose sizes, coding, channels, rate and bits are drawn at
// random, and which may end anywhere.
QByteArray wildWave(QRandomGenerator &rng)
{
    const quint16 tags[] = { 1, 3, 6, 7, 0, 0xFFFE, quint16(rng.generate()) };
    const quint16 channels[] = { 0, 1, 2, 8, 9, 0xFFFF };
    const quint32 rates[] = { 0, 1, 999, 8000, 192001, 0xFFFFFFFFu };
    const quint16 bits[] = { 0, 4, 8, 16, 24, 0xFFFF };
    const QByteArray fmt = le16(tags[rng.bounded(7)]) + le16(channels[rng.bounded(6)])
        + le32(rates[rng.bounded(6)]) + le32(rng.generate()) + le16(quint16(rng.generate()))
        + le16(bits[rng.bounded(6)]);
    const quint32 declared = rng.bounded(3) == 0 ? 0xFFFFFFFFu : rng.bounded(50000u);
    const QByteArray data = randomBytes(rng, between(rng, 0, 40000));
    QByteArray wave = "RIFF" + le32(rng.generate()) + "WAVE" + "fmt " + le32(rng.bounded(40u)) + fmt
        + "data" + le32(declared) + data;
    if (rng.bounded(2))
        wave.truncate(between(rng, 0, wave.size()));
    return wave;
}

QByteArray separators(QRandomGenerator &rng, qsizetype size)
{
    static const char alphabet[] = { '|', '\xA8', '-', '1', '0', 'S', 'I', 'M', '\0' };
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = alphabet[rng.bounded(int(sizeof alphabet))];
    return bytes;
}

QByteArray wildReply(QRandomGenerator &rng)
{
    const QByteArray fields[] = { "-1",           "0", "SIM", QByteArray("N\xC3O", 4),
                                  "Desabilitado", "",  "-1x", "9999999999999999999" };
    QByteArray reply;
    const int records = int(between(rng, 0, 60));
    for (int r = 0; r < records; ++r) {
        if (r)
            reply += '\xA8';
        reply += randomBytes(rng, between(rng, 0, 30)).replace('\xA8', 'x').replace('|', 'y');
        const int count = int(between(rng, 0, 9));
        for (int f = 0; f < count; ++f)
            reply += '|' + fields[rng.bounded(8)];
    }
    return reply.left(8192);
}

QByteArray lineBreaks(QRandomGenerator &rng, qsizetype size)
{
    static const char *const breaks[] = { "\r\n", "\r", "\n" };
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += breaks[rng.bounded(3)];
    return bytes.left(size);
}

} // namespace

QByteArray randomBytes(QRandomGenerator &rng, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(rng.bounded(256));
    return bytes;
}

QList<QByteArray> audioPool(quint32 seed, int count)
{
    QRandomGenerator rng(seed);
    QList<QByteArray> pool;
    for (int i = 0; i < count; ++i) {
        switch (i % 4) {
        case 0:
            pool.append(randomBytes(rng, between(rng, 0, 47803)));
            break;
        case 1:
            pool.append(oversized(rng, 47803));
            break;
        default:
            pool.append(wildWave(rng));
        }
    }
    return pool;
}

QList<QByteArray> chatPool(quint32 seed, int count)
{
    QRandomGenerator rng(seed);
    QList<QByteArray> pool;
    for (int i = 0; i < count; ++i) {
        switch (i % 6) {
        case 0:
        case 1:
            pool.append(randomBytes(rng, between(rng, 0, 8192)));
            break;
        case 2:
            pool.append(oversized(rng, 8192));
            break;
        case 3:
            pool.append("CHAMADA DO Canal " + QByteArray::number(rng.bounded(100)));
            break;
        case 4:
            pool.append(lineBreaks(rng, between(rng, 1, 8192)));
            break;
        default:
            pool.append(randomBytes(rng, between(rng, 0, 64)));
        }
    }
    return pool;
}

QList<QByteArray> statusPool(quint32 seed, int count)
{
    QRandomGenerator rng(seed);
    QList<QByteArray> pool;
    for (int i = 0; i < count; ++i) {
        switch (i % 6) {
        case 0:
            pool.append(randomBytes(rng, between(rng, 0, 8192)));
            break;
        case 1:
            pool.append(oversized(rng, 8192));
            break;
        case 2:
            pool.append(separators(rng, between(rng, 1, 8192)));
            break;
        case 3:
            pool.append(QByteArray());
            break;
        default:
            pool.append(wildReply(rng));
        }
    }
    return pool;
}

} // namespace Garbage
