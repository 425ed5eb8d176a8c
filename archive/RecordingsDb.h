#pragma once

#include "archive/ResultStream.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <memory>

// ZConnection1: the one connection to the recorder's database. Every
// statement goes through exec() or stream(), which reopen a closed
// connection first and retry once after the server dropped it (a restart
// leaves isOpen() true).
class RecordingsDb final
{
    Q_DISABLE_COPY_MOVE(RecordingsDb)

public:
    explicit RecordingsDb(const QString &connectionName = QStringLiteral("ZConnection1"));
    ~RecordingsDb();

    void setHost(const QString &host);
    void setPort(int port);
    void setUser(const QString &user);
    void setPassword(const QString &password);
    void setDatabaseName(const QString &name);
    // Seconds a connect, read or write may take before it fails.
    void setTimeoutSeconds(int seconds);

    // Throws VorlanError with the driver's text on failure.
    void connect();
    bool isConnected() const;
    void disconnect();

    // Prepares text, binds the values by name (":pInicial" -> key "pInicial")
    // and runs it. Throws VorlanError on failure.
    QSqlQuery exec(const QString &text, const QVariantMap &values = {});
    // The same for a result read row by row as it arrives (see ResultStream).
    std::unique_ptr<ResultStream> stream(const QString &text, const QVariantMap &values = {});

    // Runs before every statement: a result still streaming must be read to
    // its end (or dropped) before the connection can serve another one.
    void setBeforeStatement(std::function<void()> hook);

    QSqlDatabase database() const;

private:
    // Throws VorlanError; *connectionLost tells that the server dropped it.
    QSqlQuery tryExec(const QString &text, const QVariantMap &values, bool *connectionLost) const;

    QString m_connectionName;
    QString m_host;
    int m_port = 3306;
    QString m_user;
    QString m_password;
    QString m_databaseName;
    int m_timeoutSeconds = 5;
    std::function<void()> m_beforeStatement;
};
