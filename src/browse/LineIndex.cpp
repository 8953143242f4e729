// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineIndex.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Nearly every character is above CR and below the separators.
inline bool maybeBreak(char16_t c)
{
    return !(c > u'\r' && c < 0x2028) && LineIndex::isBreak(c);
}

// Four characters at a time: true when none of them can be a break (none
// at or below CR, none a separator). Lanes are tested as in the classic
// has-a-zero-byte trick, on 16-bit lanes.
inline bool noBreakIn(const char16_t *four)
{
    std::uint64_t x;
    std::memcpy(&x, four, sizeof x);
    constexpr std::uint64_t Ones = 0x0001000100010001ULL;
    constexpr std::uint64_t High = 0x8000800080008000ULL;
    const std::uint64_t low = (x - 0x000E * Ones) & ~x & High;          // some lane below 0x0E
    const std::uint64_t sep = (x & ~Ones) ^ (0x2028 * Ones);           // 0 where 0x2028 or 0x2029
    const std::uint64_t separator = (sep - Ones) & ~sep & High;
    return (low | separator) == 0;
}

} // namespace

LineIndex LineIndex::of(const QString &text)
{
    LineIndex index;
    index.append(text, 0);
    index.finish(text.size());
    return index;
}

void LineIndex::startLine(qsizetype start)
{
    if (m_count % Stride == 0) {
        if (start > qsizetype(std::numeric_limits<std::uint32_t>::max()))
            throw std::bad_alloc();
        m_kept.push_back(std::uint32_t(start));
    }
    ++m_count;
}

void LineIndex::append(const QString &text, qsizetype from)
{
    const char16_t *const data = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    for (qsizetype i = from; i < size; ++i) {
        if (!m_pendingCr) {
            while (i + 4 <= size && noBreakIn(data + i))
                i += 4;
            if (i == size)
                break;
        }
        const char16_t c = data[i];
        if (m_pendingCr) {
            m_pendingCr = false;
            if (c == u'\n') {
                startLine(i + 1);
                continue;
            }
            startLine(i);
        }
        if (!maybeBreak(c))
            continue;
        if (c == u'\r')
            m_pendingCr = true; // a line feed may follow in the next piece
        else
            startLine(i + 1);
    }
    m_size = size;
}

void LineIndex::finish(qsizetype size)
{
    if (m_pendingCr) {
        m_pendingCr = false;
        startLine(size);
    }
    m_size = size;
    m_memoLine = 0;
    m_memoStart = 0;
}

qsizetype LineIndex::nextStart(const QString &text, qsizetype start) const
{
    const char16_t *const data = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    for (qsizetype i = start; i < size; ++i) {
        while (i + 4 <= size && noBreakIn(data + i))
            i += 4;
        if (i == size)
            break;
        if (!maybeBreak(data[i]))
            continue;
        if (data[i] == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        return i + 1;
    }
    return -1;
}

LineIndex::Span LineIndex::span(const QString &text, qsizetype line) const
{
    line = std::clamp<qsizetype>(line, 0, m_count - 1);
    qsizetype at = line / Stride * Stride;
    qsizetype start = m_kept[size_t(line / Stride)];
    if (m_memoLine <= line && m_memoLine > at) {
        at = m_memoLine;
        start = m_memoStart;
    }
    for (; at < line; ++at)
        start = nextStart(text, start);
    m_memoLine = line;
    m_memoStart = start;
    const char16_t *const data = reinterpret_cast<const char16_t *>(text.constData());
    qsizetype end = start;
    while (end < text.size() && !maybeBreak(data[end]))
        ++end;
    return {start, end};
}

qsizetype LineIndex::lineOf(const QString &text, qsizetype position) const
{
    const auto after = std::upper_bound(m_kept.begin(), m_kept.end(), position,
                                        [](qsizetype p, std::uint32_t start) { return p < qsizetype(start); });
    const qsizetype block = qMax<qsizetype>(0, (after - m_kept.begin()) - 1);
    qsizetype line = block * Stride;
    qsizetype start = m_kept[size_t(block)];
    const qsizetype last = qMin(m_count - 1, line + Stride - 1);
    while (line < last) {
        const qsizetype next = nextStart(text, start);
        if (next < 0 || next > position)
            break;
        start = next;
        ++line;
    }
    m_memoLine = line;
    m_memoStart = start;
    return line;
}
