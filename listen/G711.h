#pragma once

#include <QtGlobal>

// G.711 expansion to 16-bit linear samples through 256-entry tables built
// once; the recorder codes its audio as A-law, some tools write µ-law.
namespace G711 {

qint16 alawToLinear(quint8 code);
qint16 ulawToLinear(quint8 code);

// Expands count codes into out (count samples).
void decodeAlaw(const quint8 *codes, qsizetype count, qint16 *out);
void decodeUlaw(const quint8 *codes, qsizetype count, qint16 *out);

} // namespace G711
