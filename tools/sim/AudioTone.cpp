#include "tools/sim/AudioTone.h"

#include "archive/WaveRepair.h"

#include <cmath>

namespace AudioTone {

quint8 linearToAlaw(qint16 sample)
{
    int value = sample >> 3; // 13-bit magnitude
    int mask = 0xD5;
    if (value < 0) {
        mask = 0x55;
        value = -value - 1;
    }
    static constexpr int kSegmentEnds[8] = { 0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF };
    int segment = 0;
    while (segment < 8 && value > kSegmentEnds[segment])
        ++segment;
    if (segment >= 8)
        return quint8(0x7F ^ mask);
    int code = segment << 4;
    code |= segment < 2 ? (value >> 1) & 0x0F : (value >> segment) & 0x0F;
    return quint8(code ^ mask);
}

QByteArray waveClip(int channel, qint64 firstSample, int sampleCount)
{
    // Room for the header, which the recordings' own header writer fills in.
    QByteArray bytes(44, '\0');
    bytes.reserve(44 + sampleCount);

    // 400 ms of tone, 200 ms of silence; the pitch rises with the channel.
    const double frequency = 300.0 + 20.0 * channel;
    for (int i = 0; i < sampleCount; ++i) {
        const qint64 n = firstSample + i;
        const bool on = (n % (kSampleRate * 6 / 10)) < kSampleRate * 4 / 10;
        const double value
            = on ? 8000.0 * std::sin(2.0 * M_PI * frequency * double(n) / kSampleRate) : 0.0;
        bytes.append(char(linearToAlaw(qint16(value))));
    }
    return WaveRepair::repaired(bytes);
}

} // namespace AudioTone
