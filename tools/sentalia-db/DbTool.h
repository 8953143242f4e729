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
    struct Options {
        QString command;
        QByteArray file;              // the collection
        bool fileGiven = false;
        QList<QByteArray> operands;   // every other positional argument
        QByteArray destination;       // backup's DEST
        QString tema;
        QString autor;
        QString format;
        QString frase;
        bool temaGiven = false;
        bool autorGiven = false;
        bool formatGiven = false;
        bool fraseGiven = false;
    };

    bool parseArguments(const QList<QByteArray> &arguments, Options *options, int *exitCode);
    int checkUsage(Options *options);
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

    // Opens an existing collection or says why it cannot.
    std::unique_ptr<QuoteStore> openStore(const QByteArray &path);
    void showProgress(qint64 done, qint64 total, bool last);

    void print(const QString &text);
    bool write(const QByteArray &bytes);
    void message(const QString &text);
    void fail(const QString &text);
    // A store operation failed: what was being done, the sentence for the
    // kind of failure, and the engine's words as a detail.
    void storeFailed(const QString &what, const QuoteStore &store, const QString &reason);

    FILE *m_out;
    FILE *m_err;
    bool m_errIsTerminal = false;
    qint64 m_lastProgressMs = -1;
    int m_lastProgressQuarter = 0;
};
