// SPDX-License-Identifier: GPL-3.0-or-later
// On a Wayland session that also offers X, the program runs on X, where its
// windows are placed as designed. Proved with a real compositor (a headless
// Weston, with Qt's Wayland plugin installed) beside Xvfb, and the built
// program started as a user would start it.

#include "Fixture.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void stop(QProcess &process)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
}

} // namespace

class TestWaylandSession : public QObject {
    Q_OBJECT

private slots:
    void runsOnX_data();
    void runsOnX();
};

void TestWaylandSession::runsOnX_data()
{
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("Wayland session") << QByteArray("wayland") << QStringList();
    QTest::newRow("Wayland socket only") << QByteArray() << QStringList();
    QTest::newRow("user's -platform xcb") << QByteArray("wayland") << QStringList{"-platform", "xcb"};
}

void TestWaylandSession::runsOnX()
{
    QFETCH(QByteArray, sessionType);
    QFETCH(QStringList, arguments);

    for (const char *tool : {"weston", "Xvfb", "xwininfo"})
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(),
                 qPrintable(QStringLiteral("%1 is not installed (Debian: weston, xvfb, x11-utils)").arg(tool)));
    const QString waylandPlugin =
        QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqwayland-generic.so");
    QVERIFY2(QFile::exists(waylandPlugin), "Qt's Wayland plugin is not installed (Debian: qt6-wayland)");

    QTemporaryDir runtime;
    QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY", "XDG_SESSION_TYPE", "XDG_DATA_HOME"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("HOME"), runtime.path());

    QProcess weston;
    weston.setProcessEnvironment(environment);
    weston.setProcessChannelMode(QProcess::MergedChannels);
    weston.start(QStringLiteral("weston"), {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--use-pixman"),
                                            QStringLiteral("--no-config"), QStringLiteral("--idle-time=0"),
                                            QStringLiteral("--socket=sentalia-test")});
    auto stopWeston = qScopeGuard([&] { stop(weston); });
    const QString socket = runtime.filePath(QStringLiteral("sentalia-test"));
    QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(socket) || weston.state() == QProcess::NotRunning, "weston did not start",
                              20000);
    QVERIFY2(weston.state() == QProcess::Running, weston.readAll().constData());

    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                        QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                                        QStringLiteral("1024x768x24")});
    auto stopXvfb = qScopeGuard([&] { stop(xvfb); });
    QByteArray number;
    QTRY_VERIFY2_WITH_TIMEOUT((number += xvfb.readAllStandardOutput()).endsWith('\n') ||
                                  xvfb.state() == QProcess::NotRunning,
                              "Xvfb did not start", 20000);
    QVERIFY2(xvfb.state() == QProcess::Running, xvfb.readAllStandardError().constData());
    const QString display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());

    // A program folder of its own that holds a collection, and the session's
    // variables as a desktop sets them.
    Fixture fixture;
    const QString program = fixture.folder() + QStringLiteral("/sentalia");
    QVERIFY(QFile::copy(QStringLiteral(SENTALIA_BUILD_DIR "/sentalia"), program));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("sentalia-test"));
    environment.insert(QStringLiteral("DISPLAY"), display);
    if (!sessionType.isEmpty())
        environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QString::fromLatin1(sessionType));
    QProcess sentalia;
    sentalia.setProcessEnvironment(environment);
    sentalia.setProcessChannelMode(QProcess::MergedChannels);
    sentalia.start(program, arguments);
    auto stopSentalia = qScopeGuard([&] { stop(sentalia); });

    // Its first window (the user-name dialog) shows up on X.
    const auto onX = [&] {
        QProcess tree;
        tree.start(QStringLiteral("xwininfo"), {QStringLiteral("-display"), display, QStringLiteral("-root"),
                                                QStringLiteral("-tree")});
        tree.waitForFinished(10000);
        return tree.readAllStandardOutput().contains("(\"sentalia\" ");
    };
    QTRY_VERIFY2_WITH_TIMEOUT(onX() || sentalia.state() == QProcess::NotRunning, "no window of Sentalia on X", 30000);
    QVERIFY2(sentalia.state() == QProcess::Running,
             qPrintable(QStringLiteral("Sentalia ended (exit status %1): %2")
                            .arg(sentalia.exitStatus() == QProcess::CrashExit ? QStringLiteral("crash")
                                                                              : QString::number(sentalia.exitCode()),
                                 QString::fromLocal8Bit(sentalia.readAll()))));
}

QTEST_GUILESS_MAIN(TestWaylandSession)
#include "tst_waylandsession.moc"
