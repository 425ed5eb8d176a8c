#include "FileFault.h"
#include "app/VorlanError.h"
#include "archive/WaveRepair.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <optional>

// The header repair against files that cannot be read or replaced: every
// failure is reported with the file's path, and the recording and its
// folder come out exactly as they were.
class TestRepairFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void repairFault_data();
    void repairFault();

private:
    QString m_folder;
    QString m_file;
    QTemporaryDir m_dir;
};

void TestRepairFaults::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Others may pass through, for the unprivileged cases.
    QVERIFY(QFile::setPermissions(m_dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                      | QFile::ReadOther | QFile::ExeOther));
}

void TestRepairFaults::cleanup()
{
    FileFault::setImmutable(m_file, false);
    FileFault::setImmutable(m_folder, false);
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
    QDir(m_folder).removeRecursively();
}

void TestRepairFaults::repairFault_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("fails");
    // The control row shows that the setup alone does not make repairs fail.
    QTest::newRow("control: writable file, unprivileged") << QStringLiteral("control") << false;
    QTest::newRow("read-only file") << QStringLiteral("read-only file") << true;
    QTest::newRow("unreadable file") << QStringLiteral("unreadable file") << true;
    QTest::newRow("read-only folder") << QStringLiteral("read-only folder") << true;
    QTest::newRow("immutable file") << QStringLiteral("immutable file") << true;
    QTest::newRow("immutable folder") << QStringLiteral("immutable folder") << true;
    QTest::newRow("vanished file") << QStringLiteral("vanished") << true;
    QTest::newRow("folder in place of the file") << QStringLiteral("folder") << true;
    QTest::newRow("write fails half-way") << QStringLiteral("half-way") << true;
}

void TestRepairFaults::repairFault()
{
    QFETCH(QString, fault);
    QFETCH(bool, fails);
    m_folder = m_dir.filePath(fault);
    m_file = m_folder + QStringLiteral("/ramal2001.wav");
    QVERIFY(QDir().mkpath(m_folder));
    // 64 KiB of samples behind a header the player cannot read.
    QByteArray original(64 * 1024, Qt::Uninitialized);
    QRandomGenerator rng(2001);
    for (char &c : original)
        c = char(rng.bounded(256));
    {
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(original), qint64(original.size()));
    }
    const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    const auto readable
        = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther;
    QVERIFY(QFile::setPermissions(m_folder, all));
    QVERIFY(QFile::setPermissions(m_file, readable));

    bool unprivileged = true;
    std::optional<qint64> sizeLimit;
    if (fault == QLatin1String("read-only file")) {
        QVERIFY(QFile::setPermissions(m_file, QFile::ReadOwner | QFile::ReadOther));
    } else if (fault == QLatin1String("unreadable file")) {
        QVERIFY(QFile::setPermissions(m_file, {}));
    } else if (fault == QLatin1String("read-only folder")) {
        QVERIFY(QFile::setPermissions(m_folder, all & ~(QFile::WriteOwner | QFile::WriteOther)));
    } else if (fault.startsWith(QLatin1String("immutable"))) {
        if (!FileFault::setImmutable(fault.endsWith(QLatin1String("file")) ? m_file : m_folder,
                                     true))
            QSKIP("the immutable flag needs root and a file system that keeps it");
        unprivileged = false;
    } else if (fault == QLatin1String("vanished")) {
        QVERIFY(QFile::remove(m_file));
    } else if (fault == QLatin1String("folder")) {
        QVERIFY(QFile::remove(m_file));
        QVERIFY(QDir().mkpath(m_file));
    } else if (fault == QLatin1String("half-way")) {
        sizeLimit = original.size() / 2;
        unprivileged = false;
    }
    const QStringList before = QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                        | QDir::Hidden | QDir::System);

    QString error;
    {
        std::optional<FileFault::Unprivileged> user;
        if (unprivileged) {
            user.emplace();
            QVERIFY(user->ok());
        }
        std::optional<FileFault::FileSizeLimit> limit;
        if (sizeLimit) {
            limit.emplace(*sizeLimit);
            QVERIFY(limit->ok());
        }
        try {
            WaveRepair::repairFile(m_file);
        } catch (const VorlanError &e) {
            error = e.message();
        }
    }
    QFile::setPermissions(m_file, readable);
    QFile::setPermissions(m_folder, all);

    const QStringList after = QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                       | QDir::Hidden | QDir::System);
    QCOMPARE(after, before); // nothing left behind, nothing created
    if (!fails) {
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray repaired = f.readAll();
        QCOMPARE(repaired.size(), original.size());
        QCOMPARE(qFromLittleEndian<quint32>(repaired.constData() + 40), quint32(64 * 1024 - 44));
        QCOMPARE(repaired.mid(44), original.mid(44));
        return;
    }
    QVERIFY2(error.contains(m_file), qPrintable(error));
    if (fault == QLatin1String("vanished") || fault == QLatin1String("folder"))
        return;
    QFile f(m_file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), original);
}

QTEST_GUILESS_MAIN(TestRepairFaults)
#include "tst_repairfaults.moc"
