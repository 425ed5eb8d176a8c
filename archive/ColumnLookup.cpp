#include "archive/ColumnLookup.h"

#include <QSqlRecord>

namespace ColumnLookup {

QString fold(const QString &name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        out.append(c);
    }
    return out.toCaseFolded();
}

int indexOf(const QSqlRecord &record, const QString &name)
{
    const QString wanted = fold(name);
    for (int i = 0; i < record.count(); ++i) {
        if (fold(record.fieldName(i)) == wanted)
            return i;
    }
    return -1;
}

} // namespace ColumnLookup
