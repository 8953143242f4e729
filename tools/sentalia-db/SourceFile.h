#pragma once

#include <QByteArray>
#include <QString>

// One import source read into memory: a fortune file or a CSV file with the
// header autor,frace,tema. Text that is not valid UTF-8 is read as Latin-1,
// the other encoding old fortune files come in.
class SourceFile {
public:
    enum class Kind { Fortune, Csv };

    static constexpr const char *CsvHeader = "autor,frace,tema";

    bool load(const QString &path, QString *error);
    // The same for a name given as the file system's bytes (not always
    // UTF-8); path() is then the name as PathName::text() reads it.
    bool load(const QByteArray &path, QString *error);

    QString path() const { return m_path; }
    const QString &text() const { return m_text; }
    Kind kind() const { return m_kind; }
    bool readAsLatin1() const { return m_latin1; }

    // UTF-8 (a leading byte-order mark dropped) or, failing that, Latin-1.
    static QString decode(const QByteArray &bytes, bool *latin1);
    // A file whose first line is the CSV header, or whose name ends in .csv,
    // is a CSV file; anything else is taken for a fortune file.
    static Kind detectKind(const QString &path, const QString &text);

private:
    QString m_path;
    QString m_text;
    Kind m_kind = Kind::Fortune;
    bool m_latin1 = false;
};
