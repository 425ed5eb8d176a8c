#include "app/VorlanError.h"
#include "archive/CellStore.h"
#include "archive/ColumnLookup.h"
#include "archive/RecordingLocation.h"
#include "archive/ResultStream.h"
#include "archive/SearchStatement.h"
#include "archive/WaveRepair.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <unistd.h>

using namespace RecordingLocation;

class TestArchiveCore final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void words_data();
    void words();
    void location_data();
    void location();
    void sqlQuote_data();
    void sqlQuote();
    void cellsAcrossBlocks();
    void placeholders_data();
    void placeholders();
    void statements_data();
    void statements();
    void columnFold_data();
    void columnFold();
    void header();
    void repairSizes_data();
    void repairSizes();
    void repairThatCannotWrite();
};

void TestArchiveCore::words_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separators");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("words");

    const QString bs = QStringLiteral("\\");
    QTest::newRow("path") << QStringLiteral("D:\\Gravacoes\\2012\\05\\a.wav") << bs << 5
                          << QStringList { QStringLiteral("D:"), QStringLiteral("Gravacoes"),
                                           QStringLiteral("2012"), QStringLiteral("05"),
                                           QStringLiteral("a.wav") };
    QTest::newRow("runs and ends") << QStringLiteral("\\\\a\\\\\\b\\") << bs << 2
                                   << QStringList { QStringLiteral("a"), QStringLiteral("b") };
    QTest::newRow("empty") << QString() << bs << 0 << QStringList {};
    QTest::newRow("only separators")
        << QStringLiteral("///") << QStringLiteral("/") << 0 << QStringList {};
    QTest::newRow("no separator") << QStringLiteral("abc") << bs << 1
                                  << QStringList { QStringLiteral("abc") };
    QTest::newRow("url") << QStringLiteral("http://srv/x") << QStringLiteral("/") << 3
                         << QStringList { QStringLiteral("http:"), QStringLiteral("srv"),
                                          QStringLiteral("x") };
    QTest::newRow("two separators")
        << QStringLiteral("a;b,c") << QStringLiteral(";,") << 3
        << QStringList { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") };
}

void TestArchiveCore::words()
{
    QFETCH(QString, text);
    QFETCH(QString, separators);
    QFETCH(int, count);
    QFETCH(QStringList, words);
    QCOMPARE(CountWords(text, separators), count);
    for (int n = 1; n <= count; ++n) {
        QCOMPARE(NthWord(n, text, separators), words.at(n - 1));
        QVERIFY(ContainsWord(words.at(n - 1), text, separators));
    }
    QCOMPARE(NthWord(count + 1, text, separators), QString());
    QCOMPARE(NthWord(0, text, separators), QString());
    QVERIFY(!ContainsWord(QString(), text, separators));
    if (count > 0)
        QVERIFY(!ContainsWord(words.first().toUpper() + QStringLiteral("x"), text, separators));
}

void TestArchiveCore::location_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("fileName");

    const QString e = QStringLiteral("E:\\Copia");
    QTest::newRow("example") << QStringLiteral("D:\\Gravacoes\\2012\\05\\14\\ramal2001.wav") << e
                             << QStringLiteral("E:\\Copia\\2012\\05\\14\\ramal2001.wav")
                             << QStringLiteral("ramal2001.wav");
    QTest::newRow("2010") << QStringLiteral("D:\\G\\2010\\a.wav") << e
                          << QStringLiteral("E:\\Copia\\2010\\a.wav") << QStringLiteral("a.wav");
    QTest::newRow("2020") << QStringLiteral("D:\\G\\2020\\a.wav") << e
                          << QStringLiteral("E:\\Copia\\2020\\a.wav") << QStringLiteral("a.wav");
    QTest::newRow("2021") << QStringLiteral("D:\\G\\2021\\a.wav") << e << QString() << QString();
    QTest::newRow("2009") << QStringLiteral("D:\\G\\2009\\a.wav") << e << QString() << QString();
    QTest::newRow("starts with year")
        << QStringLiteral("2012\\05\\a.wav") << e << QStringLiteral("2012\\05\\a.wav")
        << QStringLiteral("a.wav");
    QTest::newRow("year inside a name")
        << QStringLiteral("D:\\rec2012x\\05\\a.wav") << e << QString() << QString();
    QTest::newRow("year also earlier")
        << QStringLiteral("D:\\rec2012\\2012\\a.wav") << e
        << QStringLiteral("E:\\Copia\\2012\\2012\\a.wav") << QStringLiteral("a.wav");
    QTest::newRow("latest year decides")
        << QStringLiteral("D:\\2011\\x\\2013\\a.wav") << e
        << QStringLiteral("E:\\Copia\\2013\\a.wav") << QStringLiteral("a.wav");
    QTest::newRow("web address") << QStringLiteral("D:\\G\\2012\\a.wav")
                                 << QStringLiteral("http://srv/grav")
                                 << QStringLiteral("http://srv/grav\\2012\\a.wav")
                                 << QStringLiteral("a.wav");
    QTest::newRow("http word") << QStringLiteral("D:\\G\\2012\\a.wav") << QStringLiteral("x/http/y")
                               << QStringLiteral("x/http/y/2012/a.wav")
                               << QStringLiteral("x/http/y/2012/a.wav");
    QTest::newRow("not answered") << QStringLiteral("Não Atendida") << e << QString() << QString();
    QTest::newRow("empty") << QString() << e << QString() << QString();
}

void TestArchiveCore::location()
{
    QFETCH(QString, path);
    QFETCH(QString, directory);
    QFETCH(QString, location);
    QFETCH(QString, fileName);
    QCOMPARE(map(path, directory), location);
    QCOMPARE(fileNamePart(location), fileName);
    QVERIFY(!forThisSystem(location).contains(QLatin1Char('\\')));
}

void TestArchiveCore::sqlQuote_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << QStringLiteral("2001") << QStringLiteral("'2001'");
    QTest::newRow("empty") << QString() << QStringLiteral("''");
    QTest::newRow("quote") << QStringLiteral("A'B") << QStringLiteral("'A''B'");
    QTest::newRow("backslash at end") << QStringLiteral("X\\") << QStringLiteral("'X\\\\'");
    QTest::newRow("escaped quote attempt")
        << QStringLiteral("\\' OR 1=1 -- ") << QStringLiteral("'\\\\'' OR 1=1 -- '");
    QTest::newRow("accents") << QStringLiteral("NÃO") << QStringLiteral("'NÃO'");
}

void TestArchiveCore::sqlQuote()
{
    QFETCH(QString, text);
    QFETCH(QString, quoted);
    QCOMPARE(SearchStatement::SqlQuote(text), quoted);
}

void TestArchiveCore::cellsAcrossBlocks()
{
    // Enough text to fill several blocks, lengths on both sides of each
    // length-byte boundary, one text larger than a block, nulls and numbers
    // between: every cell reads back as stored.
    CellStore cells;
    auto textOf = [](int i) {
        const int length = (i % 7 == 0) ? (i % 300) : (i % 131);
        return QByteArray(length, char('a' + i % 26));
    };
    const QByteArray huge(3 << 20, 'z');
    for (int i = 0; i < 40000; ++i) {
        if (i == 20000)
            cells.appendText(huge);
        else if (i % 5 == 0)
            cells.appendNull();
        else if (i % 5 == 1)
            cells.appendValue(-qint64(i) * 1000003);
        else
            cells.appendText(textOf(i));
    }
    QCOMPARE(cells.size(), 40000);
    for (int i = 0; i < 40000; ++i) {
        if (i == 20000) {
            QVERIFY(cells.text(i) == huge);
        } else if (i % 5 == 0) {
            QVERIFY(cells.isNull(i));
        } else if (i % 5 == 1) {
            QVERIFY(!cells.isNull(i));
            QCOMPARE(cells.value(i), -qint64(i) * 1000003);
        } else {
            QVERIFY2(cells.text(i) == textOf(i), qPrintable(QString::number(i)));
        }
    }
    cells.clear();
    QCOMPARE(cells.size(), 0);
}

void TestArchiveCore::placeholders_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("positional");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("dates") << QStringLiteral("a between :pInicial and :pFinal")
                           << QStringLiteral("a between ? and ?")
                           << QStringList { QStringLiteral("pInicial"), QStringLiteral("pFinal") };
    QTest::newRow("repeated name") << QStringLiteral(":x=:x") << QStringLiteral("?=?")
                                   << QStringList { QStringLiteral("x"), QStringLiteral("x") };
    QTest::newRow("colon in a value") << QStringLiteral("obs like '%a :b%' and h>:pHoraIni")
                                      << QStringLiteral("obs like '%a :b%' and h>?")
                                      << QStringList { QStringLiteral("pHoraIni") };
    QTest::newRow("doubled quote")
        << QStringLiteral("x='it''s :no' and y=:p") << QStringLiteral("x='it''s :no' and y=?")
        << QStringList { QStringLiteral("p") };
    QTest::newRow("escaped backslash before quote")
        << QStringLiteral("x='C:\\' and y=:p") << QStringLiteral("x='C:\\' and y=?")
        << QStringList { QStringLiteral("p") };
    QTest::newRow("other quotes") << QStringLiteral("`a:b` \"c:d\" :e")
                                  << QStringLiteral("`a:b` \"c:d\" ?")
                                  << QStringList { QStringLiteral("e") };
    QTest::newRow("not a name") << QStringLiteral("a::b, 10 : 20, :")
                                << QStringLiteral("a::b, 10 : 20, :") << QStringList {};
}

void TestArchiveCore::placeholders()
{
    QFETCH(QString, text);
    QFETCH(QString, positional);
    QFETCH(QStringList, names);
    QStringList got;
    QCOMPARE(ResultStream::positional(text, &got), positional);
    QCOMPARE(got, names);
}

void TestArchiveCore::statements_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<QString>("tail");

    QTest::newRow("0") << 0 << QString() << false
                       << QStringLiteral(
                              "where Registro.Data_Ini >=:pInicial and Registro.Data_Ini "
                              "<=:pFinal and busy='NÃO' order by "
                              "registro.data_ini,Registro.hora_ini");
    QTest::newRow("0 fallback")
        << 0 << QString() << true
        << QStringLiteral("where Registro.Data_Ini >=:pInicial and Registro.Data_Ini <=:pFinal "
                          "order by registro.data_ini,Registro.hora_ini");
    QTest::newRow("1") << 1 << QStringLiteral("2001") << false
                       << QStringLiteral("where integra.ramal ='2001'and Registro.Data_Ini "
                                         ">=:pInicial and Registro.Data_Ini <=:pFinal");
    QTest::newRow("2") << 2 << QString() << false
                       << QStringLiteral(
                              "where Registro.Data_Ini >=:pInicial and Registro.Data_Ini "
                              "<=:pFinal and Registro.Hora_Ini >=:pHoraIni and "
                              "Registro.Hora_Ini <=:pHoraFin");
    QTest::newRow("3") << 3 << QStringLiteral("2001") << false
                       << QStringLiteral("where integra.ramal ='2001'and Registro.Data_Ini "
                                         ">=:pInicial and Registro.Data_Ini <=:pFinal and "
                                         "Registro.Hora_Ini >=:pHoraIni and Registro.Hora_Ini "
                                         "<=:pHoraFin");
    QTest::newRow("4") << 4 << QStringLiteral("2001") << false
                       << QStringLiteral("where integra.ramal ='2001'");
    QTest::newRow("4 empty") << 4 << QString() << false
                             << QStringLiteral("where integra.ramal =''");
    QTest::newRow("5") << 5 << QStringLiteral("3333") << false
                       << QStringLiteral("where integra.numero like '%3333%'");
    QTest::newRow("5 empty") << 5 << QString() << false
                             << QStringLiteral("where integra.numero like '%%'");
    QTest::newRow("6") << 6 << QStringLiteral("3333") << false
                       << QStringLiteral("where integra.numero like '%3333%' and Registro.Data_Ini "
                                         ">=:pInicial and Registro.Data_Ini <=:pFinal");
    QTest::newRow("8") << 8 << QStringLiteral("O'B") << false
                       << QStringLiteral("where Registro.obs like '%O''B%'");
    QTest::newRow("8 backslash") << 8 << QStringLiteral("C:\\T") << false
                                 << QStringLiteral("where Registro.obs like '%C:\\\\\\\\T%'");
    QTest::newRow("9") << 9 << QStringLiteral("ignored") << false
                       << QStringLiteral("where integra.ramal ='N/B'and Registro.Data_Ini "
                                         ">=:pInicial and Registro.Data_Ini <=:pFinal and "
                                         "busy='NÃO'");
}

void TestArchiveCore::statements()
{
    QFETCH(int, kind);
    QFETCH(QString, value);
    QFETCH(bool, fallback);
    QFETCH(QString, tail);
    const QString head = QStringLiteral(
        "SELECT integra.id_reg,integra.ramal'Ramal',Registro.id,Registro.data_ini'Data',"
        "Registro.hora_ini'Hora',integra.duracao'Duração',integra.numero'Número',"
        "Integra.bilhete'Bilhete',registro.path,registro.obs,registro.sentido'Sentido' "
        "from (integra inner join registro on integra.id_reg=registro.id) ");
    QCOMPARE(SearchStatement::statement(kind, value, fallback), head + tail);
}

void TestArchiveCore::columnFold_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("same");
    QTest::newRow("número") << QStringLiteral("número") << QStringLiteral("Número") << true;
    QTest::newRow("duração") << QStringLiteral("duração") << QStringLiteral("Duração") << true;
    QTest::newRow("DURAÇÃO") << QStringLiteral("DURAÇÃO") << QStringLiteral("Duração") << true;
    QTest::newRow("data") << QStringLiteral("data") << QStringLiteral("Data") << true;
    QTest::newRow("numero") << QStringLiteral("numero") << QStringLiteral("Número") << true;
    QTest::newRow("different") << QStringLiteral("hora") << QStringLiteral("Data") << false;
}

void TestArchiveCore::columnFold()
{
    QFETCH(QString, asked);
    QFETCH(QString, column);
    QFETCH(bool, same);
    QCOMPARE(ColumnLookup::fold(asked) == ColumnLookup::fold(column), same);
}

void TestArchiveCore::header()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WaveRepair::MontaWave(buffer, 1, 8, 8000);
    const QByteArray expected = QByteArray::fromHex("52494646"
                                                    "24000000"
                                                    "57415645"
                                                    "666d7420"
                                                    "10000000"
                                                    "0600"
                                                    "0100"
                                                    "401f0000"
                                                    "401f0000"
                                                    "0100"
                                                    "0800"
                                                    "64617461"
                                                    "00000000");
    QCOMPARE(bytes, expected);
}

void TestArchiveCore::repairSizes_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("1000 bytes") << 1000;
    QTest::newRow("44 bytes") << 44;
    QTest::newRow("10 bytes") << 10;
    QTest::newRow("empty") << 0;
}

void TestArchiveCore::repairSizes()
{
    QFETCH(int, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rec.wav"));
    QByteArray original(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        original[i] = char(i * 7 + 3);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
    WaveRepair::repairFile(path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray out = f.readAll();
    const int length = std::max(size, 44);
    QCOMPARE(out.size(), length);
    QCOMPARE(out.left(4), QByteArray("RIFF"));
    QCOMPARE(qFromLittleEndian<quint32>(out.constData() + 4), quint32(length - 8));
    QCOMPARE(qFromLittleEndian<quint32>(out.constData() + 40), quint32(length - 44));
    QCOMPARE(qFromLittleEndian<quint16>(out.constData() + 20), quint16(6));
    QCOMPARE(out.mid(44), original.mid(44));
    if (size == 1000) {
        QCOMPARE(qFromLittleEndian<quint32>(out.constData() + 4), 992u);
        QCOMPARE(qFromLittleEndian<quint32>(out.constData() + 40), 956u);
    }
}

void TestArchiveCore::repairThatCannotWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("locked.wav"));
    const QByteArray original(200, 'x');
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(original);
    }
    if (geteuid() != 0) {
        QFile::setPermissions(path, QFile::ReadOwner);
        QVERIFY_THROWS_EXCEPTION(VorlanError, WaveRepair::repairFile(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), original);
    }
    // Even root cannot create the temporary file beside a /proc entry.
    QVERIFY(QFile::exists(QStringLiteral("/proc/self/cmdline")));
    QVERIFY_THROWS_EXCEPTION(VorlanError,
                             WaveRepair::repairFile(QStringLiteral("/proc/self/cmdline")));
    QVERIFY_THROWS_EXCEPTION(VorlanError,
                             WaveRepair::repairFile(dir.filePath(QStringLiteral("gone.wav"))));
}

QTEST_GUILESS_MAIN(TestArchiveCore)
#include "tst_archive_core.moc"
