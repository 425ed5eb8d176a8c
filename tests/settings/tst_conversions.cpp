#include "app/VorlanError.h"
#include "settings/Conversions.h"
#include "settings/WindowsVersion.h"

#include <QTest>

class TstConversions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void integer_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QStringLiteral("8501") << true << 8501;
        QTest::newRow("leading blanks") << QStringLiteral("  42") << true << 42;
        QTest::newRow("sign") << QStringLiteral("-1") << true << -1;
        QTest::newRow("plus") << QStringLiteral("+7") << true << 7;
        QTest::newRow("dollar hex") << QStringLiteral("$1F") << true << 31;
        QTest::newRow("0x hex") << QStringLiteral("0x10") << true << 16;
        QTest::newRow("max") << QStringLiteral("2147483647") << true << 2147483647;
        QTest::newRow("min") << QStringLiteral("-2147483648") << true << int(-2147483648LL);
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("trailing blank") << QStringLiteral("42 ") << false << 0;
        QTest::newRow("letters") << QStringLiteral("abc") << false << 0;
        QTest::newRow("digits then letters") << QStringLiteral("12a") << false << 0;
        QTest::newRow("overflow") << QStringLiteral("2147483648") << false << 0;
        QTest::newRow("sign only") << QStringLiteral("-") << false << 0;
        QTest::newRow("decimal") << QStringLiteral("1.5") << false << 0;
    }

    void integer()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, value);
        try {
            const int got = Conversions::toInteger(text);
            QVERIFY2(ok, "conversion should have failed");
            QCOMPARE(got, value);
        } catch (const VorlanError &e) {
            QVERIFY2(!ok, qPrintable(e.message()));
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }

    void boolean_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // 1 on, 0 off, -1 error
        QTest::newRow("-1") << QStringLiteral("-1") << 1;
        QTest::newRow("0") << QStringLiteral("0") << 0;
        QTest::newRow("5") << QStringLiteral("5") << 1;
        QTest::newRow("True") << QStringLiteral("True") << 1;
        QTest::newRow("tRUE") << QStringLiteral("tRUE") << 1;
        QTest::newRow("false") << QStringLiteral("false") << 0;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("yes") << QStringLiteral("yes") << -1;
    }

    void boolean()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        try {
            const bool got = Conversions::toBoolean(text);
            QVERIFY(expected >= 0);
            QCOMPARE(int(got), expected);
        } catch (const VorlanError &e) {
            QCOMPARE(expected, -1);
            QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid boolean value").arg(text));
        }
    }

    void versionClass_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("family");
        QTest::addColumn<int>("expected");
        QTest::newRow("query fails") << false << 6 << 2 << 2 << 0;
        QTest::newRow("2000") << true << 5 << 0 << 2 << 3;
        QTest::newRow("XP") << true << 5 << 1 << 2 << 4;
        QTest::newRow("Vista") << true << 6 << 0 << 2 << 5;
        QTest::newRow("8.1 told 6.2") << true << 6 << 2 << 2 << 5;
        QTest::newRow("98") << true << 4 << 10 << 1 << 1;
        QTest::newRow("NT4") << true << 4 << 0 << 2 << 2;
        QTest::newRow("10 with manifest") << true << 10 << 0 << 2 << 2;
    }

    void versionClass()
    {
        QFETCH(bool, ok);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, family);
        QFETCH(int, expected);
        QCOMPARE(WindowsVersion::classify(ok, major, minor, WindowsVersion::PlatformFamily(family)),
                 expected);
    }
};

QTEST_APPLESS_MAIN(TstConversions)
#include "tst_conversions.moc"
