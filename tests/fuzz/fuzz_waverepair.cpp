// A recording file of any length and content given a new A-law header, in
// memory and through a real file in a temporary folder. A repaired file keeps
// every byte after the header and always reads back as a playable wave when
// it holds at least one sample.
#include "FuzzCheck.h"
#include "archive/WaveRepair.h"
#include "listen/WaveFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

namespace {

constexpr qsizetype kHeader = 44;

// Removed at exit, so runs leave nothing behind. Memory-backed when the
// system has it: the repair syncs the file to disk, which on a real disk
// would hold the fuzzer to a few hundred files a second.
QTemporaryDir &folder()
{
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/vorlan-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/vorlan-fuzz-XXXXXX"));
    return dir;
}

QByteArray emptyHeader()
{
    QByteArray header;
    QBuffer buffer(&header);
    buffer.open(QIODevice::WriteOnly);
    WaveRepair::MontaWave(buffer, 1, 8, 8000);
    return header;
}

void checkRepaired(const QByteArray &content, const QByteArray &fixed)
{
    static const QByteArray header = emptyHeader();
    FUZZ_CHECK(header.size() == kHeader);
    FUZZ_CHECK(fixed.size() == std::max(content.size(), kHeader));
    FUZZ_CHECK(fixed.mid(kHeader) == content.mid(kHeader));
    // Only the two sizes differ from the header of an empty file.
    FUZZ_CHECK(fixed.left(4) == header.left(4));
    FUZZ_CHECK(fixed.mid(8, 32) == header.mid(8, 32));
    FUZZ_CHECK(qFromLittleEndian<quint32>(fixed.constData() + 4) == quint32(fixed.size() - 8));
    FUZZ_CHECK(qFromLittleEndian<quint32>(fixed.constData() + 40)
               == quint32(fixed.size() - kHeader));

    const auto clip = WaveFile::parse(fixed);
    FUZZ_CHECK(clip.has_value() == (fixed.size() > kHeader));
    if (clip) {
        FUZZ_CHECK(clip->encoding == WaveFile::Encoding::Alaw);
        FUZZ_CHECK(clip->channels == 1 && clip->sampleRate == 8000);
        FUZZ_CHECK(clip->data == content.mid(kHeader));
    }
    // Repairing twice changes nothing more.
    FUZZ_CHECK(WaveRepair::repaired(fixed) == fixed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FUZZ_CHECK(folder().isValid());
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray fixed = WaveRepair::repaired(content);
    checkRepaired(content, fixed);

    const QString path = folder().filePath(QStringLiteral("recording.wav"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(content) == content.size());
    }
    WaveRepair::repairFile(path);
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    FUZZ_CHECK(file.readAll() == fixed);
    return 0;
}
