#include "listen/AudioFileLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace AudioFileLocation {

QString programFile(const QString &programDirectory)
{
    return QDir(programDirectory).filePath(QStringLiteral("audio/temp.wav"));
}

QString cacheFile()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        return {};
    return base + QStringLiteral("/vorlan/audio/temp.wav");
}

bool isWritable(const QString &filePath)
{
    if (filePath.isEmpty())
        return false;
    const QFileInfo info(filePath);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    // Opening is the only sure test: permission bits say nothing to root and
    // nothing about read-only mounts.
    QFile file(filePath);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

QString resolve(const QString &programDirectory)
{
    const QString local = programFile(programDirectory);
    if (isWritable(local))
        return local;
    const QString cache = cacheFile();
    if (isWritable(cache))
        return cache;
    return local;
}

} // namespace AudioFileLocation
