#include "FileFault.h"
#include "WaveBuilder.h"
#include "listen/AudioFileLocation.h"
#include "listen/AudioReceiver.h"
#include "listen/ListeningSection.h"
#include "listen/WavePlayer.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QWidget>
#include <memory>

// TempAudioFile faults the listen tests leave out: a file locked against
// writing while the program runs, and a disk that fills up in the middle of
// a clip. No clip is ever played half-written, nothing is shown to the
// user, and listening goes on.
class TestAudioFileFaults final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void lockedWhileRunningMovesToCache();
    void fullDiskDropsTheClipNotTheNext();

private:
    void send(const QByteArray &payload);
    QString programFile() const;
    static QByteArray content(const QString &path);

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_window;
    ListeningSection *m_section = nullptr;
    quint16 m_port = 0;
    QStringList m_log;
};

void TestAudioFileFaults::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

void TestAudioFileFaults::init()
{
    QDir(QFileInfo(AudioFileLocation::cacheFile()).absolutePath()).removeRecursively();
    m_window = std::make_unique<QWidget>();
    m_section = new ListeningSection(m_window.get(), m_window.get());
    m_section->setProgramDirectory(m_dir.path() + QLatin1Char('/'));
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
    m_port = probe.localPort();
    probe.close();
    m_section->setAudioPorts(m_port, 0);
    QVERIFY(m_section->activateAudio());
    m_log.clear();
    connect(m_section, &ListeningSection::logMessage, this,
            [this](const QString &m) { m_log << m; });
}

void TestAudioFileFaults::cleanup()
{
    FileFault::setImmutable(programFile(), false);
    m_window.reset();
    QDir(QFileInfo(AudioFileLocation::cacheFile()).absolutePath()).removeRecursively();
}

QString TestAudioFileFaults::programFile() const
{
    return AudioFileLocation::programFile(m_dir.path());
}

QByteArray TestAudioFileFaults::content(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestAudioFileFaults::send(const QByteArray &payload)
{
    QUdpSocket sender;
    QCOMPARE(sender.writeDatagram(payload, QHostAddress(QHostAddress::LocalHost), m_port),
             qint64(payload.size()));
}

void TestAudioFileFaults::lockedWhileRunningMovesToCache()
{
    QSignalSpy written(m_section->audioReceiver(), &AudioReceiver::clipWritten);
    QSignalSpy played(m_section->player(), &WavePlayer::clipStarted);
    const QByteArray first = WaveBuilder::alawOfSize(300, char(0x01));
    send(first);
    QVERIFY(written.wait(2000));
    QCOMPARE(written.takeFirst().at(0).toString(), programFile());

    // Another program (or an administrator) locks the file.
    if (!FileFault::setImmutable(programFile(), true))
        QSKIP("the immutable flag needs root and a file system that keeps it");
    const QByteArray second = WaveBuilder::alawOfSize(500, char(0x02));
    send(second);
    QVERIFY(written.wait(2000));
    QCOMPARE(written.takeFirst().at(0).toString(), AudioFileLocation::cacheFile());
    QCOMPARE(content(AudioFileLocation::cacheFile()), second);
    QCOMPARE(content(programFile()), first);
    QCOMPARE(played.count(), 2);
    QVERIFY(m_log.isEmpty());
}

void TestAudioFileFaults::fullDiskDropsTheClipNotTheNext()
{
    QSignalSpy written(m_section->audioReceiver(), &AudioReceiver::clipWritten);
    QSignalSpy dropped(m_section->audioReceiver(), &AudioReceiver::datagramDropped);
    QSignalSpy played(m_section->player(), &WavePlayer::clipStarted);
    {
        // No file of this process may grow past 2000 bytes: a 4000-byte
        // clip fails half-way, as on a full disk.
        FileFault::FileSizeLimit limit(2000);
        QVERIFY(limit.ok());
        send(WaveBuilder::alawOfSize(4000, char(0x03)));
        QVERIFY(dropped.wait(2000));
        QCOMPARE(written.count(), 0);
        QCOMPARE(played.count(), 0); // the cut clip is never played

        // The disk still has room for a short clip.
        const QByteArray small = WaveBuilder::alawOfSize(1000, char(0x04));
        send(small);
        QVERIFY(written.wait(2000));
        QCOMPARE(content(written.constFirst().at(0).toString()), small);
        QCOMPARE(played.count(), 1);
    }
    const QByteArray large = WaveBuilder::alawOfSize(4000, char(0x05));
    send(large);
    QVERIFY(written.wait(2000));
    QCOMPARE(content(written.constLast().at(0).toString()), large);
    QCOMPARE(played.count(), 2);
    QVERIFY(m_log.isEmpty());
}

QTEST_MAIN(TestAudioFileFaults)
#include "tst_audiofilefaults.moc"
