#pragma once

#include <QString>
#include <QStringList>

#include "store/QuoteStore.h"

#include <cstdio>

// The command line of sentalia-db: create, import, export and check.
// Results go to standard output, messages to standard error, both in
// UTF-8. Exit codes: 0 done, 1 failure (the reason is printed), 2 usage.
class DbTool {
public:
    enum ExitCode { Done = 0, Failed = 1, Usage = 2 };

    DbTool(FILE *out = stdout, FILE *err = stderr);

    int run(const QStringList &arguments);

    static QString helpText();

private:
    struct Options {
        QString command;
        QStringList positional;
        QString tema;
        QString autor;
        QString format;
        bool temaGiven = false;
        bool autorGiven = false;
        bool formatGiven = false;
    };

    bool parseArguments(const QStringList &arguments, Options *options, int *exitCode);
    int usageError(const QString &message);

    int create(const Options &options);
    int import(const Options &options);
    int exportRecords(const Options &options);
    int check(const Options &options);

    // Opens an existing collection or says why it cannot.
    std::unique_ptr<QuoteStore> openStore(const QString &path);
    void showProgress(qint64 done, qint64 total, bool last);

    void print(const QString &text);
    void message(const QString &text);
    void fail(const QString &text);

    FILE *m_out;
    FILE *m_err;
    bool m_errIsTerminal = false;
    qint64 m_lastProgressMs = -1;
    int m_lastProgressQuarter = 0;
};
