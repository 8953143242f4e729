// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

class SourceFile;

// Reads fortune files, one record at a time: records separated by lines
// that hold only "%" (trailing blanks allowed, but "%" and a single tab is
// the text "%": see the mark below).
//
// A record is the quotation followed by an optional attribution. Nothing of
// it is dropped: what the attribution holds besides the author's name stays
// at the end of the quotation, on a line of its own.
//
// The attribution is the record's last block of lines: a line that opens it
// and the lines after it, each indented at least as far as that line (and
// by one column or more). The line that opens it is "--" (two or more
// hyphens) after optional blanks, or, indented by a tab or two blanks or
// more, a single hyphen or an en or em dash; some letter or digit follows.
// The block is no attribution when nothing but blank lines stands above it,
// or when the nearest line above it opens with a dash and is indented as far
// as it or farther: that is a dialogue or a list ("-- Doctor, doctor...
// / -- Pase, pase..."), kept whole in the quotation, by "Anónimo" (or the
// given author). Without a dash line, a block indented eight columns or more
// is the attribution when it reads as a name: at most five words before the
// first comma, period or parenthesis, each capitalised or a particle (de,
// del, la, van, von, y...), as in "         Friedrich Nietzsche, ...". A
// closing " -- Name --" at the end of the text counts too.
//
// The author is the attribution up to its first comma or semicolon (unless
// an epithet follows: "Séneca, el joven", "Alfonso X, el Sabio"), up to a
// parenthesis, or up to the period that closes a word (initials such as
// "G." and titles such as "Ing." do not close it). The rest ("(106-43 A.C.)
// Escritor, orador y político romano.", "presidente de IBM, 1943") is the
// quotation's last line. The dashes, the blanks, the comma or period where
// the name stops, and a closing "--" are the attribution's form, not kept.
// When the name comes out empty the block stays in the quotation.
//
// The quotation's hard-wrapped lines are joined into one paragraph; blank
// lines between paragraphs stay as one blank line ("\n\n"). A line indented
// two columns or more, or starting with a dialogue dash, keeps its own line
// (indentation included), so verses of dialogue and drawings survive.
//
// A line that ends in a single tab (not two) is marked, with a mark no
// reader of the file sees: it is the rest of the line exactly as it stands
// (blanks included; a lone tab is an empty line), never joined to the next
// line, never a separator or part of an attribution. The record's last line,
// so marked, in the attribution's form, is the attribution whatever it says:
// its author is what follows the dashes and one blank, exactly, and nothing
// goes to the quotation. The exporter writes these marks.
//
// Two older escapes are still read: a line that starts with a backslash is
// the rest of the line, as it stands, on a line of its own; and an
// attribution whose name starts with a backslash ("\t\t-- \Séneca, el
// joven") is that name as it stands.
class FortuneParser {
public:
    // tema goes into every record as given; autor is used for records
    // without attribution ("Anónimo" when empty).
    FortuneParser(SourceFile &source, const QString &tema, const QString &autor = QString());

    // The next record, and the line its text starts on; false at the end
    // (or when the source fails to read: see its error()).
    bool next(QuoteRecord *record, qint64 *line);
    // Whether the record last handed out was too long to keep: a line cut
    // by the source, or more text than two fields of the limit can hold.
    // Its lines are read and dropped as they come, and the record handed
    // out holds no text.
    bool overLong() const { return m_overLong; }

    // A whole text at once.
    static QList<QuoteRecord> parse(const QString &text, const QString &tema, const QString &autor = QString());

    // An attribution cut into the author's name and the rest ("-- Marco
    // Tulio Cicerón. (106-43 A.C.) Escritor..." -> "Marco Tulio Cicerón" and
    // "(106-43 A.C.) Escritor..."); the name is empty if none is left.
    struct Attribution {
        QString name;
        QString rest;
    };
    static Attribution splitAttribution(const QString &attribution);
    static QString authorName(const QString &attribution) { return splitAttribution(attribution).name; }

    // Whether a dash-less indented block reads as a name (see above).
    static bool readsAsName(const QString &text);

    // The topic a fortune file stands for: its name up to the first dot,
    // upper-cased ("lao-tse.fortunes.u8" -> "LAO-TSE").
    static QString topicForFile(const QString &path);

    static QString anonymous();

    // How far a line is indented, tabs stopping every eight columns, as the
    // reader counts it; the writer keeps to the same count.
    static int indentColumns(QStringView line);
    // A hyphen, or an en or em dash.
    static bool isDash(QChar ch);
    // Whether a line ends in the mark described above: a single tab.
    static bool endsInMark(QStringView line);
    // Whether a line is taken for the record separator.
    static bool isSeparator(QStringView line);

private:
    static bool parseRecord(QStringList lines, const QString &tema, const QString &autor, QuoteRecord *record);
    static QString joinBody(const QStringList &lines);
    static bool isLiteral(const QString &line);
    static bool isAttributionPlace(const QStringList &lines, qsizetype opener);

    SourceFile &m_source;
    QString m_tema;
    QString m_autor;
    qint64 m_line = 0;
    bool m_overLong = false;
};
