#include "archive/WaveRepair.h"

#include "app/VorlanError.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace WaveRepair {

namespace {
void put32(QIODevice &d, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    d.write(b, 4);
}
void put16(QIODevice &d, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    d.write(b, 2);
}
} // namespace

void MontaWave(QIODevice &d, int channels, int bitsPerSample, int samplesPerSecond)
{
    const int bytesPerSample = bitsPerSample / 8;
    d.write("RIFF", 4);
    put32(d, 36);
    d.write("WAVE", 4);
    d.write("fmt ", 4);
    put32(d, 16);
    put16(d, 6); // A-law
    put16(d, quint16(channels));
    put32(d, quint32(samplesPerSecond));
    put32(d, quint32(samplesPerSecond * channels * bytesPerSample));
    put16(d, quint16(channels * bytesPerSample));
    put16(d, quint16(bitsPerSample));
    d.write("data", 4);
    put32(d, 0);
}

QByteArray repaired(QByteArray content)
{
    if (content.size() < 44)
        content.resize(44);
    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadWrite);
    MontaWave(buffer, 1, 8, 8000);
    buffer.close();
    qToLittleEndian(quint32(content.size() - 8), content.data() + 4);
    qToLittleEndian(quint32(content.size() - 44), content.data() + 40);
    return content;
}

void repairFile(const QString &path)
{
    // Opened for writing as well (and never created): the replacement below
    // needs only a writable folder, so it would rewrite a read-only recording.
    QFile in(path);
    if (!in.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        throw VorlanError(
            QStringLiteral("Não foi possível abrir o arquivo %1: %2").arg(path, in.errorString()));
    const QByteArray content = in.readAll();
    in.close();

    // The new content goes to a file beside it and replaces the recording
    // only when complete, so a failed write never cuts the recording short.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw VorlanError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                              .arg(path, out.errorString()));
    const QByteArray fixed = repaired(content);
    if (out.write(fixed) != fixed.size() || !out.commit())
        throw VorlanError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                              .arg(path, out.errorString()));
}

} // namespace WaveRepair
