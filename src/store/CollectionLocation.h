// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Which collection a program folder uses, and where its help pages are.
//
// A program folder that holds frase.mdb (the build folder, or any copied,
// portable folder) uses that file and the Ayuda folder beside it. An
// installed program, whose folder has no frase.mdb but whose
// ../share/sentalia/ holds the shipped one, keeps the user's own collection
// in $XDG_DATA_HOME/sentalia/ (~/.local/share/sentalia/ when that variable
// is unset, empty or not absolute) and reads its help pages from
// ../share/sentalia/Ayuda. Any other folder uses its own, missing frase.mdb.
class CollectionLocation {
public:
    // Reads XDG_DATA_HOME and HOME at call time.
    static CollectionLocation resolve(const QString &programFolder);
    // The same from the folder's bytes, which need not be UTF-8: the
    // collection's name keeps them, and those of XDG_DATA_HOME and HOME.
    static CollectionLocation resolve(const QByteArray &programFolder);

    // The file the program (and the tool) use, as shown and as the file
    // system spells it.
    QString collectionPath() const;
    QByteArray collectionFile() const { return m_file; }
    // Ayuda/ beside the program, or ../share/sentalia/Ayuda when installed.
    QString helpFolder() const { return m_help; }
    // Installed program, collection in the user's folder.
    bool isUserCollection() const { return m_user; }
    // ../share/sentalia/frase.mdb when installed, empty otherwise.
    QString shippedCollection() const { return m_shipped; }

    // Program only: the first start of an installed program copies the
    // shipped collection to the user's file when that does not exist yet,
    // atomically, never over a file, with mode 0600, making missing folders
    // with mode 0700. True when the collection is there (or nothing is to
    // be copied); false with the reason when the copy failed, leaving
    // nothing behind. An existing file is never looked into or replaced,
    // damaged or not. *error, when given, receives the system's error
    // number behind a failure (EACCES, ENOSPC, ENOENT, ...).
    bool ensureUserCollection(QString *reason, int *error = nullptr) const;

    static constexpr const char *ShareFolder = "share/sentalia";
    static constexpr const char *HelpFolderName = "Ayuda";

private:
    QByteArray m_file;
    QByteArray m_shippedFile;
    QString m_help;
    QString m_shipped;
    bool m_user = false;
};
