#include "listen/AudioFileLocation.h"
#include "listen/AudioReceiver.h"
#include "listen/ListeningSection.h"
#include "listen/WavePlayer.h"
#include "tests/listen/WaveBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QWidget>
#include <memory>

// The audio listeners over real UDP: datagram size limit, the temporary
// file, the hand-over to the player, and a port already taken.
class TestLiveAudio : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void usesAudioFolderOfProgramDirectory();
    void sizeLimit();
    void secondDatagramReplacesFirst();
    void bothListenersShareTheFile();
    void garbagePlaysNothing();
    void missingFolderIsCreated();
    void unwritableProgramFolderFallsBackToCache_data();
    void unwritableProgramFolderFallsBackToCache();
    void nowhereToWriteDropsSilently();
    void portTaken_data();
    void portTaken();
    void playerRejectsUnplayable();

private:
    static quint16 freePort();
    void send(quint16 port, const QByteArray &payload);
    QByteArray fileContent() const;
    void makeProgramFolderUnwritable(const QString &how);
    QString cacheVorlan() const;

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    ListeningSection *m_section = nullptr;
    quint16 m_port = 0;
    quint16 m_port2 = 0;
    QStringList m_log;
    QUdpSocket m_sender;
};

quint16 TestLiveAudio::freePort()
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0))
        return 0;
    return probe.localPort();
}

void TestLiveAudio::initTestCase()
{
    // The cache fallback goes to a throw-away test location, not the user's.
    QStandardPaths::setTestModeEnabled(true);
}

QString TestLiveAudio::cacheVorlan() const
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/vorlan");
}

void TestLiveAudio::init()
{
    QFile::remove(cacheVorlan());
    QDir(cacheVorlan()).removeRecursively();
    QVERIFY(m_dir.isValid());
    QDir(m_dir.path()).mkpath(QStringLiteral("audio"));
    m_window = std::make_unique<QWidget>();
    m_section = new ListeningSection(m_window.get(), m_window.get());
    m_section->setProgramDirectory(m_dir.path() + QLatin1Char('/'));
    m_port = freePort();
    m_port2 = freePort();
    QVERIFY(m_port && m_port2 && m_port != m_port2);
    m_section->setAudioPorts(m_port, m_port2);
    m_log.clear();
    connect(m_section, &ListeningSection::logMessage, this,
            [this](const QString &message) { m_log.append(message); });
}

void TestLiveAudio::cleanup()
{
    m_window.reset();
    QFile::remove(cacheVorlan());
    QDir(cacheVorlan()).removeRecursively();
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
}

void TestLiveAudio::send(quint16 port, const QByteArray &payload)
{
    QCOMPARE(m_sender.writeDatagram(payload, QHostAddress(QHostAddress::LocalHost), port),
             qint64(payload.size()));
}

QByteArray TestLiveAudio::fileContent() const
{
    QFile file(m_section->tempAudioFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestLiveAudio::usesAudioFolderOfProgramDirectory()
{
    QCOMPARE(m_section->tempAudioFile(), m_dir.path() + QStringLiteral("/audio/temp.wav"));
    QVERIFY(m_section->activateAudio());
    QVERIFY(m_section->audioReceiver()->isActive(1));
    QVERIFY(m_section->audioReceiver()->isActive(2));
}

void TestLiveAudio::sizeLimit()
{
    QVERIFY(m_section->activateAudio());
    QSignalSpy written(m_section->audioReceiver(), &AudioReceiver::clipWritten);
    QSignalSpy played(m_section->player(), &WavePlayer::clipStarted);
    QSignalSpy dropped(m_section->audioReceiver(), &AudioReceiver::datagramDropped);

    const QByteArray tooBig = WaveBuilder::alawOfSize(47804, char(0x11));
    const QByteArray largest = WaveBuilder::alawOfSize(47803, char(0x22));
    send(m_port, tooBig);
    send(m_port, largest);

    QVERIFY(written.wait(2000));
    QCOMPARE(written.count(), 1);
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(fileContent(), largest);
    QCOMPARE(played.count(), 1);
    QCOMPARE(played.first().at(0).toLongLong(), 47803 - 44);
    QVERIFY(m_log.isEmpty());
    QVERIFY(!m_section->isConnected());
}

void TestLiveAudio::secondDatagramReplacesFirst()
{
    QVERIFY(m_section->activateAudio());
    QSignalSpy written(m_section->audioReceiver(), &AudioReceiver::clipWritten);
    QSignalSpy played(m_section->player(), &WavePlayer::clipStarted);

    const QByteArray first = WaveBuilder::alawOfSize(16044, char(0x33));
    const QByteArray second = WaveBuilder::alawOfSize(844, char(0x44));
    send(m_port, first);
    send(m_port, second);

    QTRY_COMPARE(written.count(), 2);
    // The shorter second file leaves nothing of the first behind.
    QCOMPARE(fileContent(), second);
    QCOMPARE(played.count(), 2);
    QCOMPARE(played.at(0).at(0).toLongLong(), 16000);
    QCOMPARE(played.at(1).at(0).toLongLong(), 800);
}

void TestLiveAudio::bothListenersShareTheFile()
{
    QVERIFY(m_section->activateAudio());
    QSignalSpy written(m_section->audioReceiver(), &AudioReceiver::clipWritten);
    const QByteArray fromServer2 = WaveBuilder::alawOfSize(444, char(0x55));
    send(m_port2, fromServer2);
    QVERIFY(written.wait(2000));
    QCOMPARE(written.first().at(0).toString(), m_section->tempAudioFile());
    QCOMPARE(fileContent(), fromServer2);

    const QByteArray fromServer1 = WaveBuilder::alawOfSize(144, char(0x66));
    send(m_port, fromServer1);
    QVERIFY(written.wait(2000));
    QCOMPARE(fileContent(), fromServer1);
}

void TestLiveAudio::garbagePlaysNothing()
{
    QVERIFY(m_section->activateAudio());
    QSignalSpy written(m_section->audioReceiver(), &AudioReceiver::clipWritten);
    QSignalSpy played(m_section->player(), &WavePlayer::clipStarted);
    send(m_port, QByteArray("hello"));
    QVERIFY(written.wait(2000));
    // Written whole, handed to the player, which plays nothing and says nothing.
    QCOMPARE(fileContent(), QByteArray("hello"));
    QCOMPARE(played.count(), 0);
    QVERIFY(m_log.isEmpty());

    // The listener goes on with the next datagram.
    send(m_port, WaveBuilder::alawOfSize(100));
    QVERIFY(written.wait(2000));
    QCOMPARE(played.count(), 1);
}

void TestLiveAudio::missingFolderIsCreated()
{
    const QString audio = m_dir.path() + QStringLiteral("/audio");
    QVERIFY(QDir(audio).removeRecursively());
    m_section->setProgramDirectory(m_dir.path());
    QCOMPARE(m_section->tempAudioFile(), audio + QStringLiteral("/temp.wav"));
    QVERIFY(QFileInfo(audio).isDir());

    // Removed while running: the next clip puts it back.
    QVERIFY(m_section->activateAudio());
    QVERIFY(QDir(audio).removeRecursively());
    QSignalSpy written(m_section->audioReceiver(), &AudioReceiver::clipWritten);
    QSignalSpy played(m_section->player(), &WavePlayer::clipStarted);
    const QByteArray clip = WaveBuilder::alawOfSize(300, char(0x02));
    send(m_port, clip);
    QVERIFY(written.wait(2000));
    QCOMPARE(written.first().at(0).toString(), audio + QStringLiteral("/temp.wav"));
    QCOMPARE(fileContent(), clip);
    QCOMPARE(played.count(), 1);
    QVERIFY(!QFileInfo::exists(cacheVorlan()));
}

void TestLiveAudio::makeProgramFolderUnwritable(const QString &how)
{
    const QString audio = m_dir.path() + QStringLiteral("/audio");
    if (how == QLatin1String("below a file")) {
        // Nobody, root included, can create a folder below a regular file.
        QFile blocker(audio);
        QVERIFY(QDir(audio).removeRecursively());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    } else {
        QFile::remove(audio + QStringLiteral("/temp.wav"));
        QVERIFY(QDir(audio).mkpath(QStringLiteral("temp.wav")));
    }
}

void TestLiveAudio::unwritableProgramFolderFallsBackToCache_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("atStart");
    QTest::newRow("below a file, at start") << QStringLiteral("below a file") << true;
    QTest::newRow("temp.wav is a folder, at start") << QStringLiteral("folder") << true;
    QTest::newRow("below a file, while running") << QStringLiteral("below a file") << false;
    QTest::newRow("temp.wav is a folder, while running") << QStringLiteral("folder") << false;
}

void TestLiveAudio::unwritableProgramFolderFallsBackToCache()
{
    QFETCH(QString, how);
    QFETCH(bool, atStart);
    const QString cached = cacheVorlan() + QStringLiteral("/audio/temp.wav");
    QCOMPARE(AudioFileLocation::cacheFile(), cached);
    if (atStart) {
        makeProgramFolderUnwritable(how);
        m_section->setProgramDirectory(m_dir.path());
        QCOMPARE(m_section->tempAudioFile(), cached);
    } else {
        QCOMPARE(m_section->tempAudioFile(), m_dir.path() + QStringLiteral("/audio/temp.wav"));
        makeProgramFolderUnwritable(how);
    }
    QVERIFY(m_section->activateAudio());
    QSignalSpy written(m_section->audioReceiver(), &AudioReceiver::clipWritten);
    QSignalSpy played(m_section->player(), &WavePlayer::clipStarted);
    QSignalSpy dropped(m_section->audioReceiver(), &AudioReceiver::datagramDropped);
    const QByteArray clip = WaveBuilder::alawOfSize(400, char(0x03));
    send(m_port2, clip);
    QVERIFY(written.wait(2000));
    QCOMPARE(written.first().at(0).toString(), cached);
    QCOMPARE(m_section->tempAudioFile(), cached);
    QCOMPARE(fileContent(), clip);
    QCOMPARE(played.count(), 1);
    QCOMPARE(dropped.count(), 0);
    QVERIFY(m_log.isEmpty());
}

void TestLiveAudio::nowhereToWriteDropsSilently()
{
    makeProgramFolderUnwritable(QStringLiteral("below a file"));
    QFile cacheBlocker(cacheVorlan());
    QVERIFY(QDir().mkpath(QFileInfo(cacheVorlan()).absolutePath()));
    QVERIFY(cacheBlocker.open(QIODevice::WriteOnly));
    cacheBlocker.close();
    m_section->setProgramDirectory(m_dir.path());
    QVERIFY(m_section->activateAudio());
    QSignalSpy written(m_section->audioReceiver(), &AudioReceiver::clipWritten);
    QSignalSpy played(m_section->player(), &WavePlayer::clipStarted);
    QSignalSpy dropped(m_section->audioReceiver(), &AudioReceiver::datagramDropped);
    send(m_port, WaveBuilder::alawOfSize(200, char(0x01)));
    QVERIFY(dropped.wait(2000));
    QCOMPARE(written.count(), 0);
    QCOMPARE(played.count(), 0);

    // The listener keeps running and chooses again once the cache is usable.
    QVERIFY(QFile::remove(cacheVorlan()));
    const QByteArray second = WaveBuilder::alawOfSize(300, char(0x02));
    send(m_port, second);
    QVERIFY(written.wait(2000));
    QCOMPARE(m_section->tempAudioFile(), cacheVorlan() + QStringLiteral("/audio/temp.wav"));
    QCOMPARE(fileContent(), second);
    QCOMPARE(played.count(), 1);
    QVERIFY(m_log.isEmpty());
}

void TestLiveAudio::portTaken_data()
{
    QTest::addColumn<int>("taken");
    QTest::addColumn<bool>("firstActive");
    QTest::newRow("8501 taken") << 1 << false;
    QTest::newRow("8601 taken") << 2 << true;
}

void TestLiveAudio::portTaken()
{
    QFETCH(int, taken);
    QFETCH(bool, firstActive);
    QUdpSocket squatter;
    QVERIFY(squatter.bind(QHostAddress(QHostAddress::AnyIPv4), taken == 1 ? m_port : m_port2));

    QVERIFY(!m_section->activateAudio());
    QCOMPARE(m_section->audioReceiver()->isActive(1), firstActive);
    QVERIFY(!m_section->audioReceiver()->isActive(2));
    QVERIFY(m_log.isEmpty());
}

void TestLiveAudio::playerRejectsUnplayable()
{
    WavePlayer player;
    QSignalSpy played(&player, &WavePlayer::clipStarted);
    QVERIFY(!player.playWave(QByteArray("RIFF\x10\0\0\0WAVEjunk", 16)));
    QVERIFY(!player.playFile(m_dir.path() + QStringLiteral("/nothing.wav")));
    QCOMPARE(played.count(), 0);
    QVERIFY(player.playWave(WaveBuilder::alawOfSize(44 + 8000)));
    QCOMPARE(played.count(), 1);
    QCOMPARE(played.first().at(0).toLongLong(), 8000);
    QCOMPARE(played.first().at(1).toInt(), 8000);
    player.stop();
}

QTEST_MAIN(TestLiveAudio)
#include "tst_liveaudio.moc"
