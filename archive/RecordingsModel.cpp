#include "archive/RecordingsModel.h"

#include "app/TimeText.h"
#include "app/VorlanError.h"
#include "archive/ColumnLookup.h"

#include <QDate>
#include <QSqlField>
#include <QTime>
#include <cstring>

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
    return m_rows;
}

int RecordingsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant RecordingsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= m_columns)
        return {};
    const QVariant raw = cell(qsizetype(index.row()) * m_columns + index.column());
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

namespace {
enum class Storage { Integer, Unsigned, Real, Boolean, Date, Time, DateTime, Bytes, Text };

Storage storageOf(const QMetaType &type)
{
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Long:
        return Storage::Integer;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
        return Storage::Unsigned;
    case QMetaType::Double:
    case QMetaType::Float:
        return Storage::Real;
    case QMetaType::Bool:
        return Storage::Boolean;
    case QMetaType::QDate:
        return Storage::Date;
    case QMetaType::QTime:
        return Storage::Time;
    case QMetaType::QDateTime:
        return Storage::DateTime;
    case QMetaType::QByteArray:
        return Storage::Bytes;
    default:
        return Storage::Text;
    }
}
} // namespace

void RecordingsModel::store(int column, const QVariant &value)
{
    const QMetaType type = m_types.at(column);
    m_null.push_back(value.isNull());
    if (value.isNull()) {
        m_slots.push_back(0);
        return;
    }
    qint64 slot = 0;
    switch (storageOf(type)) {
    case Storage::Integer:
    case Storage::Boolean:
        slot = value.toLongLong();
        break;
    case Storage::Unsigned:
        slot = qint64(value.toULongLong());
        break;
    case Storage::Real: {
        const double d = value.toDouble();
        std::memcpy(&slot, &d, sizeof slot);
        break;
    }
    case Storage::Date:
        slot = value.toDate().toJulianDay();
        break;
    case Storage::Time:
        slot = value.toTime().msecsSinceStartOfDay();
        break;
    case Storage::DateTime:
        slot = value.toDateTime().toMSecsSinceEpoch();
        break;
    case Storage::Bytes:
    case Storage::Text: {
        const QByteArray bytes
            = storageOf(type) == Storage::Bytes ? value.toByteArray() : value.toString().toUtf8();
        slot = m_text.size();
        const quint32 length = quint32(bytes.size());
        m_text.append(reinterpret_cast<const char *>(&length), sizeof length);
        m_text.append(bytes);
        break;
    }
    }
    m_slots.push_back(slot);
}

QVariant RecordingsModel::cell(qsizetype index) const
{
    const QMetaType type = m_types.at(int(index % m_columns));
    if (m_null[size_t(index)])
        return QVariant(type);
    const qint64 slot = m_slots[size_t(index)];
    switch (storageOf(type)) {
    case Storage::Integer:
    case Storage::Unsigned:
    case Storage::Boolean: {
        QVariant v(slot);
        if (storageOf(type) == Storage::Unsigned)
            v = QVariant(quint64(slot));
        v.convert(type);
        return v;
    }
    case Storage::Real: {
        double d = 0;
        std::memcpy(&d, &slot, sizeof d);
        QVariant v(d);
        v.convert(type);
        return v;
    }
    case Storage::Date:
        return QDate::fromJulianDay(slot);
    case Storage::Time:
        return QTime::fromMSecsSinceStartOfDay(int(slot));
    case Storage::DateTime:
        return QDateTime::fromMSecsSinceEpoch(slot);
    case Storage::Bytes:
    case Storage::Text: {
        quint32 length = 0;
        std::memcpy(&length, m_text.constData() + slot, sizeof length);
        const char *bytes = m_text.constData() + slot + qsizetype(sizeof length);
        if (storageOf(type) == Storage::Bytes)
            return QByteArray(bytes, qsizetype(length));
        QVariant v(QString::fromUtf8(bytes, qsizetype(length)));
        if (type.id() != QMetaType::QString && type.isValid())
            v.convert(type);
        return v;
    }
    }
    return {};
}

int RecordingsModel::readChunk(int rows)
{
    for (int n = 0; n < rows; ++n) {
        if (!m_query.next()) {
            m_atEnd = true;
            // The driver's copy of the result is no longer needed.
            m_query.finish();
            return n;
        }
        for (int c = 0; c < m_columns; ++c)
            store(c, m_query.value(c));
    }
    return rows;
}

void RecordingsModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    // The rows are read first; rowCount() grows only between the begin and
    // end of the insertion, as views expect.
    const int first = rowCount();
    const int added = readChunk(ChunkRows);
    if (added == 0)
        return;
    beginInsertRows({}, first, first + added - 1);
    m_rows += added;
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
    clearCells();
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
    clearCells();
    m_types.clear();
    for (int c = 0; c < m_columns; ++c)
        m_types.append(m_record.field(c).metaType());
    m_open = true;
    m_atEnd = false;
    m_rows = readChunk(ChunkRows);
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
    return cell(qsizetype(row) * m_columns + column);
}

void RecordingsModel::clearCells()
{
    m_rows = 0;
    std::vector<qint64>().swap(m_slots);
    std::vector<bool>().swap(m_null);
    m_text = QByteArray();
}
