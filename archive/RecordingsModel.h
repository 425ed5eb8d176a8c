#pragma once

#include <QSqlQueryModel>

// The result list of Pesquisa as the grid shows it: dates and times in the
// fixed formats, and access to any column of a row by name.
class RecordingsModel final : public QSqlQueryModel
{
    Q_OBJECT

public:
    explicit RecordingsModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Open means a search has produced a result list (possibly empty).
    bool isOpen() const;
    void closeList();
    void openList(QSqlQuery &&query);

    // Loads every row, so rowCount() is the whole result.
    void fetchAllRows();

    // The value of the column called name (case and accents ignored) in row.
    // Throws VorlanError for an unknown column or a row outside the list.
    QVariant value(int row, const QString &name) const;

    static QString displayText(const QVariant &value);

private:
    bool m_open = false;
};
