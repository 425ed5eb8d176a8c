#pragma once

#include "archive/CellStore.h"
#include "archive/ResultStream.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlRecord>
#include <QTimer>
#include <memory>
#include <vector>

// The result list of Pesquisa as the grid shows it. Rows come off the wire
// in short slices on the event loop (and at once when a view or a caller
// asks for more), so the first screen shows while the rest arrives and the
// window stays responsive. They are kept in one flat compact list, so showing
// any row costs the same. Dates and times are shown in the fixed formats; any
// column is found by name.
class RecordingsModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecordingsModel(QObject *parent = nullptr);
    ~RecordingsModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent = {}) const override;
    void fetchMore(const QModelIndex &parent = {}) override;

    // Open means a search has produced a result list (possibly empty).
    bool isOpen() const;
    void closeList();
    // Takes the stream's first rows now and the rest in slices.
    void openList(std::unique_ptr<ResultStream> stream);

    QSqlRecord record() const;

    // Loads every row, so rowCount() is the whole result. Throws VorlanError
    // when the read fails; the rows read so far stay.
    void fetchAllRows();

    // fetchAllRows() for a caller that cannot take an exception: a failure
    // is told through readFailed().
    void finishReading();

    // The value of the column called name (case and accents ignored) in row;
    // NULL for a row outside the list. Throws VorlanError for an unknown
    // column or a closed list.
    QVariant value(int row, const QString &name) const;

    static QString displayText(const QVariant &value);

Q_SIGNALS:
    // A slice read on the event loop failed; the list keeps what it had.
    void readFailed(const QString &message);

private:
    // Reads up to rows rows into the compact cells; returns how many came.
    int readChunk(int rows);
    // Tells the views of the rows read since the last announcement.
    void announceNewRows();
    void readSlice();
    void store(int column);
    QVariant cell(qsizetype index) const;
    void clearCells();

    int columnOf(const QString &name) const;

    std::unique_ptr<ResultStream> m_stream;
    QTimer m_slices;
    // Asked name -> column; the same few names are asked for every row.
    mutable QHash<QString, int> m_columnOf;
    QSqlRecord m_record;
    // A QVariant per cell would take several times the memory of the
    // result itself on a large archive.
    CellStore m_cells;
    // Per column: the type callers see, and how its cells are kept.
    QList<QMetaType> m_types;
    QList<ResultStream::Kind> m_kinds;
    int m_rows = 0;
    int m_columns = 0;
    bool m_atEnd = true;
    bool m_open = false;
};
