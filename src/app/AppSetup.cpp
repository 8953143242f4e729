// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppSetup.h"

#include "ShortcutNames.h"
#include "Version.h"
#include "skin/Artwork.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

// The pictures are compiled into the skin library. Resources of a static
// library reach the program only when registered by name.
static void registerArtwork()
{
    Q_INIT_RESOURCE(sentalia);
}

namespace AppSetup {

void configure(QApplication &app)
{
    registerArtwork();
    QApplication::setApplicationName(QString::fromLatin1(Version::Title));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(Version::Major).arg(Version::Minor).arg(Version::Revision));
    // The window manager and the menu match the running program to its
    // desktop entry by this name. The icon theme has the installed icon at
    // every size; the program's own picture stands in for it elsewhere.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(Version::AppId));
    QGuiApplication::setWindowIcon(
        QIcon::fromTheme(QString::fromLatin1(Version::AppId), QIcon(QString::fromLatin1(Artwork::IconMain))));

    // The interface is Spanish whatever the desktop's language: message-box
    // buttons read "Aceptar" and the text boxes' menus are Spanish too.
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *catalog : {"qtbase_es", "qt_es"}) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(catalog), translations))
            QApplication::installTranslator(translator);
        else
            delete translator;
    }
    // Shortcuts read "Ctrl+N", as the designs write them, not "Control+N".
    QApplication::installTranslator(new ShortcutNames(&app));

    // The designs name Windows fonts; these free look-alikes stand in.
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

} // namespace AppSetup
