#include "Module1.h"

#include "Forms.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/User.h"
#include "store/FailureText.h"
#include "store/QuoteStore.h"

#include <QCoreApplication>
#include <QtDebug>

#include <exception>

namespace Module1 {

std::unique_ptr<QuoteStore> db;
QString usuario;
bool portema = false;
bool salir = false;

namespace {
QString g_programFolder;
std::function<void()> g_endHook;
QString g_lastOpenFailure;
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

QString lastOpenFailure()
{
    return g_lastOpenFailure;
}

void Main()
{
    try {
        const QString path = QuoteStore::databasePath(programFolder());
        QuoteStore::OpenResult opened = QuoteStore::open(path);
        if (!opened) {
            g_lastOpenFailure = opened.reason;
            qWarning().noquote() << "Sentalia:" << FailureText::sentence(opened.failure, path) << "-" << opened.reason;
        } else {
            db = std::move(opened.store);
            Forms::user()->show();
            return;
        }
    } catch (const std::exception &e) {
        g_lastOpenFailure = QString::fromLocal8Bit(e.what());
        qWarning().noquote() << "Sentalia:" << g_lastOpenFailure;
        db.reset();
    }
    Forms::frmsalir()->error();
}

} // namespace Module1
