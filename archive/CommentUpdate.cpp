#include "archive/CommentUpdate.h"

#include "app/VorlanError.h"
#include "app/Win1252.h"
#include "archive/RecordingsDb.h"

namespace CommentUpdate {

void save(RecordingsDb &db, qint64 id, const QString &text)
{
    bool ok = true;
    Win1252::encode(text, &ok);
    if (!ok)
        throw VorlanError(QStringLiteral(
            "O comentário contém caracteres que o banco de dados não aceita (por exemplo, "
            "emojis). Remova-os e grave novamente."));
    db.exec(QStringLiteral("UPDATE registro SET obs=:obs WHERE id=:id"),
            { { QStringLiteral("obs"), text }, { QStringLiteral("id"), id } });
}

} // namespace CommentUpdate
