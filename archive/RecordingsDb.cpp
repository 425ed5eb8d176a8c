#include "archive/RecordingsDb.h"

#include "app/VorlanError.h"
#include "archive/ResultStream.h"

#include <QSqlError>

RecordingsDb::RecordingsDb(const QString &connectionName)
    : m_connectionName(connectionName)
{
    QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), m_connectionName);
}

RecordingsDb::~RecordingsDb()
{
    disconnect();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void RecordingsDb::setHost(const QString &host)
{
    m_host = host;
}
void RecordingsDb::setPort(int port)
{
    m_port = port;
}
void RecordingsDb::setUser(const QString &user)
{
    m_user = user;
}
void RecordingsDb::setPassword(const QString &password)
{
    m_password = password;
}
void RecordingsDb::setDatabaseName(const QString &name)
{
    m_databaseName = name;
}
void RecordingsDb::setTimeoutSeconds(int seconds)
{
    m_timeoutSeconds = seconds;
}

QSqlDatabase RecordingsDb::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

void RecordingsDb::connect()
{
    QSqlDatabase db = database();
    if (!db.isValid())
        throw VorlanError(QStringLiteral("O driver QMYSQL não está disponível."));
    db.close();
    db.setHostName(m_host);
    db.setPort(m_port);
    db.setUserName(m_user);
    db.setPassword(m_password);
    db.setDatabaseName(m_databaseName);
    // Without a connect timeout a server that accepts and never answers holds
    // the user-interface thread for minutes.
    const QString t = QString::number(m_timeoutSeconds);
    db.setConnectOptions(QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=") + t
                         + QStringLiteral(";MYSQL_OPT_READ_TIMEOUT=")
                         + QString::number(m_timeoutSeconds * 6)
                         + QStringLiteral(";MYSQL_OPT_WRITE_TIMEOUT=") + t);
    if (!db.open()) {
        const QString text = db.lastError().text();
        db.close();
        throw VorlanError(text.isEmpty() ? QStringLiteral("Falha ao conectar ao banco de dados.")
                                         : text);
    }
}

bool RecordingsDb::isConnected() const
{
    return database().isOpen();
}

void RecordingsDb::disconnect()
{
    QSqlDatabase db = database();
    if (db.isValid())
        db.close();
}

namespace {
// Runs statement(&connectionLost) on a connection opened first when closed,
// and once more on a fresh connection when the server dropped the old one
// (a restart leaves isOpen() true until a statement fails).
template<typename Statement> auto retryOnce(RecordingsDb &db, Statement statement)
{
    if (!db.isConnected())
        db.connect();
    bool lost = false;
    try {
        return statement(&lost);
    } catch (const VorlanError &) {
        if (!lost)
            throw;
    }
    db.connect();
    return statement(&lost);
}
} // namespace

QSqlQuery RecordingsDb::tryExec(const QString &text, const QVariantMap &values,
                                bool *connectionLost) const
{
    QSqlQuery query(database());
    query.setForwardOnly(false);
    bool ok = query.prepare(text);
    if (ok) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            query.bindValue(QLatin1Char(':') + it.key(), it.value());
        ok = query.exec();
    }
    if (ok)
        return query;
    const QSqlError e = query.lastError();
    const QString code = e.nativeErrorCode();
    // 2006 "server has gone away", 2013 "lost connection during query".
    *connectionLost = code == QLatin1String("2006") || code == QLatin1String("2013");
    const QString error = e.text();
    throw VorlanError(error.trimmed().isEmpty() ? QStringLiteral("Erro no banco de dados.")
                                                : error);
}

QSqlQuery RecordingsDb::exec(const QString &text, const QVariantMap &values)
{
    if (m_beforeStatement)
        m_beforeStatement();
    return retryOnce(*this, [&](bool *lost) { return tryExec(text, values, lost); });
}

std::unique_ptr<ResultStream> RecordingsDb::stream(const QString &text, const QVariantMap &values)
{
    if (m_beforeStatement)
        m_beforeStatement();
    return retryOnce(
        *this, [&](bool *lost) { return ResultStream::start(database(), text, values, lost); });
}

void RecordingsDb::setBeforeStatement(std::function<void()> hook)
{
    m_beforeStatement = std::move(hook);
}
