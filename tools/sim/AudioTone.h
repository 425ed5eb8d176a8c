#pragma once

#include <QByteArray>

// The simulated call audio: a beeping tone whose pitch tells the channel,
// coded as the recorder does it (WAVE, A-law, 8 kHz, mono, 8 bits).
namespace AudioTone {

constexpr int kSampleRate = 8000;

quint8 linearToAlaw(qint16 sample);

// A complete wave file of sampleCount samples of channel's tone, starting at
// sample firstSample of the call (so consecutive clips join up).
QByteArray waveClip(int channel, qint64 firstSample, int sampleCount);

} // namespace AudioTone
