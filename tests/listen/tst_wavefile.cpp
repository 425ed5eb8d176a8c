#include "listen/G711.h"
#include "listen/WaveFile.h"
#include "tests/listen/WaveBuilder.h"
#include "tools/sim/AudioTone.h"

#include <QTest>

using namespace WaveBuilder;

class TestWaveFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void alaw_data();
    void alaw();
    void ulaw_data();
    void ulaw();
    void tablesAreOddSymmetric();
    void playableFiles_data();
    void playableFiles();
    void unplayableFiles_data();
    void unplayableFiles();
    void decodesToPcm16_data();
    void decodesToPcm16();
    void simulatorStreamDecodes();
};

void TestWaveFile::alaw_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("linear");
    // Values of the ITU-T G.711 reference decoder.
    QTest::newRow("0xD5 smallest positive") << 0xD5 << 8;
    QTest::newRow("0x55 smallest negative") << 0x55 << -8;
    QTest::newRow("0x80") << 0x80 << 5504;
    QTest::newRow("0x00") << 0x00 << -5504;
    QTest::newRow("0xAA largest positive") << 0xAA << 32256;
    QTest::newRow("0x2A largest negative") << 0x2A << -32256;
    QTest::newRow("0xD4 segment 0") << 0xD4 << 24;
    QTest::newRow("0xC5 segment 1") << 0xC5 << 264;
    QTest::newRow("0xF5 segment 2") << 0xF5 << 528;
    QTest::newRow("0xFF") << 0xFF << 848;
}

void TestWaveFile::alaw()
{
    QFETCH(int, code);
    QFETCH(int, linear);
    QCOMPARE(int(G711::alawToLinear(quint8(code))), linear);
}

void TestWaveFile::ulaw_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("linear");
    QTest::newRow("0xFF zero") << 0xFF << 0;
    QTest::newRow("0x7F negative zero") << 0x7F << 0;
    QTest::newRow("0x80 largest positive") << 0x80 << 32124;
    QTest::newRow("0x00 largest negative") << 0x00 << -32124;
    QTest::newRow("0xFE") << 0xFE << 8;
    QTest::newRow("0x7E") << 0x7E << -8;
    QTest::newRow("0xEF") << 0xEF << 132;
    QTest::newRow("0xF0") << 0xF0 << 120;
}

void TestWaveFile::ulaw()
{
    QFETCH(int, code);
    QFETCH(int, linear);
    QCOMPARE(int(G711::ulawToLinear(quint8(code))), linear);
}

void TestWaveFile::tablesAreOddSymmetric()
{
    // The sign bit alone tells a code from its negative twin.
    for (int code = 0; code < 128; ++code) {
        QCOMPARE(G711::alawToLinear(quint8(code)),
                 qint16(-G711::alawToLinear(quint8(code | 0x80))));
        QCOMPARE(G711::ulawToLinear(quint8(code)),
                 qint16(-G711::ulawToLinear(quint8(code | 0x80))));
    }
}

void TestWaveFile::playableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("dataBytes");

    const QByteArray alawFmt = chunk("fmt ", fmt(6, 1, 8000, 8));
    QTest::newRow("A-law 8 kHz mono") << WaveBuilder::alaw(QByteArray(800, char(0xD5)))
                                      << int(WaveFile::Encoding::Alaw) << 1 << 8000 << 800;
    QTest::newRow("mu-law") << riff(chunk("fmt ", fmt(7, 1, 8000, 8)) + chunk("data", "abcd"))
                            << int(WaveFile::Encoding::Ulaw) << 1 << 8000 << 4;
    QTest::newRow("PCM 8-bit stereo 11025")
        << riff(chunk("fmt ", fmt(1, 2, 11025, 8)) + chunk("data", "abcdef"))
        << int(WaveFile::Encoding::Pcm8) << 2 << 11025 << 6;
    QTest::newRow("PCM 16-bit mono")
        << riff(chunk("fmt ", fmt(1, 1, 16000, 16)) + chunk("data", "abcd"))
        << int(WaveFile::Encoding::Pcm16) << 1 << 16000 << 4;
    QTest::newRow("18-byte fmt chunk (cbSize)")
        << riff(chunk("fmt ", fmt(6, 1, 8000, 8) + le16(0)) + chunk("data", "ab"))
        << int(WaveFile::Encoding::Alaw) << 1 << 8000 << 2;
    QTest::newRow("odd-sized chunk before data is padded")
        << riff(alawFmt + chunk("LIST", "xyz") + chunk("data", "abc"))
        << int(WaveFile::Encoding::Alaw) << 1 << 8000 << 3;
    QTest::newRow("fact chunk between fmt and data")
        << riff(alawFmt + chunk("fact", le32(4)) + chunk("data", "abcd"))
        << int(WaveFile::Encoding::Alaw) << 1 << 8000 << 4;
    QTest::newRow("data size past the end is cut")
        << riff(alawFmt + "data" + le32(100000) + "abcde") << int(WaveFile::Encoding::Alaw) << 1
        << 8000 << 5;
    QTest::newRow("data size 0xFFFFFFFF") << riff(alawFmt + "data" + le32(0xFFFFFFFFu) + "ab")
                                          << int(WaveFile::Encoding::Alaw) << 1 << 8000 << 2;
    QTest::newRow("half frame at the end dropped")
        << riff(chunk("fmt ", fmt(1, 1, 8000, 16)) + chunk("data", "abc"))
        << int(WaveFile::Encoding::Pcm16) << 1 << 8000 << 2;
    QTest::newRow("wrong RIFF size ignored")
        << QByteArray("RIFF" + le32(7) + "WAVE" + alawFmt + chunk("data", "ab"))
        << int(WaveFile::Encoding::Alaw) << 1 << 8000 << 2;
}

void TestWaveFile::playableFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, encoding);
    QFETCH(int, channels);
    QFETCH(int, rate);
    QFETCH(int, dataBytes);

    const auto clip = WaveFile::parse(bytes);
    QVERIFY(clip);
    QCOMPARE(int(clip->encoding), encoding);
    QCOMPARE(clip->channels, channels);
    QCOMPARE(clip->sampleRate, rate);
    QCOMPARE(clip->data.size(), dataBytes);
}

void TestWaveFile::unplayableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray alawFmt = chunk("fmt ", fmt(6, 1, 8000, 8));
    const QByteArray data = chunk("data", "abcd");

    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a few bytes") << QByteArray("hello");
    QTest::newRow("RIFF only") << QByteArray("RIFF");
    QTest::newRow("not WAVE") << QByteArray("RIFF" + le32(16) + "AVI " + alawFmt + data);
    QTest::newRow("no fmt") << riff(data);
    QTest::newRow("no data") << riff(alawFmt);
    QTest::newRow("data before fmt") << riff(data + alawFmt);
    QTest::newRow("empty data") << riff(alawFmt + chunk("data", {}));
    QTest::newRow("fmt chunk too short") << riff(chunk("fmt ", le16(6) + le16(1)) + data);
    QTest::newRow("fmt cut by the end") << riff("fmt " + le32(16) + le16(6) + le16(1));
    QTest::newRow("IEEE float") << riff(chunk("fmt ", fmt(3, 1, 8000, 32)) + data);
    QTest::newRow("MP3") << riff(chunk("fmt ", fmt(0x55, 1, 8000, 0)) + data);
    QTest::newRow("A-law 16-bit") << riff(chunk("fmt ", fmt(6, 1, 8000, 16)) + data);
    QTest::newRow("PCM 24-bit") << riff(chunk("fmt ", fmt(1, 1, 8000, 24)) + data);
    QTest::newRow("no channels") << riff(chunk("fmt ", fmt(6, 0, 8000, 8)) + data);
    QTest::newRow("too many channels") << riff(chunk("fmt ", fmt(6, 9, 8000, 8)) + data);
    QTest::newRow("rate zero") << riff(chunk("fmt ", fmt(6, 1, 0, 8)) + data);
    QTest::newRow("rate huge") << riff(chunk("fmt ", fmt(6, 1, 0xFFFFFFFFu, 8)) + data);
    QTest::newRow("chunk size runs off the end")
        << riff(alawFmt + "LIST" + le32(0xFFFFFFF0u) + "xx" + data);
    QTest::newRow("less than one stereo frame")
        << riff(chunk("fmt ", fmt(1, 2, 8000, 16)) + chunk("data", "abc"));
}

void TestWaveFile::unplayableFiles()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!WaveFile::parse(bytes));
}

void TestWaveFile::decodesToPcm16_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("samples");
    QTest::newRow("A-law") << WaveBuilder::alaw(QByteArray("\xD5\x55\xAA\x2A", 4))
                           << QList<int> { 8, -8, 32256, -32256 };
    QTest::newRow("mu-law") << riff(chunk("fmt ", fmt(7, 1, 8000, 8))
                                    + chunk("data", QByteArray("\xFF\x80\x00\xFE", 4)))
                            << QList<int> { 0, 32124, -32124, 8 };
    QTest::newRow("PCM 8-bit is unsigned")
        << riff(chunk("fmt ", fmt(1, 1, 8000, 8)) + chunk("data", QByteArray("\x80\x00\xFF", 3)))
        << QList<int> { 0, -32768, 32512 };
    QTest::newRow("PCM 16-bit little-endian")
        << riff(chunk("fmt ", fmt(1, 1, 8000, 16))
                + chunk("data", le16(0x1234) + le16(0xFFFF) + le16(0x8000)))
        << QList<int> { 0x1234, -1, -32768 };
}

void TestWaveFile::decodesToPcm16()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, samples);
    const auto clip = WaveFile::parse(bytes);
    QVERIFY(clip);
    const QByteArray pcm = WaveFile::toPcm16(*clip);
    QCOMPARE(pcm.size(), samples.size() * 2);
    const auto *values = reinterpret_cast<const qint16 *>(pcm.constData());
    for (qsizetype i = 0; i < samples.size(); ++i)
        QCOMPARE(int(values[i]), samples.at(i));
}

void TestWaveFile::simulatorStreamDecodes()
{
    // The simulator's encoder is the inverse of our decoder on every code...
    for (int code = 0; code < 256; ++code)
        QCOMPARE(int(AudioTone::linearToAlaw(G711::alawToLinear(quint8(code)))), code);
    // ...and its clips are the wave files the recorder sends.
    const auto clip = WaveFile::parse(AudioTone::waveClip(23, 0, 1600));
    QVERIFY(clip);
    QCOMPARE(int(clip->encoding), int(WaveFile::Encoding::Alaw));
    QCOMPARE(clip->sampleRate, 8000);
    QCOMPARE(clip->channels, 1);
    QCOMPARE(clip->data.size(), 1600);
}

QTEST_GUILESS_MAIN(TestWaveFile)
#include "tst_wavefile.moc"
