#include "GuiSession.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "skin/MessageBox.h"
#include "store/QuoteStore.h"

#include <QApplication>
#include <QFont>
#include <QWidget>

int GuiSession::s_endRequests = 0;

// The pictures live in the skin library's resources, which a static library
// only registers when asked by name.
static void registerArtwork()
{
    Q_INIT_RESOURCE(sentalia);
}

GuiSession::GuiSession(const QString &fixture, bool openDatabase)
    : m_fixture(fixture)
{
    registerArtwork();
    QApplication::setQuitOnLastWindowClosed(false);
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
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
