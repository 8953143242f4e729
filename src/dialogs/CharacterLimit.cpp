// SPDX-License-Identifier: GPL-3.0-or-later
#include "CharacterLimit.h"

#include "store/TextRules.h"

CharacterLimit::CharacterLimit(int characters, QObject *parent)
    : QValidator(parent)
    , m_characters(characters)
{
}

QValidator::State CharacterLimit::validate(QString &input, int &position) const
{
    if (TextRules::characterCount(input) <= m_characters)
        return Acceptable;
    const QString tail = input.mid(position);
    const qsizetype room = m_characters - TextRules::characterCount(tail);
    const QString head = room > 0 ? TextRules::leftCharacters(input.left(position), room) : QString();
    input = head + tail;
    position = int(head.size());
    return Acceptable;
}
