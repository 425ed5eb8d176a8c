#include "archive/CellStore.h"

namespace {
constexpr qsizetype BlockSize = 1 << 20;
constexpr int OffsetBits = 32;
} // namespace

void CellStore::clear()
{
    std::deque<qint64>().swap(m_slots);
    std::vector<bool>().swap(m_null);
    std::vector<QByteArray>().swap(m_blocks);
}

void CellStore::appendNull()
{
    m_null.push_back(true);
    m_slots.push_back(0);
}

void CellStore::appendValue(qint64 slot)
{
    m_null.push_back(false);
    m_slots.push_back(slot);
}

void CellStore::appendText(QByteArrayView text)
{
    char length[10];
    int lengthBytes = 0;
    for (quint64 n = quint64(text.size());; n >>= 7) {
        length[lengthBytes++] = char((n & 0x7f) | (n >= 0x80 ? 0x80 : 0));
        if (n < 0x80)
            break;
    }
    const qsizetype needed = lengthBytes + text.size();
    // A block is filled only up to its reserved size, so its bytes never
    // move; a text larger than a block gets one of its own.
    if (m_blocks.empty() || m_blocks.back().size() + needed > m_blocks.back().capacity()) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(qMax(BlockSize, needed));
    }
    QByteArray &block = m_blocks.back();
    const qint64 slot = (qint64(m_blocks.size() - 1) << OffsetBits) | block.size();
    block.append(length, lengthBytes);
    block.append(text);
    appendValue(slot);
}

QByteArrayView CellStore::text(qsizetype index) const
{
    const qint64 slot = m_slots[size_t(index)];
    const QByteArray &block = m_blocks[size_t(slot >> OffsetBits)];
    const char *p = block.constData() + (slot & ((qint64(1) << OffsetBits) - 1));
    quint64 length = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = quint8(*p++);
        length |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            break;
    }
    return QByteArrayView(p, qsizetype(length));
}
