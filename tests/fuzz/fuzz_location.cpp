// A recording path as stored in the database, mapped to where the recording
// is found here, with the word routines it is built on. Input: the stored
// path, a zero byte, the recordings directory, a zero byte, a separator set
// for the word routines (all Windows-1252).
#include "FuzzCheck.h"
#include "app/Win1252.h"
#include "archive/RecordingLocation.h"

#include <QStringList>

namespace {

// The words of text: the non-empty runs between separator characters,
// found by turning every separator into the first one and splitting there.
QStringList expectedWords(const QString &text, const QString &separators)
{
    if (separators.isEmpty())
        return text.isEmpty() ? QStringList() : QStringList { text };
    QString unified = text;
    for (const QChar c : separators)
        unified.replace(c, separators.at(0));
    return unified.split(separators.at(0), Qt::SkipEmptyParts);
}

void checkWords(const QString &text, const QString &separators)
{
    using namespace RecordingLocation;
    const QStringList words = expectedWords(text, separators);
    const int count = CountWords(text, separators);
    FUZZ_CHECK(count == words.size());
    for (const int n : { -1, 0, 1, 2, 3, count - 1, count, count + 1 }) {
        const QString expected = n >= 1 && n <= count ? words.at(n - 1) : QString();
        FUZZ_CHECK(NthWord(n, text, separators) == expected);
    }
    FUZZ_CHECK(!ContainsWord(QString(), text, separators));
    for (const QString &word : { words.value(0), words.value(count / 2), words.value(count - 1),
                                 QStringLiteral("2015"), QStringLiteral("http") }) {
        FUZZ_CHECK(ContainsWord(word, text, separators) == words.contains(word));
    }
}

bool hasYearLevel(const QString &storedPath)
{
    const QStringList levels = expectedWords(storedPath, QStringLiteral("\\"));
    for (int year = 2010; year <= 2020; ++year) {
        if (levels.contains(QString::number(year)))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace RecordingLocation;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> parts = input.split('\0');
    const QString storedPath = Win1252::decode(parts.value(0));
    const QString directory = Win1252::decode(parts.value(1));
    const QString separators = Win1252::decode(parts.value(2));

    checkWords(storedPath, separators);
    checkWords(storedPath, QStringLiteral("\\"));
    checkWords(storedPath, QStringLiteral("/"));

    const QString location = map(storedPath, directory);
    FUZZ_CHECK(location.isEmpty() == !hasYearLevel(storedPath));

    const QString file = fileNamePart(location);
    FUZZ_CHECK(location.endsWith(file));
    FUZZ_CHECK(!file.contains(QLatin1Char('\\')) && !file.contains(QLatin1Char(':')));

    const QString here = forThisSystem(location);
    FUZZ_CHECK(here.size() == location.size() && !here.contains(QLatin1Char('\\')));
    return 0;
}
