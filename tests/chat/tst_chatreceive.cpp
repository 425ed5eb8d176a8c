// What the listener makes of the agents' datagrams, sent over real UDP on
// the loopback interface.
#include "app/Win1252.h"
#include "chat/AlertWindow.h"
#include "chat/ChatPanel.h"
#include "chat/ChatSection.h"
#include "chat/ChatServer.h"
#include "chat/ChatTranscript.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QUdpSocket>
#include <QWidget>

class TestChatReceive : public QObject
{
    Q_OBJECT

private:
    QWidget *m_window = nullptr;
    ChatSection *m_section = nullptr;
    QUdpSocket *m_agent = nullptr;
    QStringList m_logs;

    void send(const QByteArray &payload)
    {
        QCOMPARE(m_agent->writeDatagram(payload, QHostAddress::LocalHost,
                                        m_section->server()->boundPort()),
                 qint64(payload.size()));
    }
    const QStringList &lines() const { return m_section->chatPanel()->transcript()->lines(); }
    // A chat line after the datagram under test: once it is shown, the
    // datagram before it has been handled too.
    void sendMarkerAndWait()
    {
        const int before = int(lines().size());
        send(QByteArrayLiteral("MARCA"));
        QTRY_VERIFY(lines().size() > before && lines().last() == QStringLiteral("MARCA"));
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_window = new QWidget;
        m_section = new ChatSection(m_window, m_window);
        m_section->alert()->setSlideDuration(10);
        m_section->setListenPort(0);
        QVERIFY(m_section->activateServer());
        QVERIFY(m_section->server()->boundPort() != 0);
        m_agent = new QUdpSocket(m_window);
        m_logs.clear();
        connect(m_section, &ChatSection::logMessage, m_window,
                [this](const QString &m) { m_logs << m; });
    }

    void cleanup()
    {
        m_section->shutdown();
        delete m_window;
    }

    void datagrams_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("call");
        QTest::addColumn<QStringList>("expectedLines");
        const auto calls = { 1, 7, 20, 21, 40 };
        for (int n : calls) {
            QTest::addRow("call %d", n)
                << QByteArrayLiteral("CHAMADA DO Canal ") + QByteArray::number(n) << n
                << QStringList();
        }
        QTest::newRow("41") << QByteArrayLiteral("CHAMADA DO Canal 41") << 0
                            << QStringList { QStringLiteral("CHAMADA DO Canal 41") };
        QTest::newRow("0") << QByteArrayLiteral("CHAMADA DO Canal 0") << 0
                           << QStringList { QStringLiteral("CHAMADA DO Canal 0") };
        QTest::newRow("leading zero") << QByteArrayLiteral("CHAMADA DO Canal 07") << 0
                                      << QStringList { QStringLiteral("CHAMADA DO Canal 07") };
        QTest::newRow("lower case") << QByteArrayLiteral("chamada do canal 7") << 0
                                    << QStringList { QStringLiteral("chamada do canal 7") };
        QTest::newRow("trailing blank") << QByteArrayLiteral("CHAMADA DO Canal 7 ") << 0
                                        << QStringList { QStringLiteral("CHAMADA DO Canal 7 ") };
        QTest::newRow("leading blank") << QByteArrayLiteral(" CHAMADA DO Canal 7") << 0
                                       << QStringList { QStringLiteral(" CHAMADA DO Canal 7") };
        QTest::newRow("trailing CR LF")
            << QByteArrayLiteral("CHAMADA DO Canal 7\r\n") << 0
            << QStringList { QStringLiteral("CHAMADA DO Canal 7"), QString() };
        QTest::newRow("ENCERRAR") << QByteArrayLiteral("ENCERRAR") << 0
                                  << QStringList { QStringLiteral("ENCERRAR") };
        QTest::newRow("empty") << QByteArray() << 0 << QStringList { QString() };
        QTest::newRow("line breaks")
            << QByteArrayLiteral("UM\r\nDOIS\nTRES\rQUATRO") << 0
            << QStringList { QStringLiteral("UM"), QStringLiteral("DOIS"), QStringLiteral("TRES"),
                             QStringLiteral("QUATRO") };
        QTest::newRow("Windows-1252") << QByteArray("Ol\xe1, a\xe7\xe3o \x80 5") << 0
                                      << QStringList { QStringLiteral("Olá, ação € 5") };
        QTest::newRow("8192 bytes")
            << QByteArray(8192, 'x') << 0 << QStringList { QString(8192, QLatin1Char('x')) };
    }
    void datagrams()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, call);
        QFETCH(QStringList, expectedLines);
        QSignalSpy marks(m_section, &ChatSection::callMark);
        QSignalSpy shown(m_section->alert(), &AlertWindow::fullyShown);
        send(payload);
        sendMarkerAndWait();
        QCOMPARE(lines(), expectedLines + QStringList { QStringLiteral("MARCA") });
        QVERIFY(m_logs.isEmpty());
        if (call) {
            QCOMPARE(marks.size(), 1);
            QCOMPARE(marks.at(0).at(0).toInt(), call);
            QCOMPARE(marks.at(0).at(1).value<QColor>(), QColor(255, 0, 0));
            QCOMPARE(m_section->alert()->text(),
                     QStringLiteral("O Usuário do Canal %1 esta <br> chamando.").arg(call));
            QVERIFY(m_section->alert()->isVisible());
            QVERIFY(shown.wait(2000) || shown.size() == 1);
        } else {
            QCOMPARE(marks.size(), 0);
            QVERIFY(!m_section->alert()->isVisible());
        }
        auto *view = m_section->panel()->findChild<QPlainTextEdit *>(QStringLiteral("mChat"));
        QVERIFY(view);
        QCOMPARE(view->toPlainText(), lines().join(QLatin1Char('\n')));
    }

    void everyChannelCalls()
    {
        QSignalSpy marks(m_section, &ChatSection::callMark);
        for (int n = 1; n <= 40; ++n)
            send(QByteArrayLiteral("CHAMADA DO Canal ") + QByteArray::number(n));
        QTRY_COMPARE(marks.size(), 40);
        for (int n = 1; n <= 40; ++n)
            QCOMPARE(marks.at(n - 1).at(0).toInt(), n);
        // One alert window: it shows the latest call.
        QCOMPARE(m_section->alert()->text(),
                 QStringLiteral("O Usuário do Canal 40 esta <br> chamando."));
        QVERIFY(lines().isEmpty());
    }

    void oversizedDatagramIsDropped()
    {
        send(QByteArray(8193, 'y'));
        sendMarkerAndWait();
        QCOMPARE(lines(), QStringList { QStringLiteral("MARCA") });
    }

    void takenPortFailsActivation()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress));
        QWidget window;
        ChatSection other(&window);
        other.setListenPort(holder.localPort());
        QVERIFY(!other.activateServer());
    }
};

QTEST_MAIN(TestChatReceive)
#include "tst_chatreceive.moc"
