#include "app/TimeText.h"

#include <QStringList>
#include <QTime>

namespace TimeText {

std::optional<int> parseTimeOfDay(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    int values[3] = { 0, 0, 0 };
    for (int i = 0; i < parts.size(); ++i) {
        const QString part = parts.at(i).trimmed();
        if (part.isEmpty() || part.size() > 2)
            return std::nullopt;
        for (const QChar ch : part) {
            if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
                return std::nullopt;
        }
        values[i] = part.toInt();
    }
    if (values[0] > 23 || values[1] > 59 || values[2] > 59)
        return std::nullopt;
    return values[0] * 3600 + values[1] * 60 + values[2];
}

QString formatTimeOfDay(int seconds)
{
    const int h = seconds / 3600;
    const int m = (seconds / 60) % 60;
    const int s = seconds % 60;
    return QStringLiteral("%1:%2:%3")
        .arg(h, 2, 10, QLatin1Char('0'))
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(s, 2, 10, QLatin1Char('0'));
}

std::optional<QString> formatCounter(int hours, int minutes, int seconds)
{
    const QString plain = QStringLiteral("%1:%2:%3").arg(hours).arg(minutes).arg(seconds);
    const auto parsed = parseTimeOfDay(plain);
    if (!parsed)
        return std::nullopt;
    return formatTimeOfDay(*parsed);
}

QString now()
{
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace TimeText
