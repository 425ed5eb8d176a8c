#pragma once

#include "listen/G711.h"

#include <QByteArray>
#include <QtEndian>
#include <cmath>

// Builds wave files byte by byte for the tests, so that every field can be
// set to a wrong value on purpose.
namespace WaveBuilder {

inline QByteArray le32(quint32 value)
{
    QByteArray bytes(4, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

inline QByteArray le16(quint16 value)
{
    QByteArray bytes(2, Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

inline QByteArray chunk(const QByteArray &id, const QByteArray &body, qint64 declared = -1)
{
    QByteArray bytes = id + le32(quint32(declared < 0 ? body.size() : declared)) + body;
    if (body.size() % 2)
        bytes += '\0';
    return bytes;
}

inline QByteArray fmt(quint16 tag, quint16 channels, quint32 rate, quint16 bits)
{
    const quint16 align = quint16(channels * ((bits + 7) / 8));
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}

inline QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

// A-law 8 kHz mono, as the recorder streams it.
inline QByteArray alaw(const QByteArray &samples)
{
    return riff(chunk("fmt ", fmt(6, 1, 8000, 8)) + chunk("data", samples));
}

// A wave file of exactly size bytes (size >= 44): an odd data chunk ends
// the file without its pad byte, as streamed files often do.
inline QByteArray alawOfSize(qsizetype size, char fill = char(0xD5))
{
    QByteArray bytes = alaw(QByteArray(size - 44, fill));
    bytes.truncate(size);
    return bytes;
}

// The A-law code whose decoded value lies closest to sample.
inline char nearestAlaw(qint16 sample)
{
    int best = 0;
    for (int code = 1; code < 256; ++code) {
        if (std::abs(G711::alawToLinear(quint8(code)) - sample)
            < std::abs(G711::alawToLinear(quint8(best)) - sample))
            best = code;
    }
    return char(best);
}

// An A-law clip of a steady sine tone, to be told apart from other tones
// in a recording of what was played.
inline QByteArray alawTone(double hz, int milliseconds, double amplitude = 8000.0)
{
    const int count = milliseconds * 8;
    QByteArray codes(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        codes[i] = nearestAlaw(qint16(amplitude * std::sin(2.0 * M_PI * hz * i / 8000.0)));
    return alaw(codes);
}

} // namespace WaveBuilder
