// SPDX-License-Identifier: GPL-3.0-or-later
// The companion tool's import as a user runs it: a CSV of about 36 MB (or
// the size given, in MB) into a new collection, and the same file again
// (every record a repeat). Prints the time and the peak memory of the
// sentalia-db process beside the source's size.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Run {
    int code = -1;
    double seconds = 0;
    long peakKb = 0;
};

Run runTool(const QString &tool, const QStringList &arguments)
{
    QList<QByteArray> bytes{QFile::encodeName(tool)};
    for (const QString &argument : arguments)
        bytes << QFile::encodeName(argument);
    QList<char *> argv;
    for (QByteArray &argument : bytes)
        argv << argument.data();
    argv << nullptr;

    Run run;
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv.at(0), argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child > 0 && wait4(child, &status, 0, &usage) == child) {
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakKb = usage.ru_maxrss;
    }
    run.seconds = timer.nsecsElapsed() / 1e9;
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 targetBytes = (argc > 1 ? atoll(argv[1]) : 36) * 1000 * 1000;
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/../sentalia-db");
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("frases.csv"));
    const QString db = dir.filePath(QStringLiteral("frase.mdb"));

    QFile file(csv);
    if (!file.open(QIODevice::WriteOnly)) {
        fprintf(stderr, "cannot write %s\n", qPrintable(csv));
        return 1;
    }
    file.write("autor,frace,tema\n");
    qint64 records = 0;
    while (file.size() < targetBytes) {
        const QByteArray n = QByteArray::number(records);
        file.write("Autor n\xc3\xbamero " + QByteArray::number(records % 5000) + ",\"Frase " + n
                   + ", con comas y \"\"comillas\"\", larga como las de fortunes-es: la vida es lo que pasa"
                     " mientras uno hace otros planes, y el tiempo lo que pasa mientras tanto.\",TEMA "
                   + QByteArray::number(records % 60) + "\n");
        ++records;
    }
    file.close();
    const double sourceMb = file.size() / 1e6;

    if (runTool(tool, {QStringLiteral("create"), db}).code != 0) {
        fprintf(stderr, "cannot run %s\n", qPrintable(tool));
        return 1;
    }
    const Run first = runTool(tool, {QStringLiteral("import"), db, csv});
    const Run again = runTool(tool, {QStringLiteral("import"), db, csv});
    printf("source                     %.1f MB, %lld records\n", sourceMb, static_cast<long long>(records));
    printf("%-26s %8s %10s %9s\n", "import", "seconds", "peak MB", "x source");
    for (const auto &[name, run] : {std::pair{"into a new collection", first}, std::pair{"again, all repeats", again}}) {
        const double peakMb = run.peakKb * 1024 / 1e6;
        printf("%-26s %8.2f %10.1f %9.2f%s\n", name, run.seconds, peakMb, peakMb / sourceMb,
               run.code == 0 ? "" : "  (failed)");
    }
    return first.code == 0 && again.code == 0 ? 0 : 1;
}
