// SPDX-License-Identifier: GPL-3.0-or-later
#include "Module1.h"

#include "store/CollectionLocation.h"
#include "store/QuoteStore.h"

#include <QCoreApplication>

namespace Module1 {

std::unique_ptr<QuoteStore> db;
QString usuario;
bool portema = false;
bool salir = false;

namespace {
QString g_programFolder;
std::function<void()> g_endHook;
} // namespace

QString programFolder()
{
    if (!g_programFolder.isEmpty())
        return g_programFolder;
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString &folder)
{
    g_programFolder = folder;
}

void endProgram()
{
    if (g_endHook) {
        g_endHook();
        return;
    }
    QCoreApplication::exit(0);
}

void setEndProgramHook(std::function<void()> hook)
{
    g_endHook = std::move(hook);
}

QString helpFolder()
{
    return CollectionLocation::resolve(programFolder()).helpFolder();
}

} // namespace Module1
