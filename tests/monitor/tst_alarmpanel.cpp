#include "app/ErrorReport.h"
#include "monitor/AlarmPanel.h"
#include "monitor/ChannelBoard.h"
#include "monitor/ChannelMonitor.h"
#include "monitor/ChannelRow.h"
#include "monitor/ChannelTimer.h"
#include "monitor/MonitorSection.h"
#include "monitor/TDM.h"
#include "settings/SettingsStore.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The alarm controls, their stored values and log lines, and the board's
// start-up hooks, on a real settings file.
class TestAlarmPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void controls();
    void checkBoxClicks_data();
    void checkBoxClicks();
    void loadingRunsNoClickHandler();
    void tempoMax();
    void tempoOcioso();
    void idleTimersAtStartUp();
    void lampAndCallMarkOnTheRow();
    void doubleClickOnAnyLabel();

private:
    QString stored(const QString &name) const { return SettingsStore().read(name); }

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    TDM *m_dm = nullptr;
    MonitorSection *m_section = nullptr;
    AlarmPanel *m_panel = nullptr;
    QStringList m_errors;
};

void TestAlarmPanel::initTestCase()
{
    QVERIFY(m_dir.isValid());
    ErrorReport::setPresenter([this](const QString &message) { m_errors << message; });
}

void TestAlarmPanel::init()
{
    static int round = 0;
    SettingsStore::setLocationOverride(SettingsStore::Key::Main,
                                       m_dir.filePath(QStringLiteral("c%1.ini").arg(++round)));
    m_window = std::make_unique<QWidget>();
    m_dm = new TDM(m_window.get());
    m_section = new MonitorSection(m_dm, m_window.get(), m_window.get());
    m_panel = m_section->alarms();
    m_errors.clear();
}

void TestAlarmPanel::cleanup()
{
    m_window.reset();
    QVERIFY2(m_errors.isEmpty(), qPrintable(m_errors.join(QLatin1Char('\n'))));
}

void TestAlarmPanel::controls()
{
    QCOMPARE(m_panel->title(), QStringLiteral("Selecione"));
    QCOMPARE(m_panel->cbHabTempoMax()->text(), QStringLiteral("Habilita tempo máximo"));
    QCOMPARE(m_panel->cbHabTempoOcioso()->text(), QStringLiteral("Habilita Tempo Ocioso"));
    for (const char *name :
         { "cbHabTempoMax", "edTempoMax", "cbHabTempoOcioso", "edTempoOcioso" }) {
        auto *widget = m_window->findChild<QWidget *>(QString::fromLatin1(name));
        QVERIFY2(widget, name);
        QCOMPARE(widget->accessibleDescription(), QString::fromLatin1(name));
    }
    QCOMPARE(m_panel->tempoMaxText(), QStringLiteral("  :  :  "));
}

void TestAlarmPanel::checkBoxClicks_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("on");
    QTest::addColumn<QString>("off");
    QTest::newRow("maximum time") << QStringLiteral("cbHabTempoMax")
                                  << QStringLiteral("HabTempoMax")
                                  << QStringLiteral("Tempo máximo habilitado.")
                                  << QStringLiteral("Tempo máximo desabilitado.");
    QTest::newRow("idle time") << QStringLiteral("cbHabTempoOcioso")
                               << QStringLiteral("HabTempoOcioso")
                               << QStringLiteral("Tempo ocioso habilitado.")
                               << QStringLiteral("Tempo ocioso desabilitado.");
}

void TestAlarmPanel::checkBoxClicks()
{
    QFETCH(QString, box);
    QFETCH(QString, value);
    QSignalSpy log(m_section, &MonitorSection::logMessage);
    auto *check = m_window->findChild<QCheckBox *>(box);
    QVERIFY(check);
    check->click();
    QCOMPARE(stored(value), QStringLiteral("-1"));
    check->click();
    QCOMPARE(stored(value), QStringLiteral("0"));
    QCOMPARE(log.count(), 2);
    QTEST(log.at(0).at(0).toString(), "on");
    QTEST(log.at(1).at(0).toString(), "off");
    const bool maxBox = box == QLatin1String("cbHabTempoMax");
    check->click();
    QCOMPARE(maxBox ? m_section->monitor()->maxAlarmEnabled()
                    : m_section->monitor()->idleAlarmEnabled(),
             true);
}

void TestAlarmPanel::loadingRunsNoClickHandler()
{
    QSignalSpy log(m_section, &MonitorSection::logMessage);
    m_section->loadHabTempoMax(true);
    m_section->loadHabTempoOcioso(true);
    QCOMPARE(log.count(), 0);
    QCOMPARE(stored(QStringLiteral("HabTempoMax")), QString());
    QVERIFY(m_section->idleAlarmChecked());
    QVERIFY(m_section->monitor()->maxAlarmEnabled());
    QVERIFY(m_section->monitor()->idleAlarmEnabled());
}

void TestAlarmPanel::tempoMax()
{
    m_section->loadTempoMax(QStringLiteral("00:05:00"));
    QCOMPARE(stored(QStringLiteral("TempoMax")), QStringLiteral("00:05:00"));
    QCOMPARE(m_section->monitor()->maxCallTime(), 300);

    // Overtyping digit by digit: every intermediate time of day counts.
    QLineEdit *edit = m_panel->edTempoMax();
    edit->setFocus();
    edit->setCursorPosition(3);
    QTest::keyClick(edit, Qt::Key_1);
    QCOMPARE(edit->text(), QStringLiteral("00:15:00"));
    QCOMPARE(m_section->monitor()->maxCallTime(), 900);
    QTest::keyClick(edit, Qt::Key_0);
    QCOMPARE(m_section->monitor()->maxCallTime(), 600);
    QCOMPARE(stored(QStringLiteral("TempoMax")), QStringLiteral("00:10:00"));

    // A text that is no time of day is stored, and the maximum stays.
    m_section->loadTempoMax(QStringLiteral("99:00:00"));
    QCOMPARE(stored(QStringLiteral("TempoMax")), QStringLiteral("99:00:00"));
    QCOMPARE(m_section->monitor()->maxCallTime(), 600);
    edit->clear();
    QCOMPARE(stored(QStringLiteral("TempoMax")), QStringLiteral("  :  :  "));
    QCOMPARE(m_section->monitor()->maxCallTime(), 600);
}

void TestAlarmPanel::tempoOcioso()
{
    m_section->setIdleInterval(3, 120000);
    QTest::keyClicks(m_panel->edTempoOcioso(), QStringLiteral("15"));
    QCOMPARE(stored(QStringLiteral("TempoOcioso")), QStringLiteral("15"));
    QCOMPARE(m_dm->tTempoOciosoC(3)->interval(), 120000); // next start only
}

void TestAlarmPanel::idleTimersAtStartUp()
{
    for (int n = 1; n <= 40; ++n)
        m_section->setIdleInterval(n, 0);
    m_section->startIdleTimers();
    for (int n = 1; n <= 40; ++n)
        QVERIFY(m_dm->tTempoOciosoC(n)->isActive());
    // Interval 0: the idle alarm never comes.
    m_section->loadHabTempoOcioso(true);
    QTest::qWait(50);
    QVERIFY(!m_dm->tOciosoC(1)->isActive());

    // A short idle time: the yellow blink starts on its own.
    m_section->setIdleInterval(8, 30);
    QTRY_VERIFY(m_dm->tOciosoC(8)->isActive());
}

void TestAlarmPanel::lampAndCallMarkOnTheRow()
{
    ChannelRow *row = m_section->channelBoard()->row(17);
    QLabel *lamp = m_window->findChild<QLabel *>(QStringLiteral("lbTempoDuracaoC17"));
    QVERIFY(!lamp->autoFillBackground()); // shows the panel until painted
    m_section->setCallMark(17, QColor(0, 0, 255));
    QCOMPARE(row->palette().color(QPalette::Window), QColor(0, 0, 255));
    m_section->monitor()->tEstouroCTimer(17);
    QVERIFY(lamp->autoFillBackground());
    QCOMPARE(lamp->palette().color(QPalette::Window), QColor(244, 244, 244));
    m_section->monitor()->tOciosoCTimer(17);
    QCOMPARE(lamp->palette().color(QPalette::Window), QColor(255, 255, 0));
}

void TestAlarmPanel::doubleClickOnAnyLabel()
{
    m_window->resize(1000, 400);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QSignalSpy clicked(m_section, &MonitorSection::rowDoubleClicked);
    for (const char *name : { "lbCanal33", "lbStatusC33", "lbTempoDuracaoC33" }) {
        auto *label = m_window->findChild<QLabel *>(QString::fromLatin1(name));
        QWidget *target = label->parentWidget();
        QTest::mouseDClick(target, Qt::LeftButton, {}, label->geometry().center());
    }
    QCOMPARE(clicked.count(), 3);
    QCOMPARE(clicked.at(0).at(0).toInt(), 33);
}

QTEST_MAIN(TestAlarmPanel)
#include "tst_alarmpanel.moc"
