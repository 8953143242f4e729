// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstdio>

// The output of a command that reads the collection, held in a temporary
// file until the command has released the collection and knows the whole
// output is good; then copied out in 64 KiB pieces. So a pager or a slow
// pipe never keeps the collection in use, a failure halfway prints nothing,
// and memory stays small whatever the size of the output.
//
// The file lives in the temporary folder (TMPDIR, else /tmp) and has no
// name there (O_TMPFILE; where the file system lacks it, a name removed at
// once), so nothing is left behind however the process ends.
class OutputSpool : public QIODevice {
public:
    OutputSpool();
    ~OutputSpool() override;

    // Makes the file; false with failure() set when it cannot.
    bool create();

    // Copies everything written so far to OUT. False when the spool cannot
    // be read back (failure() says why), when OUT refuses the bytes
    // (outputFailed() is then true), or when an interruption is requested.
    bool copyTo(std::FILE *out);
    bool outputFailed() const { return m_outputFailed; }

    // The sentence for the user when the temporary file could not be made,
    // written or read, naming the folder; empty when nothing failed there.
    QString failure() const { return m_failure; }

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    void failed(const char *what, int error);

    int m_fd = -1;
    QByteArray m_folder;
    QString m_failure;
    bool m_outputFailed = false;
};
