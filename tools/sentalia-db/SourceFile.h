#pragma once

#include <QByteArray>
#include <QString>

// One import source: a fortune file or a CSV file, read line by line in
// pieces so that a large file never sits in memory whole.
//
// open() first reads the source through once and decides whether it is
// text. A NUL byte anywhere, or more than one byte in a hundred that is a
// control character no text file holds (in the first MiB, or in the whole
// file), and it is refused as soon as that is known. Text that is not valid
// UTF-8 is read as Latin-1, the other encoding old fortune files come in. A
// byte-order mark is dropped only at the very start of the file; anywhere
// else it is text like any other. A file that starts with a UTF-16
// byte-order mark is tested by its 16-bit characters, so the NUL halves of
// its letters are no sign of a binary file.
//
// A regular file over MaxSize is refused by its size before it is read. A
// pipe or a device is copied, as it is tested, into a nameless temporary
// file in TMPDIR, so that the import can read it twice; the copy stops with
// a refusal at MaxSize or at what TMPDIR can hold while keeping
// TempReserve free, whichever comes first, and it is gone once the source
// is closed. A signal (Interruption) stops the reading as a failure.
class SourceFile {
public:
    enum class Kind { Fortune, Csv };

    static constexpr const char *CsvHeader = "autor,frace,tema";
    static constexpr const char *CsvHeaderWithIndex = "autor,frace,tema,Index";
    static constexpr qint64 MaxSize = qint64(2) << 30;
    static constexpr qint64 TempReserve = qint64(64) << 20;

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
    bool readAsLatin1() const { return m_latin1; }
    qint64 size() const { return m_size; }
    // Bytes handed out as lines so far.
    qint64 bytesRead() const { return m_bytesRead; }

    // The next line, with its line end ("\n", or "\r\n") when it has one;
    // false at the end or when reading fails (error() then says why).
    bool readLine(QString *line);
    QString error() const { return m_error; }

    // UTF-8 (one leading byte-order mark dropped) or, failing that, Latin-1.
    static QString decode(const QByteArray &bytes, bool *latin1);
    // A file whose first line is a CSV header, or whose name ends in .csv,
    // is a CSV file; anything else is taken for a fortune file.
    static Kind detectKind(const QString &path, QStringView firstLine);

    // Tests: the size limit in place of MaxSize, and the free space TMPDIR
    // is taken to have; -1 restores the real one.
    static void setLimitsForTests(qint64 maxSize, qint64 tempFree);

private:
    bool readChunk(QByteArray *bytes);
    bool makeCopy(int *copy, QString *tooLarge, qint64 *limit, QString *error);
    bool scan(int copy, qint64 limit, const QString &tooLarge, QString *error);
    bool fill();
    QString decodeChunk(QByteArray *bytes, bool last);

    int m_fd = -1;
    QString m_name;
    Kind m_kind = Kind::Fortune;
    bool m_latin1 = false;
    bool m_spooled = false;
    qint64 m_size = 0;
    qint64 m_bytesRead = 0;
    QString m_error;

    QByteArray m_carry;   // bytes of a character cut at a piece's end
    bool m_started = false;
    bool m_atEnd = false;
    QString m_pending;    // decoded text not yet handed out
    qsizetype m_pos = 0;  // start of the next line in m_pending
    qsizetype m_scan = 0; // where the search for its end resumes
};
