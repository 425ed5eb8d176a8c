#pragma once

#include <QByteArray>
#include <optional>

// A RIFF/WAVE file as it arrives from the recorder: its format and the bytes
// of its data chunk. Pure functions on untrusted bytes, no widgets, no audio.
namespace WaveFile {

enum class Encoding { Pcm8, Pcm16, Alaw, Ulaw };

struct Clip
{
    Encoding encoding = Encoding::Alaw;
    int channels = 1;
    int sampleRate = 8000;
    QByteArray data; // whole frames only
};

// Limits of what we are willing to play.
constexpr int kMaxChannels = 8;
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 192000;

// The clip of a wave file, or nothing when the bytes are no playable wave
// (no RIFF/WAVE header, no "fmt " or "data" chunk, an unsupported coding, no
// whole frame). A data chunk whose size runs past the end of the file is cut
// to the bytes present: streamed and repaired files often carry a wrong size.
std::optional<Clip> parse(const QByteArray &bytes);

// The clip's samples as interleaved signed 16-bit native-endian PCM.
QByteArray toPcm16(const Clip &clip);

int bytesPerSample(Encoding encoding);

} // namespace WaveFile
