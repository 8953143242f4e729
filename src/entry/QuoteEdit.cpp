// SPDX-License-Identifier: GPL-3.0-or-later
#include "QuoteEdit.h"

#include "store/TextRules.h"

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
    return int(TextRules::characterCount(toPlainText()));
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
    // Positions in the document are those of its plain text, one for each
    // line break.
    const QString text = toPlainText();
    const qsizetype changeStart = m_changeStart;
    const qsizetype changeEnd = qMin<qsizetype>(m_changeEnd, text.size());
    m_changeStart = m_changeEnd = -1;
    if (TextRules::characterCount(text) <= m_maxLength)
        return;

    // Cut the tail of the text just put in, where it holds the excess;
    // otherwise the end of the whole text. Characters go whole.
    qsizetype start = -1;
    qsizetype end = text.size();
    if (changeStart >= 0 && changeEnd >= changeStart) {
        const qsizetype room = m_maxLength - TextRules::characterCount(text.mid(changeEnd));
        const qsizetype kept = room > 0 ? TextRules::leftCharacters(text.left(changeEnd), room).size() : 0;
        if (kept >= changeStart) {
            start = kept;
            end = changeEnd;
        }
    }
    if (start < 0)
        start = TextRules::leftCharacters(text, m_maxLength).size();

    m_enforcing = true;
    QTextCursor cut(document());
    cut.setPosition(int(start));
    cut.setPosition(int(end), QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    m_enforcing = false;
}
