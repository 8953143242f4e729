// SPDX-License-Identifier: GPL-3.0-or-later
// Times the quote store on a 100,000-record collection and compares the
// open-and-read-everything path with the sqlcipher shell doing the same.
#include "BenchData.h"
#include "store/TextRules.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? atoi(argv[1]) : 100000;
    const int runs = 5;
    QTemporaryDir dir;
    // A second argument keeps the collection at that path for later study.
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("frase.mdb"));
    BenchData::build(path, records);

    std::unique_ptr<QuoteStore> store;
    const double open = BenchData::medianMs(runs, [&] {
        store.reset();
        store = std::move(QuoteStore::open(path).store);
    });
    qint64 seen = 0;
    // The fair comparison with the shell: a fresh open and a first, cold read.
    const double openAndRead = BenchData::medianMs(runs, [&] {
        store.reset();
        store = std::move(QuoteStore::open(path).store);
        store->allQuotes([&](const QString &, const QString &) { ++seen; });
    });
    const double all = BenchData::medianMs(runs, [&] {
        seen = 0;
        store->allQuotes([&](const QString &, const QString &) { ++seen; });
    });
    printf("records                    %lld\n", static_cast<long long>(seen));
    printf("%-26s %9s\n", "operation", "median ms");
    printf("%-26s %9.1f\n", "open (key derivation)", open);
    printf("%-26s %9.1f\n", "open + first full read", openAndRead);
    printf("%-26s %9.1f\n", "all quotations (cached)", all);

    double slowest = 0;
    QChar slowestLetter;
    for (QChar letter : TextRules::searchLetters()) {
        const double t = BenchData::medianMs(runs, [&] { store->byInitial(letter, [](auto &, auto &) {}); });
        printf("initial %c                  %9.1f\n", char(letter.unicode()), t);
        if (t > slowest) {
            slowest = t;
            slowestLetter = letter;
        }
    }
    const double topic = BenchData::medianMs(runs, [&] { store->byTopic(QStringLiteral("SABIDURIA"), [](auto &, auto &) {}); });
    printf("%-26s %9.1f\n", "topic SABIDURIA", topic);
    QStringList topics;
    const double list = BenchData::medianMs(runs, [&] { store->topicList(&topics); });
    printf("%-26s %9.1f\n", "topic list", list);
    int n = 0;
    const double insert = BenchData::medianMs(21, [&] {
        store->insert(QStringLiteral("Bench"), QStringLiteral("Frase %1").arg(++n), QStringLiteral("BENCH"), false);
    });
    printf("%-26s %9.1f\n", "one durable insert", insert);
    store.reset();

    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty()) {
        printf("sqlcipher shell not installed: no comparison\n");
        return 0;
    }
    const double shellMs = BenchData::medianMs(runs, [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(shell, {path});
        process.write("PRAGMA key='qolvent';\nSELECT frace, autor FROM tabla1;\n");
        process.closeWriteChannel();
        process.waitForFinished(-1);
    });
    printf("%-26s %9.1f\n", "sqlcipher shell, same read", shellMs);
    printf("ratio open+read / shell    %9.2f  (goal <= 1.0)\n", openAndRead / shellMs);
    printf("insert goal < 30 ms        %s\n", insert < 30 ? "met" : "NOT met");
    return 0;
}
