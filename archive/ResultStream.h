#pragma once

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

// A result read row by row straight off the wire, on the connection that Qt's
// MySQL driver opened. The driver itself always stores a whole result before
// the first row is seen; on a large archive that copy costs more memory than
// the rows kept for the grid. Until the last row is read (or the stream is
// destroyed, which discards the rest) no other statement may run on the
// connection.
class ResultStream final
{
    Q_DISABLE_COPY_MOVE(ResultStream)

public:
    // How a column's values come out of the stream.
    enum class Kind { Integer, Unsigned, Real, Date, DateTime, Text, Bytes };

    ~ResultStream();

    // Prepares text on db's open connection (":name" placeholders bound from
    // values by name) and starts it. Throws VorlanError; *connectionLost tells
    // that the server dropped the connection.
    static std::unique_ptr<ResultStream> start(const QSqlDatabase &db, const QString &text,
                                               const QVariantMap &values, bool *connectionLost);

    // Field names and types as Qt's driver reports them for the same result.
    const QSqlRecord &record() const;
    Kind kind(int column) const;

    // Moves to the next row; false after the last. Throws VorlanError when the
    // read fails (a lost connection, a timeout).
    bool next();

    // The current row's values; use the accessor of the column's kind.
    bool isNull(int column) const;
    qint64 integer(int column) const; // Integer, Unsigned (as bits)
    double real(int column) const;
    qint64 julianDay(int column) const; // Date
    qint64 msecsSinceEpoch(int column) const; // DateTime, local time
    QByteArrayView bytes(int column) const; // Text (UTF-8), Bytes

    // The statement with each ":name" turned into "?" and the names in
    // order, as Qt does for drivers without named placeholders: quoted text
    // (', ", `) is left alone, so a ':' inside a value is never a parameter.
    static QString positional(const QString &text, QStringList *names);

private:
    ResultStream();
    struct Private;
    std::unique_ptr<Private> d;
};
