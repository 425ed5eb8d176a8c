#include "app/EventLog.h"

#include <QRegularExpression>
#include <QTest>
#include <QTimer>

class TstEventLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineFormat()
    {
        EventLog log;
        log.add(QStringLiteral("Inicializando sistema de comunicação."));
        const QString line = log.toPlainText();
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d - Inicializando sistema de "
                                              "comunicação\\.$"))
                .match(line)
                .hasMatch(),
            qPrintable(line));
        QCOMPARE(log.objectName(), QStringLiteral("Memo1"));
        QCOMPARE(log.accessibleDescription(), QStringLiteral("Memo1"));
        QVERIFY(log.isReadOnly());
        QCOMPARE(log.palette().color(QPalette::Base), QColor(65, 71, 81));
        QCOMPARE(log.trimTimer()->interval(), 5000);
    }

    void trimming_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("left");
        QTest::newRow("299 stay") << 299 << 299;
        QTest::newRow("300 emptied") << 300 << 0;
        QTest::newRow("301 emptied") << 301 << 0;
    }

    void trimming()
    {
        QFETCH(int, entries);
        QFETCH(int, left);
        EventLog log;
        log.resize(937, 209);
        log.show();
        for (int i = 0; i < entries; ++i)
            log.add(QStringLiteral("linha %1").arg(i));
        QCOMPARE(log.visibleLineCount(), entries);
        log.tLimpaMemoTimer();
        QCOMPARE(log.visibleLineCount(), left);
    }

    void wrappedEntriesCountTwice()
    {
        EventLog log;
        log.resize(300, 209);
        log.show();
        QVERIFY(QTest::qWaitForWindowExposed(&log));
        for (int i = 0; i < 150; ++i)
            log.add(QString(120, QLatin1Char('x')));
        QTRY_VERIFY(log.visibleLineCount() >= 300);
        log.tLimpaMemoTimer();
        QCOMPARE(log.visibleLineCount(), 0);
    }
};

QTEST_MAIN(TstEventLog)
#include "tst_eventlog.moc"
