// The endpoint editor of the group "Canais": what each choice and each edit
// writes to a real settings file.
#include "app/ErrorReport.h"
#include "chat/ChatEndpoint.h"
#include "chat/ChatEndpointEditor.h"
#include "chat/ChatSection.h"
#include "settings/SettingsStore.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestChatEndpoints : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_file;
    QStringList m_errors;
    QGroupBox *m_group = nullptr;
    ChatSection *m_section = nullptr;
    ChatEndpointEditor *m_editor = nullptr;

    QSettings raw() const { return QSettings(m_file, QSettings::IniFormat); }
    void put(const QString &name, const QVariant &value)
    {
        QSettings s(m_file, QSettings::IniFormat);
        s.setValue(name, value);
    }
    void choose(int position)
    {
        m_editor->channelList()->setCurrentIndex(position);
        Q_EMIT m_editor->channelList()->activated(position);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        ErrorReport::setPresenter([this](const QString &m) { m_errors << m; });
    }

    void init()
    {
        m_file = m_dir.filePath(
            QStringLiteral("%1.ini").arg(QString::fromLatin1(QTest::currentTestFunction())));
        QFile::remove(m_file);
        SettingsStore::setLocationOverride(SettingsStore::Key::Main, m_file);
        m_errors.clear();
        m_group = new QGroupBox(QStringLiteral("Canais"));
        m_section = new ChatSection(m_group, m_group);
        m_section->buildEndpointEditor(m_group);
        m_editor = m_section->endpointEditor();
        QVERIFY(m_editor);
    }

    void cleanup()
    {
        delete m_group;
        m_group = nullptr;
    }

    void startsEmptyWithFortyChannels()
    {
        auto *cb = m_group->findChild<QComboBox *>(QStringLiteral("cbCanal"));
        auto *ip = m_group->findChild<QLineEdit *>(QStringLiteral("edIPChat"));
        auto *port = m_group->findChild<QLineEdit *>(QStringLiteral("edPortaChat"));
        QVERIFY(cb && ip && port);
        QCOMPARE(cb->count(), 40);
        QCOMPARE(cb->itemText(0), QStringLiteral("Canal 1"));
        QCOMPARE(cb->itemText(39), QStringLiteral("Canal 40"));
        QCOMPARE(cb->currentIndex(), -1);
        QVERIFY(!cb->isEditable());
        QVERIFY(ip->text().isEmpty() && port->text().isEmpty());
        QCOMPARE(ip->accessibleDescription(), QStringLiteral("edIPChat"));
        QVERIFY(!QFile::exists(m_file));
    }

    void choosingLoadsTheChannel_data()
    {
        QTest::addColumn<int>("position");
        QTest::newRow("Canal 1") << 0;
        QTest::newRow("Canal 12") << 11;
        QTest::newRow("Canal 40") << 39;
    }
    void choosingLoadsTheChannel()
    {
        QFETCH(int, position);
        for (int n = 1; n <= 40; ++n) {
            put(ChatEndpoint::addressName(n), QStringLiteral("10.0.0.%1").arg(n));
            put(ChatEndpoint::portName(n), QString::number(9800 + n));
        }
        put(QStringLiteral("idCanal"), 7);
        choose(position);
        const int n = position + 1;
        QCOMPARE(raw().value(QStringLiteral("idCanal")).toString(), QString::number(position));
        QCOMPARE(m_editor->addressEditor()->text(), QStringLiteral("10.0.0.%1").arg(n));
        QCOMPARE(m_editor->portEditor()->text(), QString::number(9800 + n));
        QVERIFY(m_errors.isEmpty());
    }

    void editsWriteTheChosenChannel()
    {
        choose(4);
        m_editor->addressEditor()->setText(QStringLiteral("agente5"));
        QCOMPARE(ChatEndpoint::read(5).address, QStringLiteral("agente5"));
        QTest::keyClicks(m_editor->addressEditor(), QStringLiteral(".local"));
        QCOMPARE(ChatEndpoint::read(5).address, QStringLiteral("agente5.local"));
        // Not validated: letters in the port are stored as typed.
        QTest::keyClicks(m_editor->portEditor(), QStringLiteral("abc"));
        QCOMPARE(ChatEndpoint::read(5).port, QStringLiteral("abc"));
        // Deleting everything stores an empty value; it is not removed.
        m_editor->portEditor()->clear();
        QVERIFY(raw().contains(ChatEndpoint::portName(5)));
        QCOMPARE(ChatEndpoint::read(5).port, QString());
        QCOMPARE(ChatEndpoint::read(4).address, QString());
        QVERIFY(!raw().contains(ChatEndpoint::addressName(4)));
    }

    void textWithoutChannelIsStoredNowhere()
    {
        put(ChatEndpoint::addressName(3), QStringLiteral("10.1.1.3"));
        m_editor->addressEditor()->setText(QStringLiteral("192.168.0.99"));
        m_editor->portEditor()->setText(QStringLiteral("5000"));
        const QStringList keys = raw().allKeys();
        QCOMPARE(keys, QStringList { ChatEndpoint::addressName(3) });
        // A later choice replaces the typed text with the channel's values.
        choose(2);
        QCOMPARE(m_editor->addressEditor()->text(), QStringLiteral("10.1.1.3"));
        QCOMPARE(m_editor->portEditor()->text(), QString());
    }

    void choosingAnUnsetChannelCreatesEmptyValuesOnlyForFieldsThatHeldText()
    {
        choose(0);
        QVERIFY(!raw().contains(ChatEndpoint::addressName(1)));
        QVERIFY(!raw().contains(ChatEndpoint::portName(1)));
        m_editor->addressEditor()->setText(QStringLiteral("10.0.0.1"));
        choose(6);
        QVERIFY(m_editor->addressEditor()->text().isEmpty());
        QVERIFY(raw().contains(ChatEndpoint::addressName(7)));
        QCOMPARE(raw().value(ChatEndpoint::addressName(7)).toString(), QString());
        QVERIFY(!raw().contains(ChatEndpoint::portName(7)));
        QCOMPARE(ChatEndpoint::read(1).address, QStringLiteral("10.0.0.1"));
    }

    void wrongTypeKeepsTheFields()
    {
        choose(0);
        m_editor->addressEditor()->setText(QStringLiteral("antes"));
        m_editor->portEditor()->setText(QStringLiteral("1"));
        put(ChatEndpoint::addressName(3), QStringList { QStringLiteral("a"), QStringLiteral("b") });
        choose(2);
        QCOMPARE(m_errors, QStringList { QStringLiteral("Invalid data type for 'IPChatC3'") });
        QCOMPARE(raw().value(QStringLiteral("idCanal")).toString(), QStringLiteral("2"));
        QCOMPARE(m_editor->addressEditor()->text(), QStringLiteral("antes"));
        QCOMPARE(m_editor->portEditor()->text(), QStringLiteral("1"));
    }

    void unwritableStoreIsReported()
    {
        // A settings path below a plain file can never be created.
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SettingsStore::setLocationOverride(SettingsStore::Key::Main,
                                           blocker.fileName() + QStringLiteral("/config.ini"));
        m_editor->addressEditor()->setText(QStringLiteral("x"));
        QCOMPARE(m_errors.size(), 1);
        QVERIFY(m_errors.first().startsWith(QStringLiteral("Failed to create key")));
        m_errors.clear();
        choose(1);
        QCOMPARE(m_errors.size(), 1);
        // The fields are not loaded when the choice could not be recorded.
        QCOMPARE(m_editor->addressEditor()->text(), QStringLiteral("x"));
    }
};

QTEST_MAIN(TestChatEndpoints)
#include "tst_chatendpoints.moc"
