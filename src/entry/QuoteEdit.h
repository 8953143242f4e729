// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

// The multi-line quotation box. A plain text edit knows no length limit, so
// this one keeps to its own: whatever goes beyond the limit is cut from the
// end of what was just typed or pasted, and the caret stays where the
// user's edit left it.
class QuoteEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit QuoteEdit(QWidget *parent = nullptr);

    void setMaxLength(int characters);
    int maxLength() const { return m_maxLength; }
    // Characters in the box as the collection's text rules count them, line
    // breaks one each.
    int length() const;

private:
    void noteChange(int position, int removed, int added);
    void enforce();

    int m_maxLength = -1;
    int m_changeEnd = -1;
    int m_changeStart = -1;
    bool m_enforcing = false;
};
