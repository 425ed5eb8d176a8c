#include <QProcess>
#include <QTest>
#include <QUuid>

class TstSingleInstance : public QObject
{
    Q_OBJECT

private:
    QString m_key = QStringLiteral("vorlan-test-") + QUuid::createUuid().toString(QUuid::Id128);

    static QString probe() { return QStringLiteral(PROBE_PATH); }

    bool startFirst(QProcess &p)
    {
        p.start(probe(), { m_key });
        if (!p.waitForStarted(5000))
            return false;
        while (!p.canReadLine()) {
            if (!p.waitForReadyRead(5000))
                return false;
        }
        return p.readLine().trimmed() == "first";
    }

private Q_SLOTS:
    void secondStartHandsOverAndEnds()
    {
        QProcess first;
        QVERIFY(startFirst(first));

        QProcess second;
        second.start(probe(), { m_key });
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(second.readAllStandardOutput().trimmed(), QByteArray("second"));

        QByteArray said;
        while (!said.contains("activated") && first.waitForReadyRead(5000))
            said += first.readAllStandardOutput();
        QVERIFY2(said.contains("activated"), said.constData());
        first.kill();
        first.waitForFinished();
    }

    void crashedInstanceDoesNotBlock()
    {
        QProcess crashed;
        QVERIFY(startFirst(crashed));
        crashed.kill(); // leaves its socket file behind
        crashed.waitForFinished();

        QProcess next;
        QVERIFY(startFirst(next));
        next.kill();
        next.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TstSingleInstance)
#include "tst_singleinstance.moc"
