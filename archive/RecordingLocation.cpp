#include "archive/RecordingLocation.h"

namespace RecordingLocation {

namespace {
// Calls visit(start, length) on each word in turn until it returns true;
// tells whether one did. One pass over the text, whatever is asked.
template<typename Visit> bool eachWord(const QString &text, const QString &separators, Visit visit)
{
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
        if (visit(start, i - start))
            return true;
    }
    return false;
}

// Start and length of the n-th word (from 1); start -1 and the number of
// words when there is none.
std::pair<qsizetype, qsizetype> locate(int n, const QString &text, const QString &separators)
{
    int count = 0;
    std::pair<qsizetype, qsizetype> found { -1, 0 };
    eachWord(text, separators, [&](qsizetype start, qsizetype length) {
        if (++count != n)
            return false;
        found = { start, length };
        return true;
    });
    return found.first < 0 ? std::pair<qsizetype, qsizetype> { -1, count } : found;
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
    // Asking NthWord for every word in turn would walk the text again for
    // each one: seconds on a stored path of a few thousand levels.
    return eachWord(text, separators, [&](qsizetype start, qsizetype length) {
        return QStringView(text).sliced(start, length) == word;
    });
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
