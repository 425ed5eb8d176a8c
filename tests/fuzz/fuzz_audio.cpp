// An audio datagram as the recorder streams it: a whole wave file, parsed
// and expanded to 16-bit samples. Checks that what is played is what the
// header announces, whole frames only, and that each G.711 code expands
// symmetrically about zero.
#include "FuzzCheck.h"
#include "listen/G711.h"
#include "listen/WaveFile.h"

namespace {

// The smallest wave file with a sample: RIFF/WAVE, an "fmt " chunk of 16
// bytes, a "data" chunk header.
constexpr qsizetype kMinHeader = 12 + 8 + 16 + 8;

void checkSamples(const WaveFile::Clip &clip, const QByteArray &pcm)
{
    const auto *codes = reinterpret_cast<const quint8 *>(clip.data.constData());
    const auto *samples = reinterpret_cast<const qint16 *>(pcm.constData());
    const qsizetype count = pcm.size() / 2;
    for (qsizetype i = 0; i < count; ++i) {
        switch (clip.encoding) {
        case WaveFile::Encoding::Alaw:
            // The sign bit alone flips the sign; no code is silent.
            FUZZ_CHECK(samples[i] != 0);
            FUZZ_CHECK(G711::alawToLinear(codes[i] ^ 0x80) == -samples[i]);
            break;
        case WaveFile::Encoding::Ulaw:
            FUZZ_CHECK(G711::ulawToLinear(codes[i] ^ 0x80) == -samples[i]);
            break;
        case WaveFile::Encoding::Pcm8:
            FUZZ_CHECK(samples[i] == qint16((codes[i] - 128) * 256));
            break;
        case WaveFile::Encoding::Pcm16:
            FUZZ_CHECK(samples[i] == qint16(codes[2 * i] | (codes[2 * i + 1] << 8)));
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto clip = WaveFile::parse(bytes);
    if (!clip)
        return 0;

    FUZZ_CHECK(bytes.size() >= kMinHeader);
    FUZZ_CHECK(clip->channels >= 1 && clip->channels <= WaveFile::kMaxChannels);
    FUZZ_CHECK(clip->sampleRate >= WaveFile::kMinSampleRate
               && clip->sampleRate <= WaveFile::kMaxSampleRate);
    const qsizetype frame = WaveFile::bytesPerSample(clip->encoding) * clip->channels;
    FUZZ_CHECK(!clip->data.isEmpty() && clip->data.size() % frame == 0);
    FUZZ_CHECK(clip->data.size() <= bytes.size() - kMinHeader);
    FUZZ_CHECK(bytes.contains(clip->data));

    const QByteArray pcm = WaveFile::toPcm16(*clip);
    FUZZ_CHECK(pcm.size()
               == clip->data.size() / WaveFile::bytesPerSample(clip->encoding) * qsizetype(2));
    checkSamples(*clip, pcm);
    return 0;
}
