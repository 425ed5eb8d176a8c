#include "archive/RecordingsModel.h"

#include "app/TimeText.h"
#include "app/VorlanError.h"
#include "archive/ColumnLookup.h"

#include <QDate>
#include <QSqlField>
#include <QTime>

namespace {
constexpr int ChunkRows = 256;
}

RecordingsModel::RecordingsModel(QObject *parent)
    : QAbstractTableModel(parent)
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

int RecordingsModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || m_columns == 0)
        return 0;
    return int(m_cells.size() / m_columns);
}

int RecordingsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant RecordingsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= m_columns)
        return {};
    const QVariant &raw = m_cells.at(qsizetype(index.row()) * m_columns + index.column());
    if (role == Qt::DisplayRole)
        return displayText(raw);
    if (role == Qt::EditRole)
        return raw;
    return {};
}

QVariant RecordingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns)
        return m_record.fieldName(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool RecordingsModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_open && !m_atEnd;
}

void RecordingsModel::readChunk(QList<QVariant> *into, int rows)
{
    for (int n = 0; n < rows; ++n) {
        if (!m_query.next()) {
            m_atEnd = true;
            // The driver's copy of the result is no longer needed.
            m_query.finish();
            return;
        }
        for (int c = 0; c < m_columns; ++c)
            into->append(m_query.value(c));
    }
}

void RecordingsModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    QList<QVariant> chunk;
    chunk.reserve(qsizetype(ChunkRows) * m_columns);
    readChunk(&chunk, ChunkRows);
    const int added = m_columns ? int(chunk.size() / m_columns) : 0;
    if (added == 0)
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + added - 1);
    m_cells.append(chunk);
    endInsertRows();
}

bool RecordingsModel::isOpen() const
{
    return m_open;
}

void RecordingsModel::closeList()
{
    beginResetModel();
    m_open = false;
    m_atEnd = true;
    m_query = QSqlQuery();
    m_record = QSqlRecord();
    m_columnOf.clear();
    m_cells.clear();
    m_columns = 0;
    endResetModel();
}

void RecordingsModel::openList(QSqlQuery &&query)
{
    beginResetModel();
    m_query = std::move(query);
    m_record = m_query.record();
    m_columnOf.clear();
    m_columns = m_record.count();
    m_cells.clear();
    m_open = true;
    m_atEnd = false;
    readChunk(&m_cells, ChunkRows);
    endResetModel();
}

QSqlRecord RecordingsModel::record() const
{
    return m_record;
}

int RecordingsModel::totalSize() const
{
    return m_open ? (m_atEnd ? rowCount() : m_query.size()) : -1;
}

void RecordingsModel::fetchAllRows()
{
    while (canFetchMore())
        fetchMore();
}

int RecordingsModel::columnOf(const QString &name) const
{
    const auto it = m_columnOf.constFind(name);
    if (it != m_columnOf.constEnd())
        return *it;
    const int column = ColumnLookup::indexOf(m_record, name);
    m_columnOf.insert(name, column);
    return column;
}

QVariant RecordingsModel::value(int row, const QString &name) const
{
    if (!m_open)
        throw VorlanError(QStringLiteral("Pesquisa: a lista de resultados está fechada."));
    const int column = columnOf(name);
    if (column < 0)
        throw VorlanError(QStringLiteral("Pesquisa: Campo '%1' não encontrado.").arg(name));
    if (row < 0 || row >= rowCount())
        return QVariant(m_record.field(column).metaType());
    return m_cells.at(qsizetype(row) * m_columns + column);
}
