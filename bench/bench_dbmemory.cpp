// SPDX-License-Identifier: GPL-3.0-or-later
// Peak memory and time of the sentalia-db commands that read a whole
// collection (list in every format, search, export) on 1,000,000 records,
// each run as its own process with its output going to /dev/null. The peak
// is the process's own ru_maxrss, as wait4() reports it.
//
//   bench_dbmemory [RECORDS] [TOOL]
//
// TOOL defaults to the sentalia-db beside the benchmarks, so an older build
// can be measured on the same collection.
#include "BenchData.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

struct Run {
    int status = -1;
    double seconds = 0;
    long peakKiB = 0;
};

Run runTool(const QByteArray &tool, const QList<QByteArray> &arguments, const QByteArray &errors)
{
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(tool.constData()));
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Run run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, tool.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        qFatal("cannot start %s", tool.constData());
    int status = 0;
    struct rusage usage = {};
    if (wait4(pid, &status, 0, &usage) != pid)
        qFatal("wait4 failed");
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.peakKiB = usage.ru_maxrss;
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const QByteArray tool = argc > 2 ? QByteArray(argv[2])
                                     : QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/../sentalia-db"));
    if (::access(tool.constData(), X_OK) != 0) {
        std::printf("%s cannot be run\n", tool.constData());
        return 1;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    const QByteArray file = QFile::encodeName(path);
    const QByteArray errors = QFile::encodeName(dir.filePath(QStringLiteral("stderr.txt")));
    QElapsedTimer building;
    building.start();
    BenchData::build(path, records);
    std::printf("%s on %d records (collection made in %.1f s, %lld MB)\n", tool.constData(), records,
                building.nsecsElapsed() / 1e9, QFile(path).size() / (1024 * 1024));

    const struct {
        const char *name;
        QList<QByteArray> arguments;
    } cases[] = {
        {"list (texto)", {"list", file}},
        {"list --format tsv", {"list", file, "--format", "tsv"}},
        {"list --format csv", {"list", file, "--format", "csv"}},
        {"list --format json", {"list", file, "--format", "json"}},
        {"search de (56 % of records)", {"search", file, "de"}},
        {"search a (every record)", {"search", file, "a"}},
        {"export (csv)", {"export", file}},
        {"export --format fortune", {"export", file, "--format", "fortune"}},
    };
    std::printf("%-30s %6s %12s %9s\n", "command", "exit", "peak RSS MB", "time s");
    long worst = 0;
    for (const auto &entry : cases) {
        const Run run = runTool(tool, entry.arguments, errors);
        worst = std::max(worst, run.peakKiB);
        std::printf("%-30s %6d %12.1f %9.2f\n", entry.name, run.status, run.peakKiB / 1024.0, run.seconds);
        if (run.status != 0) {
            QFile messages(QFile::decodeName(errors));
            if (messages.open(QIODevice::ReadOnly))
                std::printf("    %s", messages.readAll().constData());
        }
    }
    std::printf("%-30s %6s %12.1f  (limit 64)\n", "highest peak", "", worst / 1024.0);
    return 0;
}
