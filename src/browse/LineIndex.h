// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Where the lines of a text begin and end. A line ends at a carriage
// return, a line feed (a CR LF pair is one break), a line separator or a
// paragraph separator; the text after the last break is a line too.
//
// Only the start of every Stride-th line is kept, in 32 bits: a listing of
// a million quotations has three million lines, and a full index would
// cost more than a tenth of its text. A line is found from the nearest
// kept start by reading at most Stride - 1 lines forward; the last line
// found is remembered, so walking line after line reads each line once.
class LineIndex {
public:
    struct Span {
        qsizetype start; // first character
        qsizetype end;   // the break after the line, or the end of the text
    };
    static constexpr qsizetype Stride = 16;

    // Whether the character ends a line: CR, LF, or a line or paragraph
    // separator (a CR LF pair is one break; the callers look at the LF).
    static constexpr bool isBreak(char16_t c)
    {
        return c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029;
    }

    LineIndex() = default;
    // The index of a whole text.
    static LineIndex of(const QString &text);

    // Building alongside a text that grows at its end: take in each piece
    // as it is appended, then finish with the text's final size. Throws
    // std::bad_alloc for a text of 2^32 characters or more.
    void append(const QString &text, qsizetype from);
    void finish(qsizetype size);

    qsizetype count() const { return m_count; }
    // The line's place in TEXT, the text the index was built from.
    Span span(const QString &text, qsizetype line) const;
    // The last line that starts at or before the position.
    qsizetype lineOf(const QString &text, qsizetype position) const;

private:
    void startLine(qsizetype start);
    // The start of the line after the one that starts at START, or -1 when
    // that is the last line.
    qsizetype nextStart(const QString &text, qsizetype start) const;

    std::vector<std::uint32_t> m_kept{0};
    qsizetype m_count = 1;
    qsizetype m_size = 0;
    bool m_pendingCr = false;
    mutable qsizetype m_memoLine = 0;
    mutable qsizetype m_memoStart = 0;
};
