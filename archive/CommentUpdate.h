#pragma once

#include <QString>

class RecordingsDb;

// The statement of `up`: stores text as the comment of recording id. The
// text travels as a bound value, so quotes, backslashes, NUL and ":" arrive
// exactly; a character the latin1 column cannot hold is refused.
namespace CommentUpdate {

void save(RecordingsDb &db, qint64 id, const QString &text);

} // namespace CommentUpdate
