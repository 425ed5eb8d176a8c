#include "app/VorlanError.h"
#include "app/Win1252.h"
#include "archive/ColumnLookup.h"
#include "archive/CommentUpdate.h"
#include "archive/RecordingSearch.h"
#include "archive/RecordingsDb.h"
#include "archive/RecordingsModel.h"
#include "archive/ResultExport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
QString fixtureDir()
{
    return qEnvironmentVariable("VORLAN_TEST_DB_DIR");
}

int fixturePort()
{
    QFile f(fixtureDir() + QStringLiteral("/port"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().trimmed().toInt();
}

bool serverScript(const QStringList &args)
{
    const QString script
        = qEnvironmentVariable("VORLAN_TEST_DB_SCRIPTS") + QStringLiteral("/server.sh");
    return QProcess::execute(script, args) == 0;
}

QList<int> ids(RecordingsModel &model)
{
    model.fetchAllRows();
    QList<int> out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.value(row, QStringLiteral("id")).toInt();
    return out;
}

const QDate d13(2012, 5, 13);
const QDate d14(2012, 5, 14);
const QDate d16(2012, 5, 16);
} // namespace

class TestArchiveDb final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void searches_data();
    void searches();
    void kindNineWithoutBusyFails();
    void inputErrors();
    void columnsAndCharset();
    void modelKeepsValuesAcrossChunks();
    void statementWhileListStreams();
    void listStreamsOnTheEventLoop();
    void comments_data();
    void comments();
    void commentThatLatin1CannotHold();
    void exportLines();
    void exportHostileComment();
    void silentServerIsBounded();
    void serverDownThenUp();
    void serverRestartWhileConnected();
    void serverKilledWhileListStreams();

private:
    std::unique_ptr<RecordingsDb> connectTo(const QString &database,
                                            const QString &name = QStringLiteral("t"));
    int m_port = 0;
    QStringList m_messages;
};

std::unique_ptr<RecordingsDb> TestArchiveDb::connectTo(const QString &database, const QString &name)
{
    auto db = std::make_unique<RecordingsDb>(name);
    db->setHost(QStringLiteral("127.0.0.1"));
    db->setPort(m_port);
    db->setUser(QStringLiteral("vorlan"));
    db->setPassword(QStringLiteral("vorlan"));
    db->setDatabaseName(database);
    db->setTimeoutSeconds(2);
    return db;
}

void TestArchiveDb::initTestCase()
{
    m_port = fixturePort();
    QVERIFY2(m_port > 0, "the archive_db fixture did not start");
}

void TestArchiveDb::searches_data()
{
    QTest::addColumn<QString>("database");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QString>("hora");
    QTest::addColumn<QString>("hora1");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ordered");
    QTest::addColumn<QList<int>>("expected");

    const QString reg = QStringLiteral("vorlan");
    const QString integ = QStringLiteral("vorlan_integra");
    const QString none = QStringLiteral("vorlan_none");
    const QString e;
    const QString h8 = QStringLiteral("08:00");
    const QString h859 = QStringLiteral("08:59");
    auto row = [&](const char *name, const QString &db, int kind, QDate from, QDate to,
                   const QString &hora, const QString &hora1, const QString &value, bool ordered,
                   QList<int> expected) {
        QTest::newRow(name) << db << kind << from << to << hora << hora1 << value << ordered
                            << expected;
    };
    const QList<int> notBusy { 1, 2, 3, 4, 6, 8, 9, 10 };
    row("0 busy in registro", reg, 0, d13, d16, e, e, e, true, notBusy);
    row("0 busy in integra", integ, 0, d13, d16, e, e, e, true, notBusy);
    row("0 no busy: fallback", none, 0, d13, d16, e, e, e, true, { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 });
    row("0 Data after Data1", reg, 0, d16, d13, e, e, e, true, {});
    row("1 extension", reg, 1, d13, d16, e, e, QStringLiteral("2002"), false, { 3, 4 });
    row("1 outside period", reg, 1, QDate(2012, 5, 15), d16, e, e, QStringLiteral("2002"), false,
        {});
    row("1 Data after Data1", reg, 1, d16, d13, e, e, QStringLiteral("2002"), false, {});
    row("2 window each day", reg, 2, d13, d16, h8, h859, e, false, { 2, 3, 4, 6, 9 });
    row("2 one-digit hour", reg, 2, d13, d16, QStringLiteral("8:00"), QStringLiteral("8:59"), e,
        false, { 2, 3, 4, 6, 9 });
    row("2 start after end", reg, 2, d13, d16, QStringLiteral("09:00"), h8, e, false, {});
    row("3 extension window", reg, 3, d13, d16, h8, h859, QStringLiteral("2001"), false, { 2 });
    row("4 extension", reg, 4, QDate(), QDate(), e, e, QStringLiteral("2002"), false, { 3, 4 });
    row("4 quote", reg, 4, QDate(), QDate(), e, e, QStringLiteral("O'NEIL"), false, { 9 });
    row("4 backslash at end", reg, 4, QDate(), QDate(), e, e, QStringLiteral("X\\"), false, { 11 });
    row("4 empty is the empty extension", reg, 4, QDate(), QDate(), e, e, e, false, { 10 });
    row("4 colon is no parameter", reg, 4, QDate(), QDate(), e, e, QStringLiteral("12:30"), false,
        {});
    row("5 number part", reg, 5, QDate(), QDate(), e, e, QStringLiteral("4444"), false, { 1, 5 });
    row("5 empty matches non-null", reg, 5, QDate(), QDate(), e, e, e, false,
        { 1, 2, 3, 4, 5, 6, 7, 8, 9, 11 });
    row("6 number in period", reg, 6, d13, d13, e, e, QStringLiteral("4444"), false, { 1 });
    row("6 wider period", reg, 6, d13, d14, e, e, QStringLiteral("4444"), false, { 1, 5 });
    row("7 whole archive", reg, 7, QDate(), QDate(), e, e, e, true,
        { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 });
    row("8 comment", reg, 8, QDate(), QDate(), e, e, QStringLiteral("RETORNO"), false, { 2 });
    row("8 quote", reg, 8, QDate(), QDate(), e, e, QStringLiteral("O'BRIEN"), false, { 3 });
    row("8 backslash finds backslash", reg, 8, QDate(), QDate(), e, e, QStringLiteral("C:\\TEMP\\"),
        false, { 4 });
    row("8 lower case stored", reg, 8, QDate(), QDate(), e, e, QStringLiteral("LIGAÇÃO"), false,
        { 5 });
    row("8 empty matches non-null", reg, 8, QDate(), QDate(), e, e, e, false, { 2, 3, 4, 5, 6 });
    row("8 injection attempt", reg, 8, QDate(), QDate(), e, e, QStringLiteral("\\' OR 1=1 -- "),
        false, {});
    row("8 placeholder-like text", reg, 8, QDate(), QDate(), e, e, QStringLiteral(":pInicial"),
        false, {});
    row("8 underscore wildcard", reg, 8, QDate(), QDate(), e, e, QStringLiteral("R_TORNO"), false,
        { 2 });
    row("9 not billed", reg, 9, d13, d16, e, e, e, false, { 6 });
    row("9 busy in integra", integ, 9, d13, d16, e, e, e, false, { 6 });
}

void TestArchiveDb::searches()
{
    QFETCH(QString, database);
    QFETCH(int, kind);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QString, hora);
    QFETCH(QString, hora1);
    QFETCH(QString, value);
    QFETCH(bool, ordered);
    QFETCH(QList<int>, expected);

    auto db = connectTo(database);
    RecordingsModel model;
    QStringList messages;
    RecordingSearch search(db.get(), &model, [&](const QString &m) { messages << m; });
    db->connect();
    search.run({ kind, from, to, hora, hora1, value });
    QVERIFY(model.isOpen());
    QList<int> got = ids(model);
    if (!ordered)
        std::sort(got.begin(), got.end());
    QCOMPARE(got, expected);
    QVERIFY(messages.isEmpty());

    // The rows read off the wire are the ones Qt's own driver gives for the
    // same statement: names, types and every shown text.
    QSqlQuery driver = db->exec(search.lastStatement(), search.lastValues());
    const QSqlRecord streamed = model.record();
    QCOMPARE(streamed.count(), driver.record().count());
    for (int c = 0; c < streamed.count(); ++c) {
        QCOMPARE(streamed.fieldName(c), driver.record().fieldName(c));
        QCOMPARE(streamed.field(c).metaType(), driver.record().field(c).metaType());
    }
    for (int row = 0; driver.next(); ++row) {
        for (int c = 0; c < streamed.count(); ++c) {
            const QVariant mine = model.index(row, c).data(Qt::EditRole);
            QCOMPARE(mine.isNull(), driver.value(c).isNull());
            QCOMPARE(RecordingsModel::displayText(mine),
                     RecordingsModel::displayText(driver.value(c)));
        }
    }
}

void TestArchiveDb::kindNineWithoutBusyFails()
{
    auto db = connectTo(QStringLiteral("vorlan_none"));
    RecordingsModel model;
    RecordingSearch search(db.get(), &model, [](const QString &) {});
    try {
        search.run({ 9, d13, d16, {}, {}, {} });
        QFAIL("kind 9 without busy must fail");
    } catch (const VorlanError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("busy")), qPrintable(e.message()));
    }
    QVERIFY(!model.isOpen());
    QCOMPARE(model.rowCount(), 0);
}

void TestArchiveDb::inputErrors()
{
    auto db = connectTo(QStringLiteral("vorlan"));
    RecordingsModel model;
    QStringList messages;
    RecordingSearch search(db.get(), &model, [&](const QString &m) { messages << m; });

    // Not connected yet: kind 0 says so and goes on to connect.
    search.run({ 0, d13, d16, {}, {}, {} });
    QCOMPARE(messages, QStringList { QStringLiteral("Esta Desconectado") });
    QCOMPARE(model.rowCount(), 8);

    messages.clear();
    search.run({ -1, d13, d16, {}, {}, {} });
    QCOMPARE(messages, QStringList { QStringLiteral("Selecione um tipo de Relatório.") });
    QCOMPARE(model.rowCount(), 8); // the grid keeps what it shows

    // An empty mask box reads ":"; kinds 2 and 3 cannot convert it.
    for (int kind : { 2, 3 }) {
        QVERIFY_THROWS_EXCEPTION(VorlanError,
                                 search.run({ kind, d13, d16, QStringLiteral(":"),
                                              QStringLiteral("08:59"), QStringLiteral("2001") }));
        QVERIFY(!model.isOpen());
        QCOMPARE(model.rowCount(), 0);
    }
    // Other kinds ignore the empty time boxes.
    search.run({ 1, d13, d16, QStringLiteral(":"), QStringLiteral(":"), QStringLiteral("2001") });
    QCOMPARE(model.rowCount(), 2);
}

void TestArchiveDb::columnsAndCharset()
{
    auto db = connectTo(QStringLiteral("vorlan"));
    RecordingsModel model;
    RecordingSearch search(db.get(), &model, [](const QString &) {});
    search.run({ 7, {}, {}, {}, {}, {} });
    const QSqlRecord rec = model.record();
    QCOMPARE(rec.count(), 11);
    const QStringList names { QStringLiteral("id_reg"), QStringLiteral("Ramal"),
                              QStringLiteral("id"),     QStringLiteral("Data"),
                              QStringLiteral("Hora"),   QStringLiteral("Duração"),
                              QStringLiteral("Número"), QStringLiteral("Bilhete"),
                              QStringLiteral("path"),   QStringLiteral("obs"),
                              QStringLiteral("Sentido") };
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(rec.fieldName(i), names.at(i));
    QCOMPARE(ColumnLookup::indexOf(rec, QStringLiteral("número")), 6);
    QCOMPARE(ColumnLookup::indexOf(rec, QStringLiteral("duração")), 5);
    QCOMPARE(ColumnLookup::indexOf(rec, QStringLiteral("data")), 3);
    QCOMPARE(ColumnLookup::indexOf(rec, QStringLiteral("nada")), -1);
    QVERIFY_THROWS_EXCEPTION(VorlanError, model.value(0, QStringLiteral("nada")));

    QCOMPARE(model.value(9, QStringLiteral("path")).toString(), QStringLiteral("Não Atendida"));
    QCOMPARE(model.value(1, QStringLiteral("sentido")).toString(), QStringLiteral("Saída"));
    QCOMPARE(model.value(4, QStringLiteral("obs")).toString(), QStringLiteral("ligação urgente"));
    QCOMPARE(model.value(0, QStringLiteral("data")).toDate(), d13);
    QCOMPARE(model.value(0, QStringLiteral("hora")).toTime(), QTime(7, 59, 59));
    QCOMPARE(model.data(model.index(0, 3)).toString(), QStringLiteral("13/05/2012"));
    QCOMPARE(model.data(model.index(0, 4)).toString(), QStringLiteral("07:59:59"));
    QVERIFY(model.value(0, QStringLiteral("obs")).isNull());
}

void TestArchiveDb::modelKeepsValuesAcrossChunks()
{
    // Several chunks of rows of every column type the grid gets, read back
    // exactly after the rows are fetched in stages.
    auto db = connectTo(QStringLiteral("vorlan"));
    RecordingsModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.openList(db->stream(QStringLiteral(
        "SELECT seq, -seq 'neg', CAST(seq AS DOUBLE) / 4 'q', "
        "DATE('2020-01-01') + INTERVAL seq DAY 'd', SEC_TO_TIME(seq * 61) 'h', "
        "IF(seq % 3 = 0, NULL, CONCAT('Não ', seq)) 'txt', IF(seq % 5 = 0, '', NULL) 'e', "
        "IF(seq % 250 = 0, REPEAT('ção', 400 + seq), 'curto') 'longo' "
        "FROM seq_1_to_700")));
    const int firstChunk = model.rowCount();
    QVERIFY(firstChunk > 0);
    QVERIFY(firstChunk < 700);
    while (model.canFetchMore())
        model.fetchMore();
    QCOMPARE(model.rowCount(), 700);
    // Every row after the first chunk was announced to the views, in order.
    int next = firstChunk;
    for (const QList<QVariant> &args : std::as_const(inserted)) {
        QCOMPARE(args.at(1).toInt(), next);
        next = args.at(2).toInt() + 1;
    }
    QCOMPARE(next, 700);
    for (int row : { 0, 254, 255, 256, 511, 512, 699 }) {
        const int seq = row + 1;
        QCOMPARE(model.value(row, QStringLiteral("seq")).toLongLong(), seq);
        QCOMPARE(model.value(row, QStringLiteral("neg")).toLongLong(), -seq);
        QCOMPARE(model.value(row, QStringLiteral("q")).toDouble(), seq / 4.0);
        QCOMPARE(model.value(row, QStringLiteral("d")).toDate(), QDate(2020, 1, 1).addDays(seq));
        QCOMPARE(model.value(row, QStringLiteral("h")).toTime(), QTime(0, 0).addSecs(seq * 61));
        const QVariant txt = model.value(row, QStringLiteral("txt"));
        QCOMPARE(txt.isNull(), seq % 3 == 0);
        if (seq % 3 != 0)
            QCOMPARE(txt.toString(), QStringLiteral("Não %1").arg(seq));
        const QVariant e = model.value(row, QStringLiteral("e"));
        QCOMPARE(e.isNull(), seq % 5 != 0);
        QCOMPARE(model.data(model.index(row, 5)).toString(),
                 seq % 3 == 0 ? QString() : QStringLiteral("Não %1").arg(seq));
    }
    // Texts longer than a row buffer come whole, and the next row's short
    // text is not left with the long one's tail.
    for (int seq : { 250, 500 }) {
        QCOMPARE(model.value(seq - 1, QStringLiteral("longo")).toString(),
                 QStringLiteral("ção").repeated(400 + seq));
        QCOMPARE(model.value(seq, QStringLiteral("longo")).toString(), QStringLiteral("curto"));
    }
}

void TestArchiveDb::statementWhileListStreams()
{
    // A comment saved while a large list is still coming in must neither
    // fail ("commands out of sync") nor cut the list short.
    auto db = connectTo(QStringLiteral("vorlan"));
    RecordingsModel model;
    RecordingSearch search(db.get(), &model, [](const QString &) {});
    db->connect();
    model.openList(db->stream(QStringLiteral("SELECT seq FROM seq_1_to_20000")));
    QVERIFY(model.rowCount() < 20000);
    CommentUpdate::save(*db, 12, QStringLiteral("durante a lista"));
    QCOMPARE(model.rowCount(), 20000);
    QVERIFY(!model.canFetchMore());
    QCOMPARE(model.value(19999, QStringLiteral("seq")).toInt(), 20000);
    QSqlQuery q = db->exec(QStringLiteral("SELECT obs FROM registro WHERE id=12"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("durante a lista"));
}

void TestArchiveDb::listStreamsOnTheEventLoop()
{
    // After the first screen the rest arrives by itself, in order, with
    // the views told of every row.
    auto db = connectTo(QStringLiteral("vorlan"));
    db->connect();
    RecordingsModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.openList(db->stream(QStringLiteral("SELECT seq FROM seq_1_to_30000")));
    QTRY_VERIFY_WITH_TIMEOUT(!model.canFetchMore(), 20000);
    QCOMPARE(model.rowCount(), 30000);
    QVERIFY(inserted.count() >= 1);
    QCOMPARE(inserted.last().at(2).toInt(), 29999);
    for (int row : { 0, 255, 256, 12345, 29999 })
        QCOMPARE(model.value(row, QStringLiteral("seq")).toInt(), row + 1);
}

void TestArchiveDb::comments_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("colon") << QStringLiteral("it's 12:30");
    QTest::newRow("parameters") << QStringLiteral(":id :obs :pInicial");
    QTest::newRow("quotes") << QStringLiteral("a ' b '' c \" d");
    QTest::newRow("backslashes") << QStringLiteral("C:\\temp\\ \\' \\");
    QTest::newRow("line breaks") << QStringLiteral("um\r\ndois\nfim");
    QTest::newRow("nul") << QStringLiteral("antes") + QChar(0) + QStringLiteral("depois");
    QTest::newRow("accents") << QStringLiteral("NÃO ligação é € ü");
    QTest::newRow("injection") << QStringLiteral("x' WHERE 1=1 -- ");
}

void TestArchiveDb::comments()
{
    QFETCH(QString, text);
    auto db = connectTo(QStringLiteral("vorlan"));
    // Recording 12 has no call row, so the searches never see it.
    const auto others = [&] {
        QSqlQuery q
            = db->exec(QStringLiteral("SELECT id, obs FROM registro WHERE id<>12 ORDER BY id"));
        QStringList out;
        while (q.next())
            out << q.value(0).toString() + QLatin1Char('=') + q.value(1).toString();
        return out;
    };
    const QStringList before = others();
    CommentUpdate::save(*db, 12, text);
    QCOMPARE(others(), before);

    // A second connection sees the new text at once.
    auto second = connectTo(QStringLiteral("vorlan"), QStringLiteral("second"));
    QSqlQuery q = second->exec(QStringLiteral("SELECT obs, HEX(obs) FROM registro WHERE id=12"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), text);
    bool ok = false;
    QCOMPARE(q.value(1).toString(),
             QString::fromLatin1(Win1252::encode(text, &ok).toHex().toUpper()));
}

void TestArchiveDb::commentThatLatin1CannotHold()
{
    auto db = connectTo(QStringLiteral("vorlan"));
    CommentUpdate::save(*db, 12, QStringLiteral("ORFA"));
    QVERIFY_THROWS_EXCEPTION(VorlanError,
                             CommentUpdate::save(*db, 12, QStringLiteral("ok \U0001F600")));
    QSqlQuery q = db->exec(QStringLiteral("SELECT obs FROM registro WHERE id=12"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("ORFA"));
}

void TestArchiveDb::exportLines()
{
    auto db = connectTo(QStringLiteral("vorlan"));
    RecordingsModel model;
    RecordingSearch search(db.get(), &model, [](const QString &) {});
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lista.txt"));

    // No search yet: nothing written.
    QVERIFY_THROWS_EXCEPTION(VorlanError, ResultExport::exportAll(model, file));
    QVERIFY(!QFile::exists(file));

    search.run({ 4, {}, {}, {}, {}, QStringLiteral("NADA") });
    QCOMPARE(ResultExport::exportAll(model, file), -1);
    QVERIFY(!QFile::exists(file));

    search.run({ 0, d13, d16, {}, {}, {} });
    QCOMPARE(ResultExport::exportAll(model, file), 7);
    QCOMPARE(ResultExport::exportAll(model, file), 7);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QByteArray once = QByteArrayLiteral(
        "2001;13/05/2012;07:59:59;00:01:10;1133334444;B1; \r\n"
        "2001;13/05/2012;08:00:00;00:02:00;21999990000;B2;CLIENTE PEDIU RETORNO\r\n"
        "2002;14/05/2012;08:30:00;00:00:30;1133335555;B3;O'BRIEN LIGOU\r\n"
        "2002;14/05/2012;08:59:59;00:10:00;48333312; ;VER C:\\TEMP\\ARQUIVO\r\n"
        "N/B;15/05/2012;08:15:00;00:00:07;5555; ;\r\n"
        "Restr;15/05/2012;23:59:59;00:03:00;7777;B8; \r\n"
        "O'NEIL;16/05/2012;08:10:00;00:00:09;3333;B9; \r\n"
        ";16/05/2012;10:00:00;00:00:00; ; ; \r\n");
    QCOMPARE(bytes, once + once);
}

void TestArchiveDb::exportHostileComment()
{
    auto db = connectTo(QStringLiteral("vorlan"));
    QSqlQuery q = db->exec(QStringLiteral("SELECT obs FROM registro WHERE id=3"));
    QVERIFY(q.next());
    const QString original = q.value(0).toString();
    CommentUpdate::save(*db, 3, QStringLiteral("a;b\r\nção"));
    RecordingsModel model;
    RecordingSearch search(db.get(), &model, [](const QString &) {});
    search.run({ 8, {}, {}, {}, {}, QStringLiteral("A;B") });
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("x.txt"));
    ResultExport::exportAll(model, file);
    CommentUpdate::save(*db, 3, original);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(),
             QByteArray("2002;14/05/2012;08:30:00;00:00:30;1133335555;B3;a;b\r\n\xe7\xe3o\r\n"));
}

void TestArchiveDb::silentServerIsBounded()
{
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    auto db = connectTo(QStringLiteral("vorlan"));
    db->setPort(silent.serverPort());
    db->setTimeoutSeconds(1);
    QElapsedTimer clock;
    clock.start();
    QVERIFY_THROWS_EXCEPTION(VorlanError, db->connect());
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!db->isConnected());
}

void TestArchiveDb::serverDownThenUp()
{
    auto db = connectTo(QStringLiteral("vorlan"));
    RecordingsModel model;
    RecordingSearch search(db.get(), &model, [](const QString &) {});
    QVERIFY(serverScript({ QStringLiteral("stop"), fixtureDir() }));
    QVERIFY_THROWS_EXCEPTION(VorlanError, db->connect());
    QVERIFY(!db->isConnected());
    QVERIFY_THROWS_EXCEPTION(VorlanError, search.run({ 7, {}, {}, {}, {}, {} }));
    QVERIFY(!model.isOpen());
    QVERIFY(serverScript({ QStringLiteral("start"), fixtureDir(), QString::number(m_port) }));
    search.run({ 7, {}, {}, {}, {}, {} });
    QCOMPARE(model.rowCount(), 11);
}

void TestArchiveDb::serverRestartWhileConnected()
{
    auto db = connectTo(QStringLiteral("vorlan"));
    RecordingsModel model;
    RecordingSearch search(db.get(), &model, [](const QString &) {});
    search.run({ 4, {}, {}, {}, {}, QStringLiteral("2002") });
    QCOMPARE(model.rowCount(), 2);
    QVERIFY(serverScript({ QStringLiteral("stop"), fixtureDir() }));
    QVERIFY(serverScript({ QStringLiteral("start"), fixtureDir(), QString::number(m_port) }));
    QVERIFY(db->isConnected()); // the driver does not notice by itself
    search.refresh();
    QCOMPARE(model.rowCount(), 2);
}

void TestArchiveDb::serverKilledWhileListStreams()
{
    auto db = connectTo(QStringLiteral("vorlan"));
    RecordingsModel model;
    QStringList failures;
    connect(&model, &RecordingsModel::readFailed, this,
            [&](const QString &message) { failures << message; });
    RecordingSearch search(db.get(), &model, [](const QString &) {});
    db->connect();
    model.openList(
        db->stream(QStringLiteral("SELECT seq, REPEAT('x', 200) 'pad' FROM seq_1_to_3000000")));
    QVERIFY(model.canFetchMore());

    QFile pidFile(fixtureDir() + QStringLiteral("/mysqld.pid"));
    QVERIFY(pidFile.open(QIODevice::ReadOnly));
    const QString pid = QString::fromLatin1(pidFile.readAll().trimmed());
    QCOMPARE(QProcess::execute(QStringLiteral("kill"), { QStringLiteral("-9"), pid }), 0);
    // The slices read what was already on the way, then tell the loss; the
    // rows that came stay, in order.
    QTRY_VERIFY_WITH_TIMEOUT(!failures.isEmpty(), 30000);
    QVERIFY2(failures.first().contains(QStringLiteral("connection"), Qt::CaseInsensitive),
             qPrintable(failures.first()));
    QVERIFY(!model.canFetchMore());
    const int rows = model.rowCount();
    QVERIFY(rows > 0 && rows < 3000000);
    QCOMPARE(model.value(rows - 1, QStringLiteral("seq")).toInt(), rows);

    // The next search finds the restarted server by itself.
    QTRY_VERIFY_WITH_TIMEOUT(
        QProcess::execute(QStringLiteral("kill"), { QStringLiteral("-0"), pid }) != 0, 10000);
    QVERIFY(serverScript({ QStringLiteral("start"), fixtureDir(), QString::number(m_port) }));
    search.run({ 7, {}, {}, {}, {}, {} });
    QCOMPARE(model.rowCount(), 11);
}

QTEST_GUILESS_MAIN(TestArchiveDb)
#include "tst_archive_db.moc"
