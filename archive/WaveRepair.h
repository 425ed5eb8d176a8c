#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// The 44-byte A-law WAVE header of the recordings and the repair that puts
// it in front of a file whose header the player cannot read.
namespace WaveRepair {

// Writes the header of an empty file at the device's current position.
void MontaWave(QIODevice &device, int channels, int bitsPerSample, int samplesPerSecond);

// Rewrites the first 44 bytes of content with the header sized for it.
QByteArray repaired(QByteArray content);

// Repairs the file at path, replacing it atomically; throws VorlanError when
// it cannot be read or written, leaving the file as it was.
void repairFile(const QString &path);

} // namespace WaveRepair
