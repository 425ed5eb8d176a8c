#include "app/Escreve.h"
#include "app/TimeText.h"
#include "app/Win1252.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void win1252RoundTrip()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Win1252::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0x80), QChar(0x20AC)); // euro sign, not a C1 control
        QCOMPARE(text.at(0xC3), QChar(0x00C3));
        bool ok = false;
        QCOMPARE(Win1252::encode(text, &ok), all);
        QVERIFY(ok);
    }

    void win1252Unencodable()
    {
        bool ok = true;
        QCOMPARE(Win1252::encode(QStringLiteral("a\U0001F600"), &ok), QByteArray("a??"));
        QVERIFY(!ok);
        QCOMPARE(Win1252::encode(QStringLiteral("NÃO")), QByteArray("N\xC3O"));
    }

    void parseTimeOfDay_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("seconds");
        QTest::newRow("full") << QStringLiteral("00:05:00") << 300;
        QTest::newRow("plain counter") << QStringLiteral("0:1:5") << 65;
        QTest::newRow("last second") << QStringLiteral("23:59:59") << 86399;
        QTest::newRow("masked blank hour") << QStringLiteral(" 1:00:00") << 3600;
        QTest::newRow("no seconds") << QStringLiteral("1:30") << 5400;
        QTest::newRow("empty mask") << QStringLiteral("  :  :  ") << -1;
        QTest::newRow("a day") << QStringLiteral("24:0:0") << -1;
        QTest::newRow("minutes 60") << QStringLiteral("0:60:0") << -1;
        QTest::newRow("letters") << QStringLiteral("ab:cd:ef") << -1;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("too many parts") << QStringLiteral("1:2:3:4") << -1;
        QTest::newRow("negative") << QStringLiteral("-1:00:00") << -1;
    }

    void parseTimeOfDay()
    {
        QFETCH(QString, text);
        QFETCH(int, seconds);
        const auto parsed = TimeText::parseTimeOfDay(text);
        QCOMPARE(parsed.value_or(-1), seconds);
    }

    void formatCounter()
    {
        QCOMPARE(TimeText::formatCounter(0, 1, 5).value_or(QString()), QStringLiteral("00:01:05"));
        QCOMPARE(TimeText::formatCounter(23, 59, 59).value_or(QString()),
                 QStringLiteral("23:59:59"));
        QVERIFY(!TimeText::formatCounter(24, 0, 0));
    }

    void escreveAppendsWithCrLf()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("out.txt"));
        Escreve(QStringLiteral("primeira;NÃO"), name);
        Escreve(QStringLiteral("segunda"), name);
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("primeira;N\xC3O\r\nsegunda\r\n"));
    }

    void escreveSwallowsErrors()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(QStringLiteral("missing/out.txt"));
        Escreve(QStringLiteral("x"), name); // must neither throw nor create anything
        QVERIFY(!QFile::exists(name));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing"))));
    }
};

QTEST_APPLESS_MAIN(TstCore)
#include "tst_core.moc"
