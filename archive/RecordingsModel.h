#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QSqlRecord>
#include <vector>

// The result list of Pesquisa as the grid shows it. Rows are read forward in
// chunks as the view scrolls and kept in one flat list, so showing any row
// never makes the client library seek (its seek costs O(row)). Dates and
// times are shown in the fixed formats; any column is found by name.
class RecordingsModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecordingsModel(QObject *parent = nullptr);

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
    void openList(QSqlQuery &&query);

    QSqlRecord record() const;
    // Rows of the whole result (the driver knows them all), or -1.
    int totalSize() const;

    // Loads every row, so rowCount() is the whole result.
    void fetchAllRows();

    // The value of the column called name (case and accents ignored) in row;
    // NULL for a row outside the list. Throws VorlanError for an unknown
    // column or a closed list.
    QVariant value(int row, const QString &name) const;

    static QString displayText(const QVariant &value);

private:
    // Reads up to rows rows into the compact cells; returns how many came.
    int readChunk(int rows);
    void store(int column, const QVariant &value);
    QVariant cell(qsizetype index) const;
    void clearCells();

    int columnOf(const QString &name) const;

    QSqlQuery m_query;
    // Asked name -> column; the same few names are asked for every row.
    mutable QHash<QString, int> m_columnOf;
    QSqlRecord m_record;
    // The cells in compact form, row after row: one 64-bit slot per cell
    // (number, Julian day, milliseconds, or the offset of its text in
    // m_text), and a null flag. A QVariant per cell would take several times
    // the memory of the result itself on a large archive.
    std::vector<qint64> m_slots;
    std::vector<bool> m_null;
    QByteArray m_text;
    QList<QMetaType> m_types;
    int m_rows = 0;
    int m_columns = 0;
    bool m_atEnd = true;
    bool m_open = false;
};
