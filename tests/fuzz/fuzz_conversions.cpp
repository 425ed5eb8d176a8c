// Stored setting texts through the strict conversions start-up applies.
// The input is read both as Windows-1252 bytes and, when its length allows,
// as UTF-16, so that characters outside Latin-1 reach the digit tests too.
#include "FuzzCheck.h"
#include "app/VorlanError.h"
#include "app/Win1252.h"
#include "settings/Conversions.h"

#include <QString>
#include <cstring>
#include <limits>
#include <optional>

namespace {

// The integer rules read the slow way: blanks, a sign, a "$" or "0x"
// prefix, then nothing but digits of the base, the value checked at the end.
std::optional<int> expectedInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    QString rest = text.mid(i);
    const bool negative = rest.startsWith(QLatin1Char('-'));
    if (negative || rest.startsWith(QLatin1Char('+')))
        rest.remove(0, 1);
    int base = 10;
    if (rest.startsWith(QLatin1Char('$'))) {
        base = 16;
        rest.remove(0, 1);
    } else if (rest.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        rest.remove(0, 2);
    }
    if (rest.isEmpty())
        return std::nullopt;
    for (const QChar c : rest) {
        const char16_t u = c.unicode();
        const bool digit = (u >= u'0' && u <= u'9')
            || (base == 16 && ((u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')));
        if (!digit)
            return std::nullopt;
    }
    while (rest.size() > 1 && rest.startsWith(QLatin1Char('0')))
        rest.remove(0, 1);
    if (rest.size() > 12)
        return std::nullopt;
    const qint64 magnitude = rest.toLongLong(nullptr, base);
    if (base == 16 && !negative)
        return magnitude <= 0xFFFFFFFFLL ? std::optional(int(quint32(magnitude))) : std::nullopt;
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

void check(const QString &text)
{
    int value = 0;
    const bool ok = Conversions::tryInteger(text, &value);
    const std::optional<int> expected = expectedInteger(text);
    FUZZ_CHECK(ok == expected.has_value());
    FUZZ_CHECK(Conversions::tryInteger(text, nullptr) == ok);
    if (ok) {
        FUZZ_CHECK(value == *expected);
        FUZZ_CHECK(Conversions::toInteger(text) == value);
        FUZZ_CHECK(Conversions::toInteger(QString::number(value)) == value);
        FUZZ_CHECK(Conversions::toInteger(QLatin1Char('$') + QString::number(quint32(value), 16))
                   == value);
        FUZZ_CHECK(Conversions::toBoolean(text) == (value != 0));
    } else {
        bool thrown = false;
        try {
            Conversions::toInteger(text);
        } catch (const VorlanError &e) {
            thrown = true;
            FUZZ_CHECK(e.message() == Conversions::integerError(text));
        }
        FUZZ_CHECK(thrown);
        try {
            Conversions::toBoolean(text);
        } catch (const VorlanError &e) {
            FUZZ_CHECK(e.message()
                       == QStringLiteral("'%1' is not a valid boolean value").arg(text));
            FUZZ_CHECK(text.compare(QLatin1String("true"), Qt::CaseInsensitive) != 0
                       && text.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(Win1252::decode(bytes));
    if (size % 2 == 0) {
        QString wide(bytes.size() / 2, Qt::Uninitialized);
        std::memcpy(wide.data(), bytes.constData(), size_t(bytes.size()));
        check(wide);
    }
    return 0;
}
