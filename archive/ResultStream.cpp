#include "archive/ResultStream.h"

#include "app/VorlanError.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QSqlField>
#include <QVariant>
#include <cstring>
#include <mysql.h>
#include <vector>

namespace {
// Texts up to this size are read in place; longer ones are fetched again
// into a buffer of their own.
constexpr unsigned long InlineText = 512;

bool isNameChar(QChar c)
{
    return (c.isLetterOrNumber() && c.unicode() < 128) || c == u'_';
}

ResultStream::Kind kindOf(const MYSQL_FIELD &f)
{
    using Kind = ResultStream::Kind;
    const bool isUnsigned = f.flags & UNSIGNED_FLAG;
    switch (f.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONGLONG:
        return isUnsigned ? Kind::Unsigned : Kind::Integer;
    case MYSQL_TYPE_YEAR:
        return Kind::Integer;
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        return Kind::Real;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        return Kind::Date;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP:
        return Kind::DateTime;
    case MYSQL_TYPE_STRING:
    case MYSQL_TYPE_VAR_STRING:
    case MYSQL_TYPE_VARCHAR:
    case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_GEOMETRY:
        return (f.flags & BINARY_FLAG) ? Kind::Bytes : Kind::Text;
    default:
        // TIME (it may exceed a day), ENUM, SET and the rest come as text.
        return Kind::Text;
    }
}

// The type Qt's MySQL driver gives the same column, so callers see one
// record whichever way the rows were read.
QMetaType metaTypeOf(const MYSQL_FIELD &f)
{
    using Kind = ResultStream::Kind;
    switch (kindOf(f)) {
    case Kind::Integer:
    case Kind::Unsigned: {
        const bool isUnsigned = kindOf(f) == Kind::Unsigned;
        switch (f.type) {
        case MYSQL_TYPE_TINY:
            return QMetaType(isUnsigned ? QMetaType::UChar : QMetaType::Char);
        case MYSQL_TYPE_SHORT:
            return QMetaType(isUnsigned ? QMetaType::UShort : QMetaType::Short);
        case MYSQL_TYPE_LONGLONG:
            return QMetaType(isUnsigned ? QMetaType::ULongLong : QMetaType::LongLong);
        default:
            return QMetaType(isUnsigned ? QMetaType::UInt : QMetaType::Int);
        }
    }
    case Kind::Real:
        return QMetaType(QMetaType::Double);
    case Kind::Date:
        return QMetaType(QMetaType::QDate);
    case Kind::DateTime:
        return QMetaType(QMetaType::QDateTime);
    case Kind::Bytes:
        return QMetaType(QMetaType::QByteArray);
    case Kind::Text:
        break;
    }
    return QMetaType(QMetaType::QString);
}

MYSQL_TIME mysqlTime(QDate date, QTime time, enum_mysql_timestamp_type type)
{
    MYSQL_TIME t;
    std::memset(&t, 0, sizeof t);
    if (date.isValid()) {
        t.year = unsigned(date.year());
        t.month = unsigned(date.month());
        t.day = unsigned(date.day());
    }
    if (time.isValid()) {
        t.hour = unsigned(time.hour());
        t.minute = unsigned(time.minute());
        t.second = unsigned(time.second());
        t.second_part = static_cast<unsigned long>(time.msec()) * 1000;
    }
    t.time_type = type;
    return t;
}
} // namespace

struct ResultStream::Private
{
    MYSQL *mysql = nullptr;
    MYSQL_STMT *stmt = nullptr;
    MYSQL_RES *meta = nullptr;
    QSqlRecord record;
    std::vector<Kind> kinds;
    std::vector<MYSQL_BIND> binds;
    std::vector<qint64> integers; // also holds the doubles' bits
    std::vector<MYSQL_TIME> times;
    std::vector<QByteArray> texts;
    std::vector<QByteArray> overflow; // a long text of the current row
    std::vector<unsigned long> lengths;
    std::vector<my_bool> nulls;
    std::vector<my_bool> errors;
    bool atEnd = false;

    [[noreturn]] void fail(bool *connectionLost = nullptr) const
    {
        // A read that breaks off mid-result leaves its error on the
        // connection rather than on the statement.
        unsigned code = mysql_stmt_errno(stmt);
        QString text = QString::fromUtf8(mysql_stmt_error(stmt));
        if (code == 0 || text.trimmed().isEmpty()) {
            code = mysql_errno(mysql);
            text = QString::fromUtf8(mysql_error(mysql));
        }
        if (connectionLost)
            *connectionLost = code == 2006 || code == 2013;
        if (text.trimmed().isEmpty())
            text = QStringLiteral("Erro no banco de dados.");
        throw VorlanError(text);
    }
};

ResultStream::ResultStream()
    : d(std::make_unique<Private>())
{
}

ResultStream::~ResultStream()
{
    if (d->meta)
        mysql_free_result(d->meta);
    // Closing reads and drops whatever the server still sends.
    if (d->stmt)
        mysql_stmt_close(d->stmt);
}

QString ResultStream::positional(const QString &text, QStringList *names)
{
    QString out;
    out.reserve(text.size());
    QChar closingQuote;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar ch = text.at(i);
        if (!closingQuote.isNull()) {
            if (ch == closingQuote)
                closingQuote = QChar();
            out += ch;
            ++i;
        } else if (ch == u':' && (i == 0 || text.at(i - 1) != u':') && i + 1 < n
                   && isNameChar(text.at(i + 1))) {
            qsizetype end = i + 2;
            while (end < n && isNameChar(text.at(end)))
                ++end;
            names->append(text.mid(i + 1, end - i - 1));
            out += u'?';
            i = end;
        } else {
            if (ch == u'\'' || ch == u'"' || ch == u'`')
                closingQuote = ch;
            out += ch;
            ++i;
        }
    }
    return out;
}

std::unique_ptr<ResultStream> ResultStream::start(const QSqlDatabase &db, const QString &text,
                                                  const QVariantMap &values, bool *connectionLost)
{
    *connectionLost = false;
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    MYSQL *mysql = handle.isValid() ? *static_cast<MYSQL *const *>(handle.constData()) : nullptr;
    if (!mysql || !db.isOpen())
        throw VorlanError(QStringLiteral("Esta Desconectado"));

    std::unique_ptr<ResultStream> s(new ResultStream);
    Private &p = *s->d;
    p.mysql = mysql;
    p.stmt = mysql_stmt_init(mysql);
    if (!p.stmt)
        throw VorlanError(QStringLiteral("Sem memória para a consulta."));

    QStringList names;
    const QByteArray sql = positional(text, &names).toUtf8();
    if (mysql_stmt_prepare(p.stmt, sql.constData(), sql.size()) != 0)
        p.fail(connectionLost);

    // Parameters, bound by name; a name without a value is NULL.
    const int count = int(names.size());
    const size_t slots = names.size();
    std::vector<MYSQL_BIND> params(slots);
    std::vector<MYSQL_TIME> paramTimes(slots);
    std::vector<qint64> paramInts(slots);
    std::vector<double> paramReals(slots);
    std::vector<QByteArray> paramTexts(slots);
    std::vector<unsigned long> paramLengths(slots);
    for (int i = 0; i < count; ++i) {
        MYSQL_BIND &b = params[size_t(i)];
        std::memset(&b, 0, sizeof b);
        const QVariant v = values.value(names.at(i));
        if (v.isNull()) {
            b.buffer_type = MYSQL_TYPE_NULL;
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::QDate:
            paramTimes[size_t(i)] = mysqlTime(v.toDate(), {}, MYSQL_TIMESTAMP_DATE);
            b.buffer_type = MYSQL_TYPE_DATE;
            b.buffer = &paramTimes[size_t(i)];
            break;
        case QMetaType::QTime:
            paramTimes[size_t(i)] = mysqlTime({}, v.toTime(), MYSQL_TIMESTAMP_TIME);
            b.buffer_type = MYSQL_TYPE_TIME;
            b.buffer = &paramTimes[size_t(i)];
            break;
        case QMetaType::QDateTime:
            paramTimes[size_t(i)]
                = mysqlTime(v.toDateTime().date(), v.toDateTime().time(), MYSQL_TIMESTAMP_DATETIME);
            b.buffer_type = MYSQL_TYPE_DATETIME;
            b.buffer = &paramTimes[size_t(i)];
            break;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            paramInts[size_t(i)] = v.toLongLong();
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.buffer = &paramInts[size_t(i)];
            b.is_unsigned = v.typeId() == QMetaType::ULongLong;
            break;
        case QMetaType::Double:
            paramReals[size_t(i)] = v.toDouble();
            b.buffer_type = MYSQL_TYPE_DOUBLE;
            b.buffer = &paramReals[size_t(i)];
            break;
        default:
            paramTexts[size_t(i)]
                = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
            paramLengths[size_t(i)] = static_cast<unsigned long>(paramTexts[size_t(i)].size());
            b.buffer_type
                = v.typeId() == QMetaType::QByteArray ? MYSQL_TYPE_BLOB : MYSQL_TYPE_STRING;
            b.buffer = paramTexts[size_t(i)].data();
            b.buffer_length = paramLengths[size_t(i)];
            b.length = &paramLengths[size_t(i)];
            break;
        }
    }
    if (count > 0 && mysql_stmt_bind_param(p.stmt, params.data()) != 0)
        p.fail(connectionLost);
    if (mysql_stmt_execute(p.stmt) != 0)
        p.fail(connectionLost);

    p.meta = mysql_stmt_result_metadata(p.stmt);
    if (!p.meta) {
        p.atEnd = true;
        return s;
    }
    const unsigned columns = mysql_num_fields(p.meta);
    const MYSQL_FIELD *fields = mysql_fetch_fields(p.meta);
    p.kinds.resize(columns);
    p.binds.resize(columns);
    p.integers.resize(columns);
    p.times.resize(columns);
    p.texts.resize(columns);
    p.overflow.resize(columns);
    p.lengths.resize(columns);
    p.nulls.resize(columns);
    p.errors.resize(columns);
    for (unsigned c = 0; c < columns; ++c) {
        const MYSQL_FIELD &f = fields[c];
        p.record.append(
            QSqlField(QString::fromUtf8(f.name), metaTypeOf(f), QString::fromUtf8(f.table)));
        p.kinds[c] = kindOf(f);
        MYSQL_BIND &b = p.binds[c];
        std::memset(&b, 0, sizeof b);
        b.length = &p.lengths[c];
        b.is_null = &p.nulls[c];
        b.error = &p.errors[c];
        switch (p.kinds[c]) {
        case Kind::Integer:
        case Kind::Unsigned:
            b.buffer_type = MYSQL_TYPE_LONGLONG;
            b.is_unsigned = p.kinds[c] == Kind::Unsigned;
            b.buffer = &p.integers[c];
            break;
        case Kind::Real:
            b.buffer_type = MYSQL_TYPE_DOUBLE;
            b.buffer = &p.integers[c];
            break;
        case Kind::Date:
        case Kind::DateTime:
            b.buffer_type = p.kinds[c] == Kind::Date ? MYSQL_TYPE_DATE : MYSQL_TYPE_DATETIME;
            b.buffer = &p.times[c];
            b.buffer_length = sizeof(MYSQL_TIME);
            break;
        case Kind::Text:
        case Kind::Bytes:
            p.texts[c].resize(InlineText);
            b.buffer_type = p.kinds[c] == Kind::Bytes ? MYSQL_TYPE_BLOB : MYSQL_TYPE_STRING;
            b.buffer = p.texts[c].data();
            b.buffer_length = InlineText;
            break;
        }
    }
    if (mysql_stmt_bind_result(p.stmt, p.binds.data()) != 0)
        p.fail(connectionLost);
    return s;
}

const QSqlRecord &ResultStream::record() const
{
    return d->record;
}

ResultStream::Kind ResultStream::kind(int column) const
{
    return d->kinds[size_t(column)];
}

bool ResultStream::next()
{
    Private &p = *d;
    if (p.atEnd)
        return false;
    const int rc = mysql_stmt_fetch(p.stmt);
    if (rc == MYSQL_NO_DATA) {
        p.atEnd = true;
        return false;
    }
    if (rc == 1)
        p.fail();
    for (size_t c = 0; c < p.kinds.size(); ++c) {
        p.overflow[c].clear();
        if (p.nulls[c] || (p.kinds[c] != Kind::Text && p.kinds[c] != Kind::Bytes)
            || p.lengths[c] <= InlineText)
            continue;
        // Too long for the inline buffer: fetch this column again whole.
        p.overflow[c].resize(qsizetype(p.lengths[c]));
        MYSQL_BIND b;
        std::memset(&b, 0, sizeof b);
        unsigned long length = 0;
        b.buffer_type = p.binds[c].buffer_type;
        b.buffer = p.overflow[c].data();
        b.buffer_length = p.lengths[c];
        b.length = &length;
        if (mysql_stmt_fetch_column(p.stmt, &b, unsigned(c), 0) != 0)
            p.fail();
        p.overflow[c].truncate(qsizetype(length));
    }
    return true;
}

bool ResultStream::isNull(int column) const
{
    return d->nulls[size_t(column)];
}

qint64 ResultStream::integer(int column) const
{
    return d->integers[size_t(column)];
}

double ResultStream::real(int column) const
{
    double v = 0;
    std::memcpy(&v, &d->integers[size_t(column)], sizeof v);
    return v;
}

qint64 ResultStream::julianDay(int column) const
{
    const MYSQL_TIME &t = d->times[size_t(column)];
    return QDate(int(t.year), int(t.month), int(t.day)).toJulianDay();
}

qint64 ResultStream::msecsSinceEpoch(int column) const
{
    const MYSQL_TIME &t = d->times[size_t(column)];
    return QDateTime(QDate(int(t.year), int(t.month), int(t.day)),
                     QTime(int(t.hour), int(t.minute), int(t.second), int(t.second_part / 1000)))
        .toMSecsSinceEpoch();
}

QByteArrayView ResultStream::bytes(int column) const
{
    const size_t c = size_t(column);
    if (!d->overflow[c].isEmpty())
        return d->overflow[c];
    return QByteArrayView(d->texts[c].constData(), qsizetype(d->lengths[c]));
}
