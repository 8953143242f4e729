// SPDX-License-Identifier: GPL-3.0-or-later
#include "NoPrintServer.h"

#include <QFile>

NoPrintServer::NoPrintServer()
{
    if (!m_dir.isValid())
        return;
    m_socket = m_dir.filePath(QStringLiteral("no-scheduler.sock"));
    qputenv("CUPS_SERVER", QFile::encodeName(m_socket));
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
}
