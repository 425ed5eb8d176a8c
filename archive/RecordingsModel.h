#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QSqlRecord>

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
    void readChunk(QList<QVariant> *into, int rows);

    int columnOf(const QString &name) const;

    QSqlQuery m_query;
    // Asked name -> column; the same few names are asked for every row.
    mutable QHash<QString, int> m_columnOf;
    QSqlRecord m_record;
    QList<QVariant> m_cells;
    int m_columns = 0;
    bool m_atEnd = true;
    bool m_open = false;
};
