// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiSession.h"

#include "app/AppSetup.h"
#include "app/FormBuilders.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "skin/MessageBox.h"
#include "store/QuoteStore.h"

#include <QApplication>
#include <QWidget>

int GuiSession::s_endRequests = 0;

GuiSession::GuiSession(const QString &fixture, bool openDatabase)
    : m_fixture(fixture)
{
    // The program's own start-up set-up (artwork, Spanish translations of
    // Qt's texts, font substitutes), once per test program.
    static const bool configured = [] {
        AppSetup::configure(*static_cast<QApplication *>(QCoreApplication::instance()));
        return true;
    }();
    Q_UNUSED(configured);
    FormBuilders::install();
    QApplication::setQuitOnLastWindowClosed(false);
    s_endRequests = 0;
    Module1::setProgramFolder(m_fixture.folder());
    Module1::setEndProgramHook([] { ++s_endRequests; });
    Module1::usuario.clear();
    Module1::portema = false;
    Module1::salir = false;
    MessageBox::setRecording(true);
    MessageBox::clearRecorded();
    if (openDatabase)
        Module1::db = m_fixture.open();
}

GuiSession::~GuiSession()
{
    Forms::destroyAll();
    Module1::db.reset();
    Module1::setEndProgramHook(nullptr);
    Module1::setProgramFolder(QString());
    Timings::reset();
    MessageBox::clearRecorded();
}

void GuiSession::closeDatabase()
{
    Module1::db.reset();
}

QStringList GuiSession::visibleWindows()
{
    QStringList names;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            names << widget->objectName();
    }
    names.sort();
    return names;
}
