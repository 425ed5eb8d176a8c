// The alert window: its text, where it comes to rest, and when it hides.
#include "chat/AlertWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class TestAlertWindow : public QObject
{
    Q_OBJECT

private:
    static void parkPointer() { QCursor::setPos(0, 0); }

private Q_SLOTS:
    void initTestCase() { parkPointer(); }

    void startsHiddenAsAToolWindow()
    {
        AlertWindow alert;
        QVERIFY(!alert.isVisible());
        QCOMPARE(alert.objectName(), QStringLiteral("Alerta"));
        QCOMPARE(alert.windowTitle(), QStringLiteral("Alerta"));
        QCOMPARE(alert.size(), QSize(211, 116));
        const Qt::WindowFlags flags = alert.windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(alert.hideDelay(), 9000);
        auto *text = alert.findChild<QLabel *>(QStringLiteral("AlertaTexto"));
        QVERIFY(text);
        QCOMPARE(text->textFormat(), Qt::RichText);
        QCOMPARE(text->geometry().topLeft(), QPoint(50, 10));
    }

    void slidesToTheLowerRightAndHides()
    {
        AlertWindow alert;
        alert.setSlideDuration(50);
        alert.setHideDelay(100);
        QSignalSpy shown(&alert, &AlertWindow::fullyShown);
        alert.setText(QStringLiteral("O Usuário do Canal 7 esta <br> chamando."));
        alert.showAlert();
        QVERIFY(alert.isVisible());
        QVERIFY(shown.wait(2000));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect g = alert.geometry();
        QCOMPARE(g.size(), QSize(211, 116));
        QCOMPARE(area.x() + area.width() - (g.x() + g.width()), 16);
        QCOMPARE(g.y() + g.height(), area.y() + area.height());
        QCOMPARE(alert.text(), QStringLiteral("O Usuário do Canal 7 esta <br> chamando."));
        QTRY_VERIFY_WITH_TIMEOUT(!alert.isVisible(), 2000);
    }

    void showingAgainReplacesTheText()
    {
        AlertWindow alert;
        alert.setSlideDuration(10);
        QSignalSpy shown(&alert, &AlertWindow::fullyShown);
        alert.setText(QStringLiteral("O Usuário do Canal 3 esta <br> chamando."));
        alert.showAlert();
        alert.setText(QStringLiteral("O Usuário do Canal 9 esta <br> chamando."));
        alert.showAlert();
        QVERIFY(shown.wait(2000));
        QCOMPARE(alert.text(), QStringLiteral("O Usuário do Canal 9 esta <br> chamando."));
        QVERIFY(alert.isVisible());
        // The default delay keeps it up well beyond the slide.
        QVERIFY(!QTest::qWaitFor([&] { return !alert.isVisible(); }, 200));
    }

    void pointerKeepsItShownAndCloseHides()
    {
        AlertWindow alert;
        alert.setSlideDuration(10);
        alert.setHideDelay(60);
        QSignalSpy shown(&alert, &AlertWindow::fullyShown);
        alert.showAlert();
        QVERIFY(shown.wait(2000));
        QCursor::setPos(alert.geometry().center());
        if (QCursor::pos() != alert.geometry().center())
            QSKIP("this platform cannot place the pointer");
        // Several hide delays pass while the pointer rests on it.
        QVERIFY(!QTest::qWaitFor([&] { return !alert.isVisible(); }, 300));
        parkPointer();
        QTRY_VERIFY_WITH_TIMEOUT(!alert.isVisible(), 2000);

        alert.setHideDelay(9000);
        alert.showAlert();
        QVERIFY(shown.wait(2000));
        alert.findChild<QToolButton *>(QStringLiteral("AlertaFechar"))->click();
        QVERIFY(!alert.isVisible());
    }
};

QTEST_MAIN(TestAlertWindow)
#include "tst_alertwindow.moc"
