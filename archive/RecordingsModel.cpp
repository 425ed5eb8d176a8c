#include "archive/RecordingsModel.h"

#include "app/TimeText.h"
#include "app/VorlanError.h"
#include "archive/ColumnLookup.h"
#include "archive/ResultStream.h"

#include <QDate>
#include <QElapsedTimer>
#include <QSqlField>
#include <QTime>
#include <cstring>

namespace {
constexpr int ChunkRows = 256;
// A slice on the event loop stops after this long, so the window keeps
// answering while a large result streams in.
constexpr int SliceMs = 8;
} // namespace

RecordingsModel::RecordingsModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_slices.setSingleShot(true);
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &RecordingsModel::readSlice);
}

RecordingsModel::~RecordingsModel() = default;

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

void RecordingsModel::store(int column)
{
    const ResultStream &in = *m_stream;
    if (in.isNull(column)) {
        m_cells.appendNull();
        return;
    }
    switch (m_kinds.at(column)) {
    case ResultStream::Kind::Integer:
    case ResultStream::Kind::Unsigned:
        m_cells.appendValue(in.integer(column));
        return;
    case ResultStream::Kind::Real: {
        const double d = in.real(column);
        qint64 bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        m_cells.appendValue(bits);
        return;
    }
    case ResultStream::Kind::Date:
        m_cells.appendValue(in.julianDay(column));
        return;
    case ResultStream::Kind::DateTime:
        m_cells.appendValue(in.msecsSinceEpoch(column));
        return;
    case ResultStream::Kind::Bytes:
    case ResultStream::Kind::Text:
        m_cells.appendText(in.bytes(column));
        return;
    }
}

QVariant RecordingsModel::cell(qsizetype index) const
{
    const int column = int(index % m_columns);
    const QMetaType type = m_types.at(column);
    if (m_cells.isNull(index))
        return QVariant(type);
    const qint64 slot = m_cells.value(index);
    QVariant v;
    switch (m_kinds.at(column)) {
    case ResultStream::Kind::Integer:
        v = QVariant(slot);
        break;
    case ResultStream::Kind::Unsigned:
        v = QVariant(quint64(slot));
        break;
    case ResultStream::Kind::Real: {
        double d = 0;
        std::memcpy(&d, &slot, sizeof d);
        return d;
    }
    case ResultStream::Kind::Date:
        return QDate::fromJulianDay(slot);
    case ResultStream::Kind::DateTime:
        return QDateTime::fromMSecsSinceEpoch(slot);
    case ResultStream::Kind::Bytes:
        return m_cells.text(index).toByteArray();
    case ResultStream::Kind::Text:
        return QString::fromUtf8(m_cells.text(index));
    }
    // Integers come as 64 bits; give them the width the column has.
    v.convert(type);
    return v;
}

int RecordingsModel::readChunk(int rows)
{
    for (int n = 0; n < rows; ++n) {
        bool more = false;
        try {
            more = m_stream->next();
        } catch (...) {
            m_atEnd = true;
            m_stream.reset();
            throw;
        }
        if (!more) {
            m_atEnd = true;
            // Frees the statement and lets the connection serve others.
            m_stream.reset();
            return n;
        }
        for (int c = 0; c < m_columns; ++c)
            store(c);
    }
    return rows;
}

void RecordingsModel::announceNewRows()
{
    const int rows = int(m_cells.size() / qMax(1, m_columns)) - m_rows;
    if (rows <= 0)
        return;
    // The rows are read first; rowCount() grows only between the begin and
    // end of the insertion, as views expect.
    beginInsertRows({}, m_rows, m_rows + rows - 1);
    m_rows += rows;
    endInsertRows();
}

void RecordingsModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    try {
        readChunk(ChunkRows);
    } catch (const VorlanError &) {
        announceNewRows(); // the rows that came before the failure stay
        throw;
    }
    announceNewRows();
}

void RecordingsModel::readSlice()
{
    if (!canFetchMore())
        return;
    QElapsedTimer clock;
    clock.start();
    try {
        while (!m_atEnd && clock.elapsed() < SliceMs)
            readChunk(64);
    } catch (const VorlanError &e) {
        announceNewRows();
        Q_EMIT readFailed(e.message());
        return;
    }
    announceNewRows();
    if (!m_atEnd)
        m_slices.start();
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
    m_slices.stop();
    m_stream.reset();
    m_record = QSqlRecord();
    m_columnOf.clear();
    clearCells();
    m_columns = 0;
    endResetModel();
}

void RecordingsModel::openList(std::unique_ptr<ResultStream> stream)
{
    beginResetModel();
    m_slices.stop();
    m_stream = std::move(stream);
    m_record = m_stream->record();
    m_columnOf.clear();
    m_columns = m_record.count();
    clearCells();
    m_types.clear();
    m_kinds.clear();
    for (int c = 0; c < m_columns; ++c) {
        m_types.append(m_record.field(c).metaType());
        m_kinds.append(m_stream->kind(c));
    }
    m_open = true;
    m_atEnd = false;
    try {
        m_rows = readChunk(ChunkRows);
    } catch (...) {
        m_rows = 0;
        clearCells();
        m_open = false;
        endResetModel();
        throw;
    }
    endResetModel();
    if (!m_atEnd)
        m_slices.start();
}

QSqlRecord RecordingsModel::record() const
{
    return m_record;
}

void RecordingsModel::fetchAllRows()
{
    while (canFetchMore())
        fetchMore();
}

void RecordingsModel::finishReading()
{
    try {
        fetchAllRows();
    } catch (const VorlanError &e) {
        Q_EMIT readFailed(e.message());
    }
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
    m_cells.clear();
}
