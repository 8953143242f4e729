// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// File names as the command line gives them: bytes, which need not be
// UTF-8. They go to the file system untouched; only messages show them as
// text, with every byte that is not part of valid UTF-8 written \xNN.
class PathName {
public:
    static QString display(const QByteArray &path);
    // The name as text, for what is made of it (a fortune file's topic):
    // UTF-8 when it is valid UTF-8, otherwise Latin-1, the other encoding
    // old file names come in.
    static QString text(const QByteArray &path);
    // Whether the name ends in ".mdb", in any case: the mark of a collection
    // on the command line.
    static bool isCollection(const QByteArray &path);
};
