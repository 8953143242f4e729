#pragma once

#include "store/QuoteRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

class SourceFile;

// Reads fortune files, one record at a time: records separated by lines
// that hold only "%" (trailing blanks allowed).
//
// A record is the quotation followed by an optional attribution, found in
// the trailing block of indented lines (and lines starting with "--"). The
// attribution is the last line in that block that opens with a dash
// ("\t\t-- Séneca. (4 a.C.-65) Filósofo...", or "--" at the start of the
// line) with the lines after it; a dash line above it stays in the
// quotation. Without a dash, a block indented eight columns or more is the
// attribution only when it reads as a name: at most five words before the
// first comma, period or parenthesis, each capitalised or a particle (de,
// del, la, van, von, y...), as in "         Friedrich Nietzsche, ...". A
// closing " -- Name --" at the end of the text counts too. Only the name is
// kept: it ends at the first comma, semicolon or parenthesis, or at the
// period that closes a word (initials such as "G." and titles such as
// "Ing." do not end it).
//
// The quotation's hard-wrapped lines are joined into one paragraph; blank
// lines between paragraphs stay as one blank line ("\n\n"). A line indented
// two columns or more, or starting with a dialogue dash, keeps its own line
// (indentation included), so verses of dialogue and drawings survive.
//
// Two escapes, which the exporter writes so that what it writes reads back
// exactly: a line that starts with a backslash is the rest of the line, as
// it stands, on a line of its own (never a separator, an attribution or a
// joined line); and an attribution whose name starts with a backslash
// ("\t\t-- \Séneca, el joven") is that name as it stands.
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

    // The author's name in an attribution ("-- Marco Tulio Cicerón. (106-43
    // A.C.) Escritor..." -> "Marco Tulio Cicerón"); empty if none is left.
    static QString authorName(const QString &attribution);

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

private:
    static bool parseRecord(QStringList lines, const QString &tema, const QString &autor, QuoteRecord *record);
    static QString joinBody(const QStringList &lines);
    static bool isLiteral(const QString &line);

    SourceFile &m_source;
    QString m_tema;
    QString m_autor;
    qint64 m_line = 0;
    bool m_overLong = false;
};
