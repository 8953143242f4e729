// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QValidator>

// A line box's length limit counted in characters as a reader sees them
// (the collection's text rules): an emoji is one, and a letter is never
// parted from its accents. Whatever goes beyond the limit is cut from the
// end of what was just typed or pasted, which ends at the caret.
class CharacterLimit : public QValidator {
    Q_OBJECT
public:
    CharacterLimit(int characters, QObject *parent = nullptr);

    int characters() const { return m_characters; }
    State validate(QString &input, int &position) const override;

private:
    int m_characters;
};
