// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <memory>

// One import source: a fortune file, a CSV file or a plain list of
// lines, read line by line in pieces so that a large file never sits in
// memory whole.
//
// open() first reads the source through once and decides whether it is
// text. A NUL byte anywhere, or more than one byte in a hundred that is a
// control character no text file holds (in the first MiB, or in the whole
// file), and it is refused as soon as that is known. Each line is decoded
// on its own: a line that is valid UTF-8 is UTF-8, any other is
// Windows-1252 (the encoding of text written on Windows, whose printable
// characters include all of Latin-1), so that one stray byte spoils no
// more than its line. A file that starts with a UTF-16 byte-order mark
// (little or big endian, as a spreadsheet's "Unicode text" is) is UTF-16
// throughout, and is tested by its 16-bit characters, so the NUL halves of
// its letters are no sign of a binary file. A byte-order mark is dropped
// only at the very start of the file; anywhere else it is text like any
// other.
//
// A line longer than LineLimit bytes is cut: what follows its first
// LineLimit bytes is read and dropped, never held, and the line handed out
// says so (lineCut()); no line of a record within the field limit is ever
// that long.
//
// A regular file over MaxSize is refused by its size before it is read. A
// pipe or a device is copied, as it is tested, into a nameless temporary
// file in TMPDIR, so that the import can read it twice; the copy stops with
// a refusal at MaxSize or at what TMPDIR can hold while keeping
// TempReserve free, whichever comes first, and it is gone once the source
// is closed. "-" is standard input. A signal (Interruption) stops the
// reading as a failure.
class SourceFile {
public:
    enum class Kind { Fortune, Csv };

    static constexpr const char *CsvHeader = "autor,frace,tema";
    static constexpr const char *CsvHeaderWithIndex = "autor,frace,tema,Index";
    static constexpr qint64 MaxSize = qint64(2) << 30;
    static constexpr qint64 TempReserve = qint64(64) << 20;
    // The longest field an import takes, in characters.
    static constexpr qsizetype FieldLimit = 100000;
    // Four quoted fields of FieldLimit characters, every one a quote
    // written twice, fit in a line of this many bytes.
    static constexpr qsizetype LineLimit = qsizetype(2) << 20;

    SourceFile() = default;
    // A source held in memory, as if read from a file named name.
    explicit SourceFile(const QString &text, const QString &name = QString());
    ~SourceFile();
    SourceFile(const SourceFile &) = delete;
    SourceFile &operator=(const SourceFile &) = delete;

    // path as the file system spells it; name is how messages show it.
    bool open(const QByteArray &path, const QString &name, QString *error);
    // Back to the first line, to read an opened source again.
    bool rewind();
    // Whether the source was a pipe or a device, read into a temporary
    // copy: it cannot be opened again by its name.
    bool spooled() const { return m_spooled; }

    QString name() const { return m_name; }
    Kind kind() const { return m_kind; }
    bool utf16() const { return m_utf16 != Utf16::No; }
    // How many lines are not UTF-8 and were read as Windows-1252, and the
    // numbers of the first few.
    qint64 windowsLines() const { return m_windowsLines; }
    QList<qint64> firstWindowsLines() const { return m_firstWindowsLines; }
    // Several lines of text and no "%" line: no fortune file, unless it is
    // one quotation ending in its attribution (the one line that opens
    // with "--", or indented with a dash, followed only by indented or
    // blank lines).
    bool lacksSeparators() const;
    qint64 size() const { return m_size; }
    // Bytes handed out as lines so far.
    qint64 bytesRead() const { return m_bytesRead; }

    // The next line, with its line end ("\n", or "\r\n") when it has one;
    // false at the end or when reading fails (error() then says why).
    bool readLine(QString *line);
    QString error() const { return m_error; }
    // Whether the line last handed out was longer than LineLimit: only its
    // start is in it. quotesCut() counts the double quotes of the part
    // dropped, for a CSV reader to find where the record ends.
    bool lineCut() const { return m_lineCut; }
    qint64 quotesCut() const { return m_quotesCut; }

    // Line by line, UTF-8 or, failing that, Windows-1252; *windows1252
    // tells whether any line was. One leading byte-order mark is dropped.
    static QString decode(const QByteArray &bytes, bool *windows1252);
    // A file whose first line is a CSV header (its names separated by
    // commas, semicolons or tabs), or whose name ends in .csv, is a CSV
    // file; anything else is taken for a fortune file.
    static Kind detectKind(const QString &path, QStringView firstLine);
    // A first line that is nearly a CSV header (other capitals, blanks
    // around the names, "frase" for "frace") but not one: an error naming
    // the header expected, or empty.
    static QString headerMistake(QStringView firstLine);

    // Tests: the size limit in place of MaxSize, and the free space TMPDIR
    // is taken to have; -1 restores the real one.
    static void setLimitsForTests(qint64 maxSize, qint64 tempFree);

private:
    bool readChunk(QByteArray *bytes);
    bool makeCopy(int *copy, QString *tooLarge, qint64 *limit, QString *error);
    bool scan(int copy, qint64 limit, const QString &tooLarge, QString *error);
    bool fill();
    QString decodeLine(QByteArrayView bytes) const;

    enum class Utf16 { No, Little, Big };

    int m_fd = -1;
    QString m_name;
    Kind m_kind = Kind::Fortune;
    Utf16 m_utf16 = Utf16::No;
    bool m_spooled = false;
    qint64 m_origin = 0;  // where the source starts in m_fd
    qint64 m_size = 0;
    qint64 m_bytesRead = 0;
    QString m_error;

    qint64 m_windowsLines = 0;
    QList<qint64> m_firstWindowsLines;
    qint64 m_textLines = 0;
    bool m_separator = false;
    qint64 m_attributionLines = 0;
    bool m_endsInAttribution = false;

    std::unique_ptr<QStringDecoder> m_decoder; // UTF-16 into text
    bool m_started = false;
    bool m_atEnd = false;
    // Bytes not yet handed out, all UTF-8 for a UTF-16 source.
    QByteArray m_pending;
    qsizetype m_pos = 0;      // start of the next line in m_pending
    qsizetype m_scan = 0;     // where the search for its end resumes
    qsizetype m_keepEnd = -1; // end of what a line being cut keeps
    bool m_lineCut = false;
    qint64 m_quotesCut = 0;
};
