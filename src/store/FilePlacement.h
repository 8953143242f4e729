// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// Puts a finished file in place without ever replacing one that is already
// there, and keeps what it wrote on disk. A plain rename() or QSaveFile
// would replace a file that another process holds open; everything here
// refuses instead.
//
// Paths are bytes, as the kernel sees them, so that names that are not
// UTF-8 survive. Every failure fills *reason with one Spanish sentence that
// names the file and ends with the system's own words.
class FilePlacement {
public:
    // What a temporary name adds to the final one: a leading ".", the
    // unique suffix and the engine's journal suffix.
    static constexpr char TemporaryExtra[] = "." ".XXXXXX" "-journal";

    // Creates an empty file beside finalPath, named "." + its name + a
    // unique suffix, mode 0600, open for writing (closed on exec). The name
    // fits the file system's limit (with room for a "-journal" after it):
    // the copied part of a long name is shortened. Returns the descriptor
    // and sets *tempPath, or -1; a final name over the limit is refused
    // with ENAMETOOLONG.
    static int createTemporaryBeside(const QByteArray &finalPath, QByteArray *tempPath, QString *reason);
    // The mkostemp() pattern for a file named name in a folder whose names
    // take at most limit bytes.
    static QByteArray temporaryName(const QByteArray &name, long limit);

    // Puts the finished temporary file at finalPath only if nothing is there,
    // the first way the file system supports:
    //  1. link() then unlink(temp);
    //  2. renameat2(RENAME_NOREPLACE), where there are no hard links (FAT);
    //  3. an O_EXCL empty placeholder under the final name, and rename() of
    //     the temporary over it, where neither works (FAT through fusefat).
    // Never replaces a file that was there, never shows a partial file under
    // the final name; fsyncs the file and the folder. Only after a crash in
    // the middle of the third way may an empty file be left at finalPath.
    // On failure finalPath is untouched and the temporary is left for the caller
    // to remove; *exists is set when the failure is "a file is already there".
    static bool placeNoReplace(const QByteArray &tempPath, const QByteArray &finalPath, QString *reason,
                               bool *exists = nullptr);

    // The whole procedure for a copy: sourcePath is copied into a temporary
    // beside finalPath, given mode, flushed, and put in place as above. On
    // any failure nothing is left behind and finalPath is untouched.
    static bool copyNoReplace(const QByteArray &sourcePath, const QByteArray &finalPath, mode_t mode,
                              QString *reason, bool *exists = nullptr);

    // Makes folder and every missing folder above it, each with exactly
    // mode; folders that exist are left as they are.
    static bool makeFolders(const QByteArray &folder, mode_t mode, QString *reason);

    static bool syncFile(int fd, const QByteArray &path, QString *reason);
    static bool syncFolder(const QByteArray &folder, QString *reason);
    // Everything before the last '/', "." for a bare name, "/" for the root.
    static QByteArray folderOf(const QByteArray &path);
    // The same folder as an absolute path, for sentences: "./x" names the
    // current folder, not ".".
    static QByteArray absoluteFolderOf(const QByteArray &path);

    // The system's error number (errno) behind this thread's last failure.
    static int lastError();

    // Failures the tests inject to reach what no ordinary file system
    // shows: flags, cleared with None.
    enum Fault : unsigned {
        None = 0,
        NoHardLinks = 1,       // link() answers EPERM, as on FAT
        NoRenameNoReplace = 2, // renameat2() answers EINVAL, as on old NFS
        DiskFull = 4,          // writing the copy answers ENOSPC
        RenameFails = 8,       // rename() answers EIO
    };
    static void injectFaults(unsigned faults);
};
