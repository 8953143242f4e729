// SPDX-License-Identifier: GPL-3.0-or-later
// Times sentalia-db as a user runs it, whole process and all, on a
// 100,000-record collection: random against the open alone (key
// derivation), and search of two words against the sqlcipher shell reading
// the whole table. Every round takes each measure in turn, so that a busy
// machine weighs on all of them alike.
#include "BenchData.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <string>

namespace {

double runMs(const QString &program, const QStringList &arguments, const QByteArray &input = QByteArray())
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        qFatal("%s %s failed: %s", qPrintable(program), qPrintable(arguments.join(u' ')),
               process.readAllStandardError().constData());
    return ms;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? atoi(argv[2]) : 11;
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../sentalia-db");
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlcipher"));
    if (shell.isEmpty()) {
        printf("the sqlcipher shell is not installed: nothing to compare with\n");
        return 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    BenchData::build(path, records);

    const QByteArray key = "PRAGMA key='qolvent';\n";
    const std::vector<std::pair<std::string, std::function<double()>>> measures = {
        {"shell: open (key derivation)", [&] { return runMs(shell, {path}, key + "SELECT count(*) FROM sqlite_master;\n"); }},
        {"shell: count(*)", [&] { return runMs(shell, {path}, key + "SELECT count(*) FROM tabla1;\n"); }},
        {"shell: full read", [&] { return runMs(shell, {path}, key + "SELECT * FROM tabla1;\n"); }},
        {"sentalia-db random", [&] { return runMs(tool, {QStringLiteral("random"), path}); }},
        {"sentalia-db random --tema", [&] { return runMs(tool, {QStringLiteral("random"), path, QStringLiteral("--tema=vida")}); }},
        {"sentalia-db search (2 words)",
         [&] { return runMs(tool, {QStringLiteral("search"), path, QStringLiteral("vida"), QStringLiteral("verdad")}); }},
        {"sentalia-db check", [&] { return runMs(tool, {QStringLiteral("check"), path}); }},
    };
    std::map<std::string, std::vector<double>> times;
    for (int round = 0; round < runs; ++round) {
        for (const auto &[name, measure] : measures)
            times[name].push_back(measure());
    }
    std::map<std::string, double> ms;
    printf("records %d, %d rounds, median of each\n", records, runs);
    printf("%-30s %9s\n", "process", "ms");
    for (const auto &[name, measure] : measures) {
        ms[name] = median(times[name]);
        printf("%-30s %9.1f\n", name.c_str(), ms[name]);
    }
    const double randomRatio = ms["sentalia-db random"] / ms["shell: open (key derivation)"];
    const double searchRatio = ms["sentalia-db search (2 words)"] / ms["shell: full read"];
    printf("%-30s %9.2f  (limit 1.5)\n", "random / open", randomRatio);
    printf("%-30s %9.2f  (limit 2.0)\n", "search / shell full read", searchRatio);
    return 0;
}
