#pragma once

#include "store/QuoteRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

// Reads fortune files: records separated by lines that hold only "%"
// (trailing blanks allowed).
//
// A record is the quotation followed by an optional attribution. The
// attribution is the trailing block of indented lines that starts with a
// dash ("\t\t-- Séneca. (4 a.C.-65) Filósofo..."), a line that starts with
// "--", or a block indented eight columns or more that starts with a capital
// ("         Friedrich Nietzsche, ..."). A closing " -- Name --" at the end of
// the text counts too. Only the name is kept: it ends at the first comma,
// semicolon or parenthesis, or at the period that closes a word (initials
// such as "G." and titles such as "Ing." do not end it).
//
// The quotation's hard-wrapped lines are joined into one paragraph; blank
// lines between paragraphs stay as one blank line ("\n\n"). A line indented
// two columns or more, or starting with a dialogue dash, keeps its own line
// (indentation included), so verses of dialogue and drawings survive.
class FortuneParser {
public:
    // tema goes into every record as given; autor is used for records
    // without attribution ("Anónimo" when empty).
    static QList<QuoteRecord> parse(const QString &text, const QString &tema, const QString &autor = QString());

    // The author's name in an attribution ("-- Marco Tulio Cicerón. (106-43
    // A.C.) Escritor..." -> "Marco Tulio Cicerón"); empty if none is left.
    static QString authorName(const QString &attribution);

    // The topic a fortune file stands for: its name up to the first dot,
    // upper-cased ("lao-tse.fortunes.u8" -> "LAO-TSE").
    static QString topicForFile(const QString &path);

    static QString anonymous();

private:
    static bool parseRecord(QStringList lines, const QString &tema, const QString &autor, QuoteRecord *record);
    static QString joinBody(const QStringList &lines);
};
