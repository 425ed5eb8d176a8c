#include "archive/RecordingLocation.h"

namespace RecordingLocation {

namespace {
// Start and length of the n-th word (from 1); start -1 when there is none.
std::pair<qsizetype, qsizetype> locate(int n, const QString &text, const QString &separators)
{
    int count = 0;
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size) {
        while (i < size && separators.contains(text.at(i)))
            ++i;
        if (i >= size)
            break;
        const qsizetype start = i;
        while (i < size && !separators.contains(text.at(i)))
            ++i;
        if (++count == n)
            return { start, i - start };
    }
    return { -1, count };
}
} // namespace

int CountWords(const QString &text, const QString &separators)
{
    return int(locate(-1, text, separators).second);
}

QString NthWord(int n, const QString &text, const QString &separators)
{
    if (n < 1)
        return {};
    const auto [start, length] = locate(n, text, separators);
    return start < 0 ? QString() : text.mid(start, length);
}

bool ContainsWord(const QString &word, const QString &text, const QString &separators)
{
    // One pass: asking NthWord for every word in turn walks the text again
    // for each one, seconds on a stored path of a few thousand levels.
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        while (i < size && separators.contains(text.at(i)))
            ++i;
        if (i >= size)
            break;
        const qsizetype start = i;
        while (i < size && !separators.contains(text.at(i)))
            ++i;
        if (QStringView(text).sliced(start, i - start) == word)
            return true;
    }
    return false;
}

QString map(const QString &storedPath, const QString &recordingsDirectory)
{
    const QString backslash = QStringLiteral("\\");
    QString location;
    for (int year = 2010; year <= 2020; ++year) {
        const QString y = QString::number(year);
        if (!ContainsWord(y, storedPath, backslash))
            continue;
        const QString prefix = storedPath.left(storedPath.indexOf(y));
        location = storedPath;
        // An empty prefix would insert the directory between every character.
        if (!prefix.isEmpty())
            location.replace(prefix, recordingsDirectory + backslash);
    }
    if (ContainsWord(QStringLiteral("http"), location, QStringLiteral("/")))
        location.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return location;
}

QString fileNamePart(const QString &location)
{
    const qsizetype cut
        = std::max(location.lastIndexOf(QLatin1Char('\\')), location.lastIndexOf(QLatin1Char(':')));
    return location.mid(cut + 1);
}

QString forThisSystem(const QString &location)
{
    // Neither a local path nor a URL here can use "\" as a separator.
    QString path = location;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

} // namespace RecordingLocation
