#pragma once

#include <QString>

class QSqlRecord;

// Result columns are asked for by names whose case and accents vary
// ("número" for "Número"), so names are compared folded.
namespace ColumnLookup {

// Lower case without accents: "Duração" -> "duracao".
QString fold(const QString &name);

// Index of the column called name, or -1.
int indexOf(const QSqlRecord &record, const QString &name);

} // namespace ColumnLookup
