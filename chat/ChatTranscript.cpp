#include "chat/ChatTranscript.h"

#include "app/VorlanError.h"
#include "app/Win1252.h"

#include <QSaveFile>

ChatTranscript::ChatTranscript(QObject *parent)
    : QObject(parent)
{
}

void ChatTranscript::append(const QStringList &lines)
{
    m_lines.append(lines);
    Q_EMIT appended(lines);
}

void ChatTranscript::clear()
{
    // QList::clear() keeps the capacity: after a long run that is megabytes.
    m_lines = QStringList();
    Q_EMIT cleared();
}

void ChatTranscript::save(const QString &path) const
{
    QByteArray bytes;
    for (const QString &line : m_lines)
        bytes += Win1252::encode(line) + QByteArrayLiteral("\r\n");
    // Written aside and renamed, so a failed save never leaves half a file
    // in place of an earlier one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw VorlanError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
}
