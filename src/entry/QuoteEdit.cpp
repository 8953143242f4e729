#include "QuoteEdit.h"

#include <QTextCursor>
#include <QTextDocument>

QuoteEdit::QuoteEdit(QWidget *parent)
    : QPlainTextEdit(parent)
{
    connect(document(), &QTextDocument::contentsChange, this, &QuoteEdit::noteChange);
    connect(this, &QPlainTextEdit::textChanged, this, &QuoteEdit::enforce);
}

void QuoteEdit::setMaxLength(int characters)
{
    m_maxLength = characters;
    m_changeStart = m_changeEnd = -1;
    enforce();
}

int QuoteEdit::length() const
{
    // The document always ends in one paragraph separator of its own.
    return document()->characterCount() - 1;
}

void QuoteEdit::noteChange(int position, int, int added)
{
    m_changeStart = position;
    m_changeEnd = position + added;
}

void QuoteEdit::enforce()
{
    if (m_enforcing || m_maxLength < 0)
        return;
    const int total = length();
    const int excess = total - m_maxLength;
    const int changeStart = m_changeStart;
    const int changeEnd = qMin(m_changeEnd, total);
    m_changeStart = m_changeEnd = -1;
    if (excess <= 0)
        return;

    // Cut the tail of the text just put in; if the edit is unknown or too
    // small to account for the excess, cut the end of the whole text.
    int end = total;
    int start = total - excess;
    if (changeStart >= 0 && changeEnd - changeStart >= excess) {
        end = changeEnd;
        start = changeEnd - excess;
    }
    // Never leave half of a surrogate pair behind.
    if (start > 0 && document()->characterAt(start - 1).isHighSurrogate())
        --start;

    m_enforcing = true;
    QTextCursor cut(document());
    cut.setPosition(start);
    cut.setPosition(end, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    m_enforcing = false;
}
