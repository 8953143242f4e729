// SPDX-License-Identifier: GPL-3.0-or-later
#include "FatImage.h"
#include "store/FilePlacement.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestFilePlacement : public QObject {
    Q_OBJECT

private slots:
    void placeNoReplace_data();
    void placeNoReplace();
};

void TestFilePlacement::placeNoReplace_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("onFat");
    QTest::addColumn<uint>("faults");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<bool>("placed");

    const uint noLinks = FilePlacement::NoHardLinks;
    const uint placeholderOnly = FilePlacement::NoHardLinks | FilePlacement::NoRenameNoReplace;
    const QByteArray longest = QByteArray(251, 'n') + ".mdb";
    QByteArray twoByteLetters;
    for (int i = 0; i < 122; ++i)
        twoByteLetters += "\xc3\xb1"; // ñ
    twoByteLetters += ".mdb";

    QTest::newRow("free: hard link") << QByteArray("frase.mdb") << false << uint(FilePlacement::None) << false << true;
    QTest::newRow("free: no hard links") << QByteArray("frase.mdb") << false << noLinks << false << true;
    QTest::newRow("taken: hard link") << QByteArray("frase.mdb") << false << uint(FilePlacement::None) << true << false;
    QTest::newRow("taken: no hard links") << QByteArray("frase.mdb") << false << noLinks << true << false;
    QTest::newRow("free: placeholder, then rename over it")
        << QByteArray("frase.mdb") << false << placeholderOnly << false << true;
    QTest::newRow("taken: placeholder refused") << QByteArray("frase.mdb") << false << placeholderOnly << true << false;
    QTest::newRow("free: rename over the placeholder fails, placeholder goes")
        << QByteArray("frase.mdb") << false << (placeholderOnly | FilePlacement::RenameFails) << false << false;
    QTest::newRow("name not UTF-8") << QByteArray("fr\xe9se.mdb") << false << uint(FilePlacement::None) << false
                                    << true;
    QTest::newRow("longest name") << longest << false << uint(FilePlacement::None) << false << true;
    QTest::newRow("long name in two-byte letters")
        << twoByteLetters << false << uint(FilePlacement::None) << false << true;
    QTest::newRow("FAT: free") << QByteArray("frase.mdb") << true << uint(FilePlacement::None) << false << true;
    QTest::newRow("FAT: taken") << QByteArray("frase.mdb") << true << uint(FilePlacement::None) << true << false;
    QTest::newRow("FAT: longest name") << longest << true << uint(FilePlacement::None) << false << true;
}

void TestFilePlacement::placeNoReplace()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, onFat);
    QFETCH(uint, faults);
    QFETCH(bool, taken);
    QFETCH(bool, placed);

    QTemporaryDir dir;
    std::unique_ptr<FatImage> fat(onFat ? new FatImage : nullptr);
    if (fat)
        QVERIFY2(fat->mounted(), qPrintable(fat->error()));
    const QByteArray finalPath = QFile::encodeName(fat ? fat->mountPoint() : dir.path()) + '/' + name;
    const auto contentOf = [](const QByteArray &path) {
        struct stat st;
        if (::stat(path.constData(), &st) != 0)
            return QByteArray("<none>");
        int fd = ::open(path.constData(), O_RDONLY);
        char buffer[64];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        ::close(fd);
        return QByteArray(buffer, int(got));
    };
    if (taken) {
        const int fd = ::open(finalPath.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QCOMPARE(::write(fd, "viejo", 5), 5);
        ::close(fd);
    }
    const QByteArray before = contentOf(finalPath);

    QByteArray tempPath;
    QString reason;
    const int fd = FilePlacement::createTemporaryBeside(finalPath, &tempPath, &reason);
    QVERIFY2(fd >= 0, qPrintable(reason));
    QCOMPARE(FilePlacement::folderOf(tempPath), FilePlacement::folderOf(finalPath));
    // Room for the engine's journal beside it, and still UTF-8 if the name was.
    const QByteArray tempName = tempPath.mid(tempPath.lastIndexOf('/') + 1);
    QVERIFY2(tempName.size() + 8 <= 255, tempName.constData());
    if (QString::fromUtf8(name).toUtf8() == name)
        QCOMPARE(QString::fromUtf8(tempName).toUtf8(), tempName);
    struct stat st;
    QCOMPARE(::fstat(fd, &st), 0);
    if (!fat) // FAT keeps no permissions
        QCOMPARE(st.st_mode & 07777, mode_t(0600));
    QCOMPARE(::write(fd, "nuevo", 5), 5);
    QVERIFY(FilePlacement::syncFile(fd, tempPath, &reason));
    ::close(fd);

    FilePlacement::injectFaults(faults);
    bool exists = !taken;
    const bool ok = FilePlacement::placeNoReplace(tempPath, finalPath, &reason, &exists);
    FilePlacement::injectFaults(FilePlacement::None);

    QCOMPARE(ok, placed);
    QCOMPARE(exists, taken);
    if (placed) {
        QCOMPARE(contentOf(finalPath), QByteArray("nuevo"));
        QCOMPARE(contentOf(tempPath), QByteArray("<none>"));
    } else {
        QVERIFY(!reason.isEmpty());
        QCOMPARE(contentOf(finalPath), before);
        QCOMPARE(contentOf(tempPath), QByteArray("nuevo"));
    }
    // QTemporaryDir cannot remove a name that is not UTF-8.
    ::unlink(finalPath.constData());
    ::unlink(tempPath.constData());
}

QTEST_GUILESS_MAIN(TestFilePlacement)

#include "tst_fileplacement.moc"
