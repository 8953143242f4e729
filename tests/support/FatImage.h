// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh FAT file system for a test: an image made by mkfs.vfat in a
// temporary folder, mounted through fusefat (writable with rw+, or as
// read-only media), and unmounted when the object goes, on every way out
// of the test. A machine that cannot mount it (no /dev/fuse, no fusefat)
// gets mounted() false and the reason in error(): the test then fails
// with it.
class FatImage {
public:
    explicit FatImage(bool writable = true);
    ~FatImage();
    FatImage(const FatImage &) = delete;
    FatImage &operator=(const FatImage &) = delete;

    bool mounted() const { return m_mounted; }
    QString error() const { return m_error; }
    QString mountPoint() const { return m_mountPoint; }

    // Unmounts and mounts the same image again, writable or not: files put
    // there while writable are then on read-only media.
    bool remount(bool writable);

private:
    bool mount(bool writable);
    void unmount();
    // Runs a program to its end; false, with the reason in m_error, unless
    // it exits 0.
    bool run(const QString &program, const QStringList &arguments);

    QTemporaryDir m_dir;
    QString m_image;
    QString m_mountPoint;
    QString m_error;
    bool m_mounted = false;
};
