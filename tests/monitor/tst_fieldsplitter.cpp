#include "monitor/FieldSplitter.h"
#include "monitor/StatusRecord.h"

#include <QTest>

class TestFieldSplitter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fields_data();
    void fields();
    void records_data();
    void records();
};

void TestFieldSplitter::fields_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty n1") << QByteArray() << 1 << QByteArray();
    QTest::newRow("empty n2") << QByteArray() << 2 << QByteArray();
    QTest::newRow("empty n20") << QByteArray() << 20 << QByteArray();
    QTest::newRow("one char n1") << QByteArray("a") << 1 << QByteArray("a");
    QTest::newRow("one char n3") << QByteArray("a") << 3 << QByteArray("a");
    QTest::newRow("separator only n1") << QByteArray("|") << 1 << QByteArray();
    QTest::newRow("separator only n2") << QByteArray("|") << 2 << QByteArray();
    QTest::newRow("no separator n1 blanks") << QByteArray("ab") << 1 << QByteArray();
    QTest::newRow("no separator n2 whole") << QByteArray("abc") << 2 << QByteArray("abc");
    QTest::newRow("leading separator n1") << QByteArray("|ab") << 1 << QByteArray();
    QTest::newRow("leading separator n2") << QByteArray("|ab") << 2 << QByteArray("ab");
    QTest::newRow("first") << QByteArray("ab|cd") << 1 << QByteArray("ab");
    QTest::newRow("one-char first") << QByteArray("a|b") << 1 << QByteArray("a");
    QTest::newRow("middle") << QByteArray("a|b|c") << 2 << QByteArray("b");
    QTest::newRow("last") << QByteArray("a|b|c") << 3 << QByteArray("c");
    QTest::newRow("beyond gives last") << QByteArray("a|b|c") << 9 << QByteArray("c");
    QTest::newRow("field 3 of two fields") << QByteArray("x|y") << 3 << QByteArray("y");
    QTest::newRow("empty middle") << QByteArray("a||c") << 2 << QByteArray();
    QTest::newRow("trailing separator, its field") << QByteArray("a|b|") << 2 << QByteArray("b");
    QTest::newRow("trailing separator, after") << QByteArray("a|b|") << 3 << QByteArray();
    QTest::newRow("trailing separator, beyond") << QByteArray("a|b|") << 7 << QByteArray();
    QTest::newRow("first with trailing") << QByteArray("ab|") << 1 << QByteArray("ab");
}

void TestFieldSplitter::fields()
{
    QFETCH(QByteArray, text);
    QFETCH(int, n);
    QFETCH(QByteArray, expected);
    QCOMPARE(fieldSplitter(text, '|', n), expected);
}

namespace {
QByteArray reply(int records, bool trailing)
{
    QByteArray text;
    for (int k = 1; k <= records; ++k) {
        if (k > 1)
            text.append(char(0xA8));
        text.append("R" + QByteArray::number(k) + "|-1|SIM|Desabilitado|extra");
    }
    if (trailing)
        text.append(char(0xA8));
    return text;
}
} // namespace

void TestFieldSplitter::records_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("k");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("recording");
    QTest::addColumn<QByteArray>("listening");
    QTest::addColumn<QByteArray>("activity");

    const QByteArray full = reply(20, false);
    QTest::newRow("record 1") << full << 1 << QByteArray("R1") << QByteArray("-1")
                              << QByteArray("SIM") << QByteArray("Desabilitado");
    QTest::newRow("record 20") << full << 20 << QByteArray("R20") << QByteArray("-1")
                               << QByteArray("SIM") << QByteArray("Desabilitado");
    QTest::newRow("trailing 0xA8 is harmless")
        << reply(20, true) << 20 << QByteArray("R20") << QByteArray("-1") << QByteArray("SIM")
        << QByteArray("Desabilitado");
    QTest::newRow("short reply repeats its last record")
        << reply(5, false) << 17 << QByteArray("R5") << QByteArray("-1") << QByteArray("SIM")
        << QByteArray("Desabilitado");
    QTest::newRow("no 0xA8: record 1 is empty") << QByteArray("Nome|-1|SIM") << 1 << QByteArray()
                                                << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("no 0xA8: later records are the whole reply")
        << QByteArray("Nome|-1|SIM") << 2 << QByteArray("Nome") << QByteArray("-1")
        << QByteArray("SIM") << QByteArray("SIM");
    QTest::newRow("record without bar blanks the name")
        << QByteArray("a\xA8xyz") << 2 << QByteArray() << QByteArray("xyz") << QByteArray("xyz")
        << QByteArray("xyz");
    QTest::newRow("Windows-1252 bytes kept")
        << QByteArray("Jo\xE3o|0|N\xC3O|SIM") << 3 << QByteArray("Jo\xE3o") << QByteArray("0")
        << QByteArray("N\xC3O") << QByteArray("SIM");
}

void TestFieldSplitter::records()
{
    QFETCH(QByteArray, text);
    QFETCH(int, k);
    const StatusRecord record = StatusRecord::fromReply(text, k);
    QTEST(record.name, "name");
    QTEST(record.recording, "recording");
    QTEST(record.listening, "listening");
    QTEST(record.activity, "activity");
}

QTEST_APPLESS_MAIN(TestFieldSplitter)
#include "tst_fieldsplitter.moc"
