#include "FileFault.h"
#include "app/ErrorReport.h"
#include "archive/ArchiveSection.h"
#include "archive/RecordingsDb.h"
#include "archive/RecordingsModel.h"
#include "archive/SearchPage.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>
#include <optional>

namespace {
int fixturePort()
{
    QFile f(qEnvironmentVariable("VORLAN_TEST_DB_DIR") + QStringLiteral("/port"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : 0;
}

constexpr int kRecording = 9;
const QFile::Permissions kAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
    | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
} // namespace

// The buttons "Verifica Arquivo" and "Exporta txt" of the page "Player"
// against files that refuse them, with the private database server: the
// program goes on, the recording stays intact, the repair's error is shown
// and its success message is not, and a failed export writes nothing.
class TestArchiveFaults final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void repairButtonFault_data();
    void repairButtonFault();
    void repairButtonVanishedFile();
    void exportFault_data();
    void exportFault();

private:
    void searchAll();
    void selectRecording();
    void storePath(const QString &path);
    QStringList entries() const;

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    ArchiveSection *m_section = nullptr;
    QStringList m_messages;
    QString m_storedPath;
    QString m_file;
};

void TestArchiveFaults::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::setPermissions(m_dir.path(), kAll));
}

void TestArchiveFaults::init()
{
    m_messages.clear();
    ErrorReport::setPresenter([this](const QString &m) { m_messages << m; });
    m_window = std::make_unique<QWidget>();
    auto *pathEditor = new QLineEdit(QStringLiteral("/srv/gravacoes"), m_window.get());
    m_section = new ArchiveSection(m_window.get(), m_window.get());
    m_section->setPathEditor(pathEditor);
    m_section->setHost(QStringLiteral("127.0.0.1"));
    m_section->setPort(fixturePort());
    m_section->setUser(QStringLiteral("vorlan"));
    m_section->setPassword(QStringLiteral("vorlan"));
    m_section->setDatabaseName(QStringLiteral("vorlan"));
    QVERIFY(m_section->connectDatabase());
    m_section->setSearchDates(QDate(2012, 5, 13), QDate(2012, 5, 16));
    m_storedPath.clear();
    m_file = m_dir.filePath(QStringLiteral("ramal2001.wav"));
}

void TestArchiveFaults::cleanup()
{
    if (!m_storedPath.isEmpty())
        storePath(m_storedPath);
    FileFault::setImmutable(m_file, false);
    QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(m_dir.path(), kAll);
    const QStringList left = entries();
    for (const QString &name : left) {
        const QString path = m_dir.filePath(name);
        if (QFileInfo(path).isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
    m_window.reset();
    ErrorReport::setPresenter({});
}

void TestArchiveFaults::storePath(const QString &path)
{
    m_section->database()->exec(
        QStringLiteral("UPDATE registro SET path=:p WHERE id=:id"),
        { { QStringLiteral("p"), path }, { QStringLiteral("id"), kRecording } });
}

QStringList TestArchiveFaults::entries() const
{
    return QDir(m_dir.path())
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

void TestArchiveFaults::searchAll()
{
    auto *kind = m_section->page()->findChild<QComboBox *>(QStringLiteral("cbSelcRelat"));
    kind->setCurrentIndex(7);
    QTest::mouseClick(m_section->page()->findChild<QPushButton *>(QStringLiteral("Button1")),
                      Qt::LeftButton);
}

void TestArchiveFaults::selectRecording()
{
    RecordingsModel *model = m_section->searchPage()->model();
    model->fetchAllRows();
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->value(r, QStringLiteral("id")).toInt() == kRecording) {
            m_section->searchPage()->setCurrentRow(r);
            return;
        }
    }
    QFAIL("the recording is not in the list");
}

void TestArchiveFaults::repairButtonFault_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("read-only file") << QStringLiteral("read-only");
    QTest::newRow("unreadable file") << QStringLiteral("unreadable");
    QTest::newRow("immutable file") << QStringLiteral("immutable");
    QTest::newRow("write fails half-way") << QStringLiteral("half-way");
}

void TestArchiveFaults::repairButtonFault()
{
    QFETCH(QString, fault);
    const QByteArray original = QByteArray(44, 'h') + QByteArray(32 * 1024, char(0xD5));
    {
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(original), qint64(original.size()));
    }
    m_storedPath = QStringLiteral("D:\\Gravacoes\\2012\\05\\16\\oneil.wav");
    storePath(m_file);
    searchAll();
    selectRecording();
    QVERIFY(m_messages.isEmpty());

    std::optional<FileFault::Unprivileged> user;
    std::optional<FileFault::FileSizeLimit> limit;
    if (fault == QLatin1String("read-only")) {
        QVERIFY(QFile::setPermissions(m_file, QFile::ReadOwner | QFile::ReadOther));
        user.emplace();
    } else if (fault == QLatin1String("unreadable")) {
        QVERIFY(QFile::setPermissions(m_file, {}));
        user.emplace();
    } else if (fault == QLatin1String("immutable")) {
        if (!FileFault::setImmutable(m_file, true))
            QSKIP("the immutable flag needs root and a file system that keeps it");
    } else {
        limit.emplace(original.size() / 2);
        QVERIFY(limit->ok());
    }
    QVERIFY(!user || user->ok());
    m_section->searchPage()->Button6Click();
    user.reset();
    limit.reset();

    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.constFirst().contains(m_file), qPrintable(m_messages.constFirst()));
    QVERIFY(!m_messages.contains(QStringLiteral("Arquivo corrigido, tente executa-lo novamente.")));
    QCOMPARE(entries(), QStringList { QStringLiteral("ramal2001.wav") });
    QFile::setPermissions(m_file, QFile::ReadOwner | QFile::WriteOwner);
    QFile f(m_file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), original);

    // The program goes on: with the fault gone the same button repairs.
    FileFault::setImmutable(m_file, false);
    m_messages.clear();
    m_section->searchPage()->Button6Click();
    QCOMPARE(m_messages,
             QStringList { QStringLiteral("Arquivo corrigido, tente executa-lo novamente.") });
}

void TestArchiveFaults::repairButtonVanishedFile()
{
    {
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100, 'v'));
    }
    m_storedPath = QStringLiteral("D:\\Gravacoes\\2012\\05\\16\\oneil.wav");
    storePath(m_file);
    searchAll();
    selectRecording();
    // Gone between the search and the click: the button finds no file and
    // stops without a word; above all it must not create one.
    QVERIFY(QFile::remove(m_file));
    m_section->searchPage()->Button6Click();
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QVERIFY(entries().isEmpty());
}

void TestArchiveFaults::exportFault_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("folder does not exist") << QStringLiteral("no folder");
    QTest::newRow("folder in place of the file") << QStringLiteral("folder");
    QTest::newRow("path below a file") << QStringLiteral("below a file");
    QTest::newRow("immutable file") << QStringLiteral("immutable");
}

void TestArchiveFaults::exportFault()
{
    QFETCH(QString, fault);
    m_file = m_dir.filePath(QStringLiteral("lista.txt"));
    QString target;
    QByteArray existing;
    if (fault == QLatin1String("no folder")) {
        target = m_dir.filePath(QStringLiteral("nao existe/lista.txt"));
    } else if (fault == QLatin1String("folder")) {
        target = m_dir.filePath(QStringLiteral("lista.txt"));
        QVERIFY(QDir().mkpath(target));
    } else {
        target = m_dir.filePath(QStringLiteral("lista.txt"));
        existing = "exportado antes\r\n";
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(existing);
        f.close();
        if (fault == QLatin1String("below a file"))
            target += QStringLiteral("/lista.txt");
        else if (!FileFault::setImmutable(target, true))
            QSKIP("the immutable flag needs root and a file system that keeps it");
    }
    const QStringList before = entries();
    SearchPage *page = m_section->searchPage();
    searchAll();
    page->setSaveFileChooser([&](QWidget *) { return target; });
    page->Button10Click();

    // Each line is lost on its own without a message; the walk still ends
    // on the last row, and nothing was created or changed.
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('\n'))));
    QCOMPARE(page->currentRow(), page->model()->rowCount() - 1);
    QCOMPARE(entries(), before);
    if (!existing.isEmpty()) {
        QFile f(m_dir.filePath(QStringLiteral("lista.txt")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), existing);
    }

    // The program goes on: the next export to a usable file writes the list.
    FileFault::setImmutable(m_file, false);
    const QString usable = m_dir.filePath(QStringLiteral("depois.txt"));
    page->setSaveFileChooser([&](QWidget *) { return usable; });
    page->Button10Click();
    QFile f(usable);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll().count("\r\n"), page->model()->rowCount());
}

QTEST_MAIN(TestArchiveFaults)
#include "tst_archivefaults.moc"
