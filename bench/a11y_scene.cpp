// SPDX-License-Identifier: GPL-3.0-or-later
// Shows what a screen reader meets in one session: the main window with the
// listing of every quotation, the search dialog (letter face) and the exit
// question, all at once, and stays until it is ended. Run it on a display
// with an accessibility bus (bench/a11y-bus.sh) and read it from outside.
// A line "relist" on its standard input lists every quotation again.
//   a11y_scene [records]
#include "BenchData.h"
#include "ProgramCollection.h"

#include "app/FormBuilders.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "browse/FrmVer.h"
#include "dialogs/FrmSalir.h"
#include "mainwin/MdiInicio.h"
#include "skin/MessageBox.h"

#include <QAccessible>
#include <QApplication>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FormBuilders::install();
    QApplication::setQuitOnLastWindowClosed(false);
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    const int records = argc > 1 ? atoi(argv[1]) : 120;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    BenchData::build(path, records);
    BenchData::openAsProgramCollection(path);
    MessageBox::setRecording(true);
    Module1::usuario = QStringLiteral("Ana");

    MdiInicio *main = Forms::mdiinicio();
    main->resize(1280, 800);
    main->showMaximized();
    main->verTodos();
    Module1::portema = false;
    Forms::frmver()->show();
    Forms::frmsalir()->show();
    QApplication::processEvents();
    printf("ready pid=%lld accessibility=%s\n", static_cast<long long>(QCoreApplication::applicationPid()),
           QAccessible::isActive() ? "active" : "inactive");
    fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&input] {
        char line[64] = {};
        const ssize_t got = read(STDIN_FILENO, line, sizeof line - 1);
        if (got <= 0) {
            input.setEnabled(false);
            return;
        }
        if (qstrncmp(line, "relist", 6) == 0) {
            Forms::mdiinicio()->verTodos();
            printf("relisted\n");
            fflush(stdout);
        }
    });
    return app.exec();
}
