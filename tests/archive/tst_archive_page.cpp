#include "app/ErrorReport.h"
#include "archive/ArchiveSection.h"
#include "archive/CommentUpdate.h"
#include "archive/Play2Form.h"
#include "archive/RecordingsDb.h"
#include "archive/RecordingsModel.h"
#include "archive/SearchPage.h"
#include "archive/WaveRepair.h"

#include <QAudioOutput>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {
int fixturePort()
{
    QFile f(qEnvironmentVariable("VORLAN_TEST_DB_DIR") + QStringLiteral("/port"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : 0;
}
} // namespace

class TestArchivePage final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void namesAndStart();
    void searchFillsGridAndCount();
    void connectionFailureThenSearch();
    void refusalsBeforeAnySearch();
    void playRefusals_data();
    void playRefusals();
    void playOpensPlayer();
    void playOnEmptyList();
    void playerDecodesALaw();
    void commentRoundTrip();
    void repairButton();
    void exportButton();

private:
    template<typename W> W *child(const char *name)
    {
        return m_section->page()->findChild<W *>(QLatin1String(name));
    }
    void search(int kind, const QString &value = {});
    void selectId(int id);

    std::unique_ptr<QWidget> m_window;
    QLineEdit *m_path = nullptr;
    ArchiveSection *m_section = nullptr;
    QStringList m_messages;
};

void TestArchivePage::init()
{
    m_messages.clear();
    ErrorReport::setPresenter([this](const QString &m) { m_messages << m; });
    m_window = std::make_unique<QWidget>();
    m_path = new QLineEdit(QStringLiteral("/srv/gravacoes"), m_window.get());
    m_section = new ArchiveSection(m_window.get(), m_window.get());
    m_section->setPathEditor(m_path);
    m_section->setHost(QStringLiteral("127.0.0.1"));
    m_section->setPort(fixturePort());
    m_section->setUser(QStringLiteral("vorlan"));
    m_section->setPassword(QStringLiteral("vorlan"));
    m_section->setDatabaseName(QStringLiteral("vorlan"));
    QVERIFY(m_section->connectDatabase());
    m_section->setSearchDates(QDate(2012, 5, 13), QDate(2012, 5, 16));
}

void TestArchivePage::cleanup()
{
    m_window.reset();
    ErrorReport::setPresenter({});
}

void TestArchivePage::search(int kind, const QString &value)
{
    child<QComboBox>("cbSelcRelat")->setCurrentIndex(kind);
    child<QLineEdit>("edVariavel")->setText(value);
    QTest::mouseClick(child<QPushButton>("Button1"), Qt::LeftButton);
}

void TestArchivePage::selectId(int id)
{
    RecordingsModel *model = m_section->searchPage()->model();
    model->fetchAllRows();
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->value(r, QStringLiteral("id")).toInt() == id) {
            m_section->searchPage()->setCurrentRow(r);
            return;
        }
    }
    QFAIL("id not in the list");
}

void TestArchivePage::namesAndStart()
{
    const char *names[]
        = { "cbSelcRelat", "Data",        "Data1",   "Hora",    "Hora1",   "edVariavel", "Button1",
            "DBGrid6",     "lbregistros", "MComent", "Button4", "Button6", "Button10" };
    for (const char *name : names) {
        QWidget *w = child<QWidget>(name);
        QVERIFY2(w, name);
        QCOMPARE(w->accessibleDescription(), QLatin1String(name));
    }
    QCOMPARE(child<QComboBox>("cbSelcRelat")->currentIndex(), -1);
    QCOMPARE(child<QComboBox>("cbSelcRelat")->count(), 10);
    QCOMPARE(child<QComboBox>("cbSelcRelat")->itemText(7), QStringLiteral("Todas Gravações"));
    QCOMPARE(child<QDateEdit>("Data")->date(), QDate(2012, 5, 13));
    QCOMPARE(child<QDateEdit>("Data1")->text(), QStringLiteral("16/05/2012"));
    QVERIFY(!child<QPushButton>("Button4")->isEnabled());
    QCOMPARE(child<QLineEdit>("Hora")->text(), QStringLiteral(":"));
    QTest::keyClicks(child<QLineEdit>("edVariavel"), QStringLiteral("abc"));
    QCOMPARE(child<QLineEdit>("edVariavel")->text(), QStringLiteral("ABC"));
}

void TestArchivePage::searchFillsGridAndCount()
{
    search(-1);
    QCOMPARE(m_messages, QStringList { QStringLiteral("Selecione um tipo de Relatório.") });
    search(7);
    QCOMPARE(m_messages.size(), 1);
    auto *grid = child<QTableView>("DBGrid6");
    QCOMPARE(child<QLabel>("lbregistros")->text(), QStringLiteral("11"));
    QCOMPARE(grid->currentIndex().row(), 0);
    QStringList shown;
    for (int visual = 0; visual < grid->model()->columnCount(); ++visual) {
        const int logical = grid->horizontalHeader()->logicalIndex(visual);
        if (!grid->isColumnHidden(logical))
            shown << grid->model()->headerData(logical, Qt::Horizontal).toString();
    }
    QCOMPARE(shown,
             (QStringList { QStringLiteral("Ramal"), QStringLiteral("Data"), QStringLiteral("Hora"),
                            QStringLiteral("Duração"), QStringLiteral("Número"),
                            QStringLiteral("Sentido"), QStringLiteral("Bilhete") }));
    QCOMPARE(grid->columnWidth(1), 122);
    QCOMPARE(grid->columnWidth(7), 666);

    // Kind 2 with an empty time box: error report, grid empty.
    search(2);
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(grid->model()->rowCount(), 0);
    QCOMPARE(child<QLabel>("lbregistros")->text(), QString());
    child<QLineEdit>("Hora")->setText(QStringLiteral("08:00"));
    child<QLineEdit>("Hora1")->setText(QStringLiteral("08:59"));
    search(2);
    QCOMPARE(child<QLabel>("lbregistros")->text(), QStringLiteral("5"));
}

void TestArchivePage::connectionFailureThenSearch()
{
    m_section->close();
    m_section->setPassword(QStringLiteral("errada"));
    QVERIFY(!m_section->connectDatabase());
    search(7);
    QCOMPARE(m_messages.size(), 1); // access denied, through the error report
    QCOMPARE(child<QTableView>("DBGrid6")->model()->rowCount(), 0);
    m_section->setPassword(QStringLiteral("vorlan"));
    m_messages.clear();
    search(0);
    QCOMPARE(m_messages, QStringList { QStringLiteral("Esta Desconectado") });
    QCOMPARE(child<QLabel>("lbregistros")->text(), QStringLiteral("8"));
}

void TestArchivePage::refusalsBeforeAnySearch()
{
    SearchPage *page = m_section->searchPage();
    page->DBGrid6DblClick();
    QCOMPARE(m_messages.size(), 1); // reading a closed list fails
    page->Button6Click();
    QCOMPARE(m_messages.last(), QStringLiteral("Por favor selecione um arquivo."));
    page->setSaveFileChooser([](QWidget *) { return QStringLiteral("/tmp/never-written.txt"); });
    page->Button10Click();
    QCOMPARE(m_messages.size(), 3);
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/never-written.txt")));
}

void TestArchivePage::playRefusals_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty path") << 11
                                << QStringLiteral("Nenhum arquivo foi selecionado, por favor "
                                                  "selecione um aquivo.");
    QTest::newRow("restricted") << 8
                                << QStringLiteral(
                                       "Não há registro de áudio para ramais restritos.");
    QTest::newRow("not answered") << 10
                                  << QStringLiteral(
                                         "Este registro não refere-se a uma gravação.\r\n"
                                         "E sim a uma ligação não atendida.");
}

void TestArchivePage::playRefusals()
{
    QFETCH(int, id);
    QFETCH(QString, message);
    int opened = 0;
    m_section->searchPage()->setPlayerRunner([&](TPlay2Form *) { ++opened; });
    search(7);
    selectId(id);
    m_section->searchPage()->DBGrid6DblClick();
    QCOMPARE(m_messages, QStringList { message });
    QCOMPARE(opened, 0);
}

void TestArchivePage::playOpensPlayer()
{
    QPointer<TPlay2Form> seen;
    QString file, operador, data, hora, direcao, telefone;
    QUrl source;
    m_section->searchPage()->setPlayerRunner([&](TPlay2Form *form) {
        seen = form;
        QCOMPARE(form->windowTitle(), QStringLiteral("VORLAN - Player"));
        QCOMPARE(form->size(), QSize(350, 380));
        QVERIFY(form->isModal());
        file = form->findChild<QLabel *>(QStringLiteral("lbFile"))->text();
        operador = form->findChild<QLabel *>(QStringLiteral("lbOperador"))->text();
        data = form->findChild<QLabel *>(QStringLiteral("lbDataGrava"))->text();
        hora = form->findChild<QLabel *>(QStringLiteral("lbHoraGrava"))->text();
        direcao = form->findChild<QLabel *>(QStringLiteral("lbDirecao"))->text();
        telefone = form->findChild<QLabel *>(QStringLiteral("lbTelefone"))->text();
        source = form->player()->source();
        QCOMPARE(form->audioOutput()->volume(), 0.5f);
        form->close();
    });
    search(7);
    selectId(2);
    auto *grid = child<QTableView>("DBGrid6");
    const QRect cell = grid->visualRect(grid->currentIndex());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(file, QStringLiteral("ramal2001b.wav"));
    QCOMPARE(operador, QStringLiteral("2001"));
    QCOMPARE(data, QStringLiteral("13/05/2012"));
    QCOMPARE(hora, QStringLiteral("08:00:00"));
    QCOMPARE(direcao, QStringLiteral("Saída"));
    QCOMPARE(telefone, QStringLiteral("21999990000"));
    QCOMPARE(source,
             QUrl::fromLocalFile(QStringLiteral("/srv/gravacoes/2012/05/13/ramal2001b.wav")));
    QTRY_VERIFY(seen.isNull()); // destroyed once closed
}

void TestArchivePage::playOnEmptyList()
{
    QString operador = QStringLiteral("unset");
    QUrl source(QStringLiteral("x:y"));
    m_section->searchPage()->setPlayerRunner([&](TPlay2Form *form) {
        operador = form->findChild<QLabel *>(QStringLiteral("lbOperador"))->text();
        source = form->player()->source();
        form->close();
    });
    search(4, QStringLiteral("NINGUEM"));
    QTest::mouseDClick(child<QTableView>("DBGrid6")->viewport(), Qt::LeftButton);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(operador, QString());
    QVERIFY(source.isEmpty());
}

void TestArchivePage::playerDecodesALaw()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("um segundo.wav"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(WaveRepair::repaired(QByteArray(44 + 8000, char(0xD5))));
    }
    TPlay2Form form;
    form.play(path);
    QTRY_VERIFY_WITH_TIMEOUT(form.player()->duration() > 900, 15000);
    QVERIFY(form.player()->duration() < 1100);
    form.close();
    QCOMPARE(form.player()->playbackState(), QMediaPlayer::StoppedState);
}

void TestArchivePage::commentRoundTrip()
{
    auto *memo = child<QPlainTextEdit>("MComent");
    auto *button4 = child<QPushButton>("Button4");
    search(4, QStringLiteral("2002"));
    selectId(3);
    QCOMPARE(memo->toPlainText(), QStringLiteral("O'BRIEN LIGOU"));
    QVERIFY(!button4->isEnabled());
    const int row = m_section->searchPage()->currentRow();

    memo->setPlainText(QStringLiteral("it's 12:30 \\ fim"));
    QVERIFY(button4->isEnabled());
    QTest::mouseClick(button4, Qt::LeftButton);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('|'))));
    QVERIFY(!button4->isEnabled());
    QCOMPARE(m_section->searchPage()->currentRow(), row);
    QCOMPARE(memo->toPlainText(), QStringLiteral("it's 12:30 \\ fim"));

    search(8, QStringLiteral("12:30 \\"));
    QCOMPARE(child<QLabel>("lbregistros")->text(), QStringLiteral("1"));
    CommentUpdate::save(*m_section->database(), 3, QStringLiteral("O'BRIEN LIGOU"));

    // An empty memo saves nothing; an empty list refuses.
    memo->clear();
    QTest::mouseClick(button4, Qt::LeftButton);
    QVERIFY(m_messages.isEmpty());
    search(4, QStringLiteral("NINGUEM"));
    memo->setPlainText(QStringLiteral("x"));
    QTest::mouseClick(button4, Qt::LeftButton);
    QCOMPARE(m_messages, QStringList { QStringLiteral("Nenhum registro foi selecionado") });
}

void TestArchivePage::repairButton()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rec.wav"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(1000, 'a'));
    }
    RecordingsDb &db = *m_section->database();
    db.exec(QStringLiteral("UPDATE registro SET path=:p WHERE id=9"),
            { { QStringLiteral("p"), path } });
    search(7);
    selectId(9);
    m_section->searchPage()->Button6Click();
    db.exec(QStringLiteral("UPDATE registro SET path=:p WHERE id=9"),
            { { QStringLiteral("p"), QStringLiteral("D:\\Gravacoes\\2012\\05\\16\\oneil.wav") } });
    QCOMPARE(m_messages,
             QStringList { QStringLiteral("Arquivo corrigido, tente executa-lo novamente.") });
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), 992u);
    QCOMPARE(bytes.mid(44), QByteArray(956, 'a'));

    // A stored path that does not exist here: nothing happens, no message.
    m_messages.clear();
    selectId(2);
    m_section->searchPage()->Button6Click();
    QVERIFY(m_messages.isEmpty());
}

void TestArchivePage::exportButton()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lista.txt"));
    SearchPage *page = m_section->searchPage();
    search(4, QStringLiteral("2002"));
    page->setSaveFileChooser([](QWidget *) { return QString(); });
    page->Button10Click();
    QVERIFY(!QFile::exists(file));
    QCOMPARE(page->currentRow(), 0);
    page->setSaveFileChooser([&](QWidget *) { return file; });
    page->Button10Click();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(page->currentRow(), 1);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll().count("\r\n"), 2);
}

QTEST_MAIN(TestArchivePage)
#include "tst_archive_page.moc"
