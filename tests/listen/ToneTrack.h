#pragma once

#include <QList>
#include <QtGlobal>
#include <cmath>
#include <vector>

// Reads a recording of what the sound device played (16-bit mono) as a
// sequence of spans, each one of the known test tones or silence, so that
// the tests and the benchmark can tell where a clip was heard, whether it
// was heard whole and when an old clip fell silent.
namespace ToneTrack {

struct Span
{
    int tone = -1; // index into the tones asked for; -1 silence or other sound
    qint64 first = 0; // first sample of the span
    qint64 end = 0; // one past its last sample
    qint64 length() const { return end - first; }
};

constexpr int kWindow = 40; // 5 ms at 8 kHz
constexpr int kHop = 8; // 1 ms

// Power of one frequency in a window (Goertzel), scaled to the square of a
// sine's amplitude.
inline double tonePower(const qint16 *samples, int count, double hz, int rate)
{
    const double coefficient = 2.0 * std::cos(2.0 * M_PI * hz / rate);
    double s1 = 0;
    double s2 = 0;
    for (int i = 0; i < count; ++i) {
        const double s0 = samples[i] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 4.0 * power / (double(count) * count);
}

// Which tone each 1 ms step is centred in: the one holding most of the
// window's energy, when the window is loud enough to count at all.
inline std::vector<int> classify(const std::vector<qint16> &samples, const QList<double> &tones,
                                 int rate = 8000, double minAmplitude = 1000.0)
{
    std::vector<int> steps;
    for (size_t at = 0; at + kWindow <= samples.size(); at += kHop) {
        const qint16 *window = samples.data() + at;
        double energy = 0;
        for (int i = 0; i < kWindow; ++i)
            energy += double(window[i]) * window[i];
        const double meanSquare = energy / kWindow; // a sine's is amplitude^2 / 2
        int best = -1;
        if (meanSquare * 2.0 >= minAmplitude * minAmplitude) {
            double bestPower = 0;
            for (qsizetype t = 0; t < tones.size(); ++t) {
                const double power = tonePower(window, kWindow, tones.at(t), rate);
                if (power > bestPower) {
                    bestPower = power;
                    best = int(t);
                }
            }
            // A tone must carry most of the energy; a mix or a click is "other".
            if (bestPower < meanSquare)
                best = -1;
        }
        steps.push_back(best);
    }
    return steps;
}

// Spans of equal classification in sample units; a step stands for the
// kHop samples at its window's centre.
inline QList<Span> spans(const std::vector<qint16> &samples, const QList<double> &tones,
                         int rate = 8000)
{
    const std::vector<int> steps = classify(samples, tones, rate);
    QList<Span> result;
    const qint64 centre = kWindow / 2 - kHop / 2;
    for (size_t i = 0; i < steps.size(); ++i) {
        const qint64 from = qint64(i) * kHop + centre;
        if (!result.isEmpty() && result.last().tone == steps[i]) {
            result.last().end = from + kHop;
            continue;
        }
        result.append({ steps[i], from, from + kHop });
    }
    return result;
}

// The spans of the recording from sample from on, in sample numbers of the
// whole recording.
inline QList<Span> spansFrom(const std::vector<qint16> &samples, qint64 from,
                             const QList<double> &tones, int rate = 8000)
{
    from = qBound<qint64>(0, from, qint64(samples.size()));
    const std::vector<qint16> tail(samples.begin() + from, samples.end());
    QList<Span> result = spans(tail, tones, rate);
    for (Span &span : result) {
        span.first += from;
        span.end += from;
    }
    return result;
}

// The spans of one tone, with gaps shorter than bridge samples (the blur at
// a boundary) closed.
inline QList<Span> spansOf(const QList<Span> &all, int tone, qint64 bridge = 0)
{
    QList<Span> result;
    for (const Span &span : all) {
        if (span.tone != tone)
            continue;
        if (!result.isEmpty() && span.first - result.last().end <= bridge)
            result.last().end = span.end;
        else
            result.append(span);
    }
    return result;
}

} // namespace ToneTrack
