// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "store/QuoteStore.h"

#include <cstdio>

class OutputSpool;

// The command line of sentalia-db: list, search, random, add, edit, delete,
// topics, backup, create, import, export and check. Arguments come as the
// bytes of argv, so that file names that are not UTF-8 reach the file
// system intact; the rest is read as UTF-8. The collection (FILE) is the
// first argument that ends in .mdb; without one, the collection Sentalia
// itself uses. Results go to standard output, messages to standard error,
// both in UTF-8. Exit codes: 0 done, 1 failure (the reason is printed),
// 2 usage.
class DbTool {
public:
    enum ExitCode { Done = 0, Failed = 1, Usage = 2 };

    DbTool(FILE *out = stdout, FILE *err = stderr);

    int run(const QList<QByteArray> &arguments);

    static QString helpText();
    // The collection the commands use when no FILE is given.
    static QByteArray defaultCollection();

private:
    // What a command reads besides the options.
    enum class Operands {
        None,
        File,        // create: the new collection itself
        Destination, // backup: the copy to make
        Sources,     // import: one or more files
        Words,       // search: one or more words
        Number,      // edit: one record number
        Numbers,     // delete: one or more record numbers
    };
    enum class Access { Read, Write, Create };
    enum Option : unsigned { Tema = 1, Autor = 2, Format = 4, Frase = 8, UnaPorLinea = 16 };

    struct Options;
    // One command: everything usage checks, dispatch and the help page know
    // of it.
    struct Command {
        const char *name;
        const char *summary;  // its line in the help's command list
        unsigned options;     // the Option flags it accepts
        unsigned required;    // options it cannot do without
        unsigned oneOf;       // at least one of these is needed
        Operands operands;
        Access access;
        int (DbTool::*handler)(const Options &);
        const char *help;     // synopsis and paragraph of the help page
    };
    static const QList<Command> &commands();
    static const Command *findCommand(const QString &name);

    struct Options {
        QString command;
        QByteArray file;              // the collection
        bool fileGiven = false;
        QList<QByteArray> operands;   // every other positional argument
        QStringList words;            // search's operands, as text
        QByteArray destination;       // backup's DEST
        QString tema;
        QString autor;
        QString format;
        QString frase;
        bool temaGiven = false;
        bool autorGiven = false;
        bool formatGiven = false;
        bool fraseGiven = false;
        bool onePerLine = false;      // --una-por-linea
    };

    bool parseArguments(const QList<QByteArray> &arguments, Options *options, int *exitCode);
    int checkUsage(const Command &command, Options *options);
    int dispatch(const Command &command, Options &options);
    int usageError(const QString &message);

    int create(const Options &options);
    int import(const Options &options);
    int exportRecords(const Options &options);
    int check(const Options &options);
    int list(const Options &options);
    int search(const Options &options);
    int random(const Options &options);
    int add(const Options &options);
    int edit(const Options &options);
    int remove(const Options &options);
    int topics(const Options &options);
    int backup(const Options &options);

    // Record numbers given as operands; false (after a usage message) when
    // one is not a number.
    bool recordNumbers(const Options &options, QList<qint64> *numbers, int *exitCode);
    // Lists the matching records, or says why it cannot.
    int listRecords(const Options &options, bool searching);
    // Releases the collection, then writes the spooled output to standard
    // output; false (after saying why) when it cannot.
    bool copyOut(std::unique_ptr<QuoteStore> &store, OutputSpool &spool);

    // Opens an existing collection (for reading only when access is Read)
    // or says why it cannot; reading warns of a table that would change
    // writes.
    std::unique_ptr<QuoteStore> openStore(const QByteArray &path);
    Access m_access = Access::Write;
    void showProgress(qint64 done, qint64 total, bool last);

    // Both false (after saying so) when the output cannot be written.
    bool print(const QString &text);
    bool write(const QByteArray &bytes);
    // The command's output failed: a full disk, /dev/full, a closed file.
    int outputFailed();
    void message(const QString &text);
    void fail(const QString &text);
    // A store operation failed: what was being done, the sentence for the
    // kind of failure, and the engine's words as a detail.
    void storeFailed(const QString &what, const QuoteStore &store, const QString &reason);

    FILE *m_out;
    FILE *m_err;
    bool m_errIsTerminal = false;
    bool m_progressShown = false; // a progress line without its line end
    qint64 m_lastProgressMs = -1;
    int m_lastProgressQuarter = 0;
};
