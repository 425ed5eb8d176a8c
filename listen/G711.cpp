#include "listen/G711.h"

#include <array>

namespace {

constexpr qint16 expandAlaw(quint8 code)
{
    const int value = code ^ 0x55;
    const int segment = (value & 0x70) >> 4;
    int magnitude = (value & 0x0f) << 4;
    if (segment == 0)
        magnitude += 8;
    else
        magnitude = (magnitude + 0x108) << (segment - 1);
    return qint16((value & 0x80) ? magnitude : -magnitude);
}

constexpr qint16 expandUlaw(quint8 code)
{
    const int value = quint8(~code);
    const int magnitude = (((value & 0x0f) << 3) + 0x84) << ((value & 0x70) >> 4);
    return qint16((value & 0x80) ? 0x84 - magnitude : magnitude - 0x84);
}

template<qint16 (*Expand)(quint8)> constexpr std::array<qint16, 256> makeTable()
{
    std::array<qint16, 256> table {};
    for (int code = 0; code < 256; ++code)
        table[code] = Expand(quint8(code));
    return table;
}

constexpr auto kAlaw = makeTable<expandAlaw>();
constexpr auto kUlaw = makeTable<expandUlaw>();

} // namespace

namespace G711 {

qint16 alawToLinear(quint8 code)
{
    return kAlaw[code];
}

qint16 ulawToLinear(quint8 code)
{
    return kUlaw[code];
}

void decodeAlaw(const quint8 *codes, qsizetype count, qint16 *out)
{
    for (qsizetype i = 0; i < count; ++i)
        out[i] = kAlaw[codes[i]];
}

void decodeUlaw(const quint8 *codes, qsizetype count, qint16 *out)
{
    for (qsizetype i = 0; i < count; ++i)
        out[i] = kUlaw[codes[i]];
}

} // namespace G711
