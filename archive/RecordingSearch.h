#pragma once

#include <QDate>
#include <QString>
#include <QVariantMap>
#include <functional>

class RecordingsDb;
class RecordingsModel;

// What the search page holds when "Pesquisa" is pressed.
struct SearchInputs
{
    int kind = -1;
    QDate from;
    QDate to;
    QString hora; // text of Hora, e.g. "08:00"
    QString hora1; // text of Hora1
    QString value; // text of edVariavel
};

// Button1Click without the widgets: builds the statement of the chosen kind,
// binds its parameters, runs it through the connection and opens the result
// list. Messages go to the notifier; failures throw VorlanError.
class RecordingSearch final
{
    Q_DISABLE_COPY_MOVE(RecordingSearch)

public:
    using Notifier = std::function<void(const QString &message)>;

    RecordingSearch(RecordingsDb *db, RecordingsModel *model, Notifier notify);

    void run(const SearchInputs &inputs);
    // Runs the last statement again with the same parameters.
    void refresh();

    QString lastStatement() const;
    QVariantMap lastValues() const;

private:
    void open(const QString &statement, const QVariantMap &values);

    RecordingsDb *m_db;
    RecordingsModel *m_model;
    Notifier m_notify;
    QString m_statement;
    QVariantMap m_values;
};
