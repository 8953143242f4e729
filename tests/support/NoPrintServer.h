// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

// A print server of the test's own that is not there: CUPS_SERVER points at
// a socket in a fresh temporary folder where no scheduler listens, and no
// printer is named by PRINTER or LPDEST. Printing from the test then meets a
// machine without printers and never reaches a real one, whatever this
// machine has. Made before anything asks CUPS for a printer (the first
// QPrinterInfo call reads the setting), and kept while the test runs.
class NoPrintServer {
public:
    NoPrintServer();
    NoPrintServer(const NoPrintServer &) = delete;
    NoPrintServer &operator=(const NoPrintServer &) = delete;

    // False, with the reason in error(), when no temporary folder could be
    // made: the test then fails with it.
    bool isValid() const { return m_dir.isValid(); }
    QString error() const { return m_dir.errorString(); }
    QString socket() const { return m_socket; }

private:
    QTemporaryDir m_dir;
    QString m_socket;
};
