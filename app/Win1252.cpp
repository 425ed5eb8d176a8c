#include "app/Win1252.h"

#include <array>

namespace {

// 0x80-0x9F; the five bytes Windows leaves undefined map to the C1 control
// of the same value, as MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < int(kHighTable.size()); ++i) {
        if (kHighTable[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

namespace Win1252 {

QString decode(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kHighTable[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray encode(const QString &text, bool *ok)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool all = true;
    for (const QChar ch : text) {
        const int b = encodeChar(ch.unicode());
        if (b < 0) {
            all = false;
            bytes.append('?');
        } else {
            bytes.append(char(b));
        }
    }
    if (ok)
        *ok = all;
    return bytes;
}

} // namespace Win1252
