#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <deque>
#include <vector>

// The cells of a result list in compact form, row after row: one 64-bit slot
// per cell (a number, a day, milliseconds, or where its text lies), a null
// flag, and the texts packed into large blocks. Nothing already stored is
// ever moved, so a list of a million rows grows without the copy-and-double
// peaks of one contiguous buffer.
class CellStore final
{
public:
    qsizetype size() const { return qsizetype(m_null.size()); }
    void clear();

    void appendNull();
    void appendValue(qint64 slot);
    void appendText(QByteArrayView text);

    bool isNull(qsizetype index) const { return m_null[size_t(index)]; }
    qint64 value(qsizetype index) const { return m_slots[size_t(index)]; }
    // The text of a cell stored with appendText().
    QByteArrayView text(qsizetype index) const;

private:
    std::deque<qint64> m_slots;
    std::vector<bool> m_null;
    // Texts, each behind its length (7 bits a byte, low bits first).
    std::vector<QByteArray> m_blocks;
};
