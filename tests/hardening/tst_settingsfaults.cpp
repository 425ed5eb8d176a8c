#include "FileFault.h"
#include "app/ErrorReport.h"
#include "app/MainFormRemoteClient.h"
#include "monitor/MonitorSection.h"
#include "monitor/StatusPoller.h"
#include "monitor/TDM.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <optional>

namespace {
const QFile::Permissions kAll = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
    | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
const QFile::Permissions kReadWrite
    = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther;
} // namespace

// A settings store that refuses writes: every refused write is shown, the
// store and its folder stay as they were, the editor keeps what was typed,
// and the program goes on (start-up included) and stores again once the
// store can be written.
class TestSettingsFaults final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void editorWriteFault_data();
    void editorWriteFault();
    void startUpWithReadOnlyStore();

private:
    enum class Applied { Yes, Impossible, Failed };
    // Makes the store refuse writes.
    Applied applyFault(const QString &fault);
    QStringList entries() const;

    QTemporaryDir m_dir;
    QString m_folder;
    QString m_store;
    QStringList m_errors;
    std::optional<FileFault::Unprivileged> m_user;
};

void TestSettingsFaults::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::setPermissions(m_dir.path(), kAll));
}

void TestSettingsFaults::init()
{
    m_folder = m_dir.filePath(QStringLiteral("VorlanNH"));
    m_store = m_folder + QStringLiteral("/config.ini");
    QVERIFY(QDir().mkpath(m_folder));
    QVERIFY(QFile::setPermissions(m_folder, kAll));
    SettingsStore::setLocationOverride(SettingsStore::Key::Main, m_store);
    m_errors.clear();
    ErrorReport::setPresenter([this](const QString &m) { m_errors << m; });
}

void TestSettingsFaults::cleanup()
{
    m_user.reset();
    FileFault::setImmutable(m_store, false);
    FileFault::setImmutable(m_folder, false);
    QFile::setPermissions(m_folder, kAll);
    if (QFileInfo(m_store).isDir())
        QDir(m_store).removeRecursively();
    QFile::setPermissions(m_store, kReadWrite);
    QFile::remove(m_store);
    QDir(m_folder).removeRecursively();
    QFile::remove(m_folder);
    SettingsStore::setLocationOverride(SettingsStore::Key::Main, {});
    ErrorReport::setPresenter({});
}

QStringList TestSettingsFaults::entries() const
{
    return QDir(m_folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden
                                    | QDir::System);
}

TestSettingsFaults::Applied TestSettingsFaults::applyFault(const QString &fault)
{
    const auto done = [](bool ok) {
        return ok ? Applied::Yes : Applied::Failed;
    };
    const auto immutable = [](const QString &path) {
        return FileFault::setImmutable(path, true) ? Applied::Yes : Applied::Impossible;
    };
    if (fault == QLatin1String("read-only store")) {
        if (!QFile::setPermissions(m_store, QFile::ReadOwner | QFile::ReadOther))
            return Applied::Failed;
        m_user.emplace();
        return done(m_user->ok());
    }
    if (fault == QLatin1String("read-only folder")) {
        if (!QFile::setPermissions(m_folder, kAll & ~(QFile::WriteOwner | QFile::WriteOther)))
            return Applied::Failed;
        m_user.emplace();
        return done(m_user->ok());
    }
    if (fault == QLatin1String("immutable store"))
        return immutable(m_store);
    if (fault == QLatin1String("immutable folder"))
        return immutable(m_folder);
    if (fault == QLatin1String("folder in place of the store"))
        return done(QFile::remove(m_store) && QDir().mkpath(m_store));
    if (fault == QLatin1String("store below a file")) {
        QFile blocker(m_folder);
        return done(QDir(m_folder).removeRecursively() && blocker.open(QIODevice::WriteOnly));
    }
    return Applied::Failed;
}

void TestSettingsFaults::editorWriteFault_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("error");
    const QString failedToSet = QStringLiteral("Failed to set data for 'IPServidor'");
    for (const char *fault : { "read-only store", "read-only folder", "immutable store",
                               "immutable folder", "folder in place of the store" })
        QTest::newRow(fault) << QString::fromLatin1(fault) << failedToSet;
    QTest::newRow("store below a file")
        << QStringLiteral("store below a file") << QStringLiteral("Failed to create key %1");
}

void TestSettingsFaults::editorWriteFault()
{
    QFETCH(QString, fault);
    QFETCH(QString, error);
    SettingsStore().write(QStringLiteral("IPServidor"), QStringLiteral("10.0.0.1"));
    QVERIFY(QFile::setPermissions(m_store, kReadWrite));
    QFile stored(m_store);
    QVERIFY(stored.open(QIODevice::ReadOnly));
    const QByteArray before = stored.readAll();
    stored.close();
    SettingsPage page;
    QLineEdit *edtURL = page.editor(QStringLiteral("edtURL"));
    const Applied applied = applyFault(fault);
    if (applied == Applied::Impossible)
        QSKIP("the immutable flag needs root and a file system that keeps it");
    QVERIFY(applied == Applied::Yes);
    const QStringList folderBefore = entries();

    QTest::keyClicks(edtURL, QStringLiteral("19"));
    m_user.reset();

    // One box per refused keystroke; the editor keeps the text.
    const QString shown = error.contains(QLatin1String("%1")) ? error.arg(m_store) : error;
    QCOMPARE(m_errors, QStringList({ shown, shown }));
    QCOMPARE(edtURL->text(), QStringLiteral("19"));
    QCOMPARE(entries(), folderBefore); // no half-written file left beside it
    if (QFileInfo(m_store).isFile()) {
        FileFault::setImmutable(m_store, false);
        QVERIFY(QFile::setPermissions(m_store, kReadWrite));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), before);
        stored.close();
    }

    // The program goes on: once the store can be written again (a fresh
    // one), the next change stores the editor's whole text.
    cleanup();
    init();
    QTest::keyClicks(edtURL, QStringLiteral("2"));
    QVERIFY(m_errors.isEmpty());
    QCOMPARE(SettingsStore().read(QStringLiteral("IPServidor")), QStringLiteral("192"));
}

void TestSettingsFaults::startUpWithReadOnlyStore()
{
    QUdpSocket chat;
    QVERIFY(chat.bind(QHostAddress::AnyIPv4, 0));
    const quint16 chatPort = chat.localPort();
    chat.close();
    const SettingsStore store;
    const QList<QPair<const char *, QString>> values = {
        { "IPServidor", QStringLiteral("127.0.0.1") },
        { "UsuarioClient", QStringLiteral("SUP") },
        { "PortaServidorChat", QString::number(chatPort) },
        { "PortaStatus", QStringLiteral("9") },
        { "PortaStatus2", QStringLiteral("9") },
        { "PortaServidor", QStringLiteral("9") },
        { "PortaServidor2", QStringLiteral("9") },
    };
    for (const auto &v : values)
        store.write(QString::fromLatin1(v.first), v.second);
    if (!FileFault::setImmutable(m_store, true)) {
        QVERIFY(QFile::setPermissions(m_store, QFile::ReadOwner | QFile::ReadOther));
        if (::geteuid() == 0)
            QSKIP("as root, a read-only store needs the immutable flag");
    }

    TDM dm;
    TMainFormRemoteClient window(&dm);
    const int endStep = window.FormCreate();
    // The first editor loaded cannot store its value: the sequence ends at
    // the settings step with the refusal shown, and the window runs on.
    QCOMPARE(endStep, 7);
    QCOMPARE(m_errors, QStringList { QStringLiteral("Failed to set data for 'IPServidor'") });
    QCOMPARE(window.settingsPage()->editor(QStringLiteral("edtURL"))->text(),
             QStringLiteral("127.0.0.1"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // The status poll started before the settings step goes on.
    QSignalSpy polled(window.monitor()->poller(1), &StatusPoller::exchangeFinished);
    QVERIFY(polled.wait(2000));
    m_errors.clear();
    QTest::keyClicks(window.settingsPage()->editor(QStringLiteral("edusuario")),
                     QStringLiteral("X"));
    QCOMPARE(m_errors, QStringList { QStringLiteral("Failed to set data for 'UsuarioClient'") });
}

QTEST_MAIN(TestSettingsFaults)
#include "tst_settingsfaults.moc"
