#include "archive/RecordingsModel.h"

#include "app/TimeText.h"
#include "app/VorlanError.h"
#include "archive/ColumnLookup.h"

#include <QDate>
#include <QSqlField>
#include <QSqlRecord>
#include <QTime>

RecordingsModel::RecordingsModel(QObject *parent)
    : QSqlQueryModel(parent)
{
}

QString RecordingsModel::displayText(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    if (value.typeId() == QMetaType::QTime)
        return TimeText::formatTimeOfDay(value.toTime().msecsSinceStartOfDay() / 1000);
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    return value.toString();
}

QVariant RecordingsModel::data(const QModelIndex &index, int role) const
{
    const QVariant raw = QSqlQueryModel::data(index, role);
    if (role == Qt::DisplayRole)
        return displayText(raw);
    return raw;
}

bool RecordingsModel::isOpen() const
{
    return m_open;
}

void RecordingsModel::closeList()
{
    m_open = false;
    clear();
}

void RecordingsModel::openList(QSqlQuery &&query)
{
    setQuery(std::move(query));
    m_open = true;
}

void RecordingsModel::fetchAllRows()
{
    while (canFetchMore())
        fetchMore();
}

QVariant RecordingsModel::value(int row, const QString &name) const
{
    if (!m_open)
        throw VorlanError(QStringLiteral("Pesquisa: a lista de resultados está fechada."));
    const QSqlRecord rec = record();
    const int column = ColumnLookup::indexOf(rec, name);
    if (column < 0)
        throw VorlanError(QStringLiteral("Pesquisa: Campo '%1' não encontrado.").arg(name));
    if (row < 0 || row >= rowCount())
        return QVariant(rec.field(column).metaType());
    return QSqlQueryModel::data(index(row, column), Qt::DisplayRole);
}
