#include "settings/Conversions.h"

#include "app/VorlanError.h"

#include <QLocale>
#include <limits>

namespace Conversions {

bool tryInteger(const QString &text, int *value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text.at(i) == QLatin1Char('0')
               && (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    qint64 magnitude = 0;
    const qint64 limit = base == 16 ? 0xFFFFFFFFLL : qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (base == 16 && !negative && magnitude <= 0xFFFFFFFFLL) {
        // Hexadecimal may spell a negative 32-bit pattern, as $FFFFFFFF.
        if (value)
            *value = static_cast<int>(static_cast<quint32>(magnitude));
        return true;
    }
    if (result < std::numeric_limits<int>::min() || result > std::numeric_limits<int>::max())
        return false;
    if (value)
        *value = static_cast<int>(result);
    return true;
}

QString integerError(const QString &text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

int toInteger(const QString &text)
{
    int value = 0;
    if (!tryInteger(text, &value))
        throw VorlanError(integerError(text));
    return value;
}

bool toBoolean(const QString &text)
{
    int number = 0;
    if (tryInteger(text, &number))
        return number != 0;
    bool isNumber = false;
    const double d = QLocale::c().toDouble(text.trimmed(), &isNumber);
    if (isNumber)
        return d != 0.0;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    throw VorlanError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
}

} // namespace Conversions
