#include "monitor/FieldSplitter.h"

QByteArray fieldSplitter(const QByteArray &text, char separator, int n)
{
    if (text.isEmpty())
        return {};
    const qsizetype length = text.size();
    int count = 0;
    qsizetype mark = -1; // index of the last separator passed
    for (qsizetype i = 0; i < length; ++i) {
        if (text.at(i) == separator) {
            if (count == n - 1)
                return text.mid(mark + 1, i - mark - 1);
            ++count;
            mark = i;
        }
        if (i == length - 1)
            return text.mid(mark + 1);
        if (n == 1) {
            const qsizetype first = text.indexOf(separator);
            return first < 0 ? QByteArray() : text.left(first);
        }
    }
    return {};
}
