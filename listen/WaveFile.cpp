#include "listen/WaveFile.h"

#include "listen/G711.h"

#include <QtEndian>
#include <cstring>

namespace {

quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

struct Format
{
    quint16 tag = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 bitsPerSample = 0;
};

std::optional<WaveFile::Encoding> encodingOf(const Format &format)
{
    switch (format.tag) {
    case 1:
        if (format.bitsPerSample == 8)
            return WaveFile::Encoding::Pcm8;
        if (format.bitsPerSample == 16)
            return WaveFile::Encoding::Pcm16;
        return std::nullopt;
    case 6:
        return format.bitsPerSample == 8 ? std::optional(WaveFile::Encoding::Alaw) : std::nullopt;
    case 7:
        return format.bitsPerSample == 8 ? std::optional(WaveFile::Encoding::Ulaw) : std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace

namespace WaveFile {

int bytesPerSample(Encoding encoding)
{
    return encoding == Encoding::Pcm16 ? 2 : 1;
}

std::optional<Clip> parse(const QByteArray &bytes)
{
    const qint64 size = bytes.size();
    const char *base = bytes.constData();
    if (size < 12 || std::memcmp(base, "RIFF", 4) != 0 || std::memcmp(base + 8, "WAVE", 4) != 0)
        return std::nullopt;

    std::optional<Format> format;
    qint64 dataOffset = -1;
    qint64 dataSize = 0;
    // The RIFF size is not trusted: chunks are walked up to the real end.
    qint64 pos = 12;
    while (pos + 8 <= size) {
        const char *header = base + pos;
        const qint64 chunkSize = le32(header + 4);
        const qint64 body = pos + 8;
        const qint64 available = size - body;
        if (std::memcmp(header, "fmt ", 4) == 0 && !format) {
            if (chunkSize < 16 || available < 16)
                return std::nullopt;
            Format f;
            f.tag = le16(base + body);
            f.channels = le16(base + body + 2);
            f.sampleRate = le32(base + body + 4);
            f.bitsPerSample = le16(base + body + 14);
            format = f;
        } else if (std::memcmp(header, "data", 4) == 0) {
            dataOffset = body;
            dataSize = qMin(chunkSize, available);
            break;
        }
        pos = body + chunkSize + (chunkSize & 1);
    }
    if (!format || dataOffset < 0)
        return std::nullopt;

    const auto encoding = encodingOf(*format);
    if (!encoding || format->channels < 1 || format->channels > kMaxChannels
        || format->sampleRate < quint32(kMinSampleRate)
        || format->sampleRate > quint32(kMaxSampleRate))
        return std::nullopt;

    const qint64 frameBytes = qint64(bytesPerSample(*encoding)) * format->channels;
    const qint64 wholeBytes = dataSize - dataSize % frameBytes;
    if (wholeBytes <= 0)
        return std::nullopt;

    Clip clip;
    clip.encoding = *encoding;
    clip.channels = format->channels;
    clip.sampleRate = int(format->sampleRate);
    clip.data = bytes.mid(dataOffset, wholeBytes);
    return clip;
}

QByteArray toPcm16(const Clip &clip)
{
    const qsizetype samples = clip.data.size() / bytesPerSample(clip.encoding);
    QByteArray pcm(samples * qsizetype(sizeof(qint16)), Qt::Uninitialized);
    auto *out = reinterpret_cast<qint16 *>(pcm.data());
    const auto *in = reinterpret_cast<const quint8 *>(clip.data.constData());
    switch (clip.encoding) {
    case Encoding::Alaw:
        G711::decodeAlaw(in, samples, out);
        break;
    case Encoding::Ulaw:
        G711::decodeUlaw(in, samples, out);
        break;
    case Encoding::Pcm8:
        for (qsizetype i = 0; i < samples; ++i)
            out[i] = qint16((int(in[i]) - 128) << 8);
        break;
    case Encoding::Pcm16:
        for (qsizetype i = 0; i < samples; ++i)
            out[i] = qFromLittleEndian<qint16>(in + 2 * i);
        break;
    }
    return pcm;
}

} // namespace WaveFile
