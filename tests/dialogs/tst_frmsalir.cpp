// SPDX-License-Identifier: GPL-3.0-or-later
// The message dialog: its five modes, their focus order, the answers of its
// buttons and close pictures, and the farewell that ends the program on the
// 21st tick of the end timer whichever way it was reached.

#include "GuiSession.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/MessageLabel.h"
#include "dialogs/User.h"
#include "entry/FrmNuevo.h"
#include "mainwin/MdiInicio.h"
#include "skin/Artwork.h"
#include "skin/Notice.h"
#include "skin/PictureLabel.h"
#include "skin/Twips.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

const QString Farewell = QStringLiteral("Gracias por usar Sentalia, regresa pronto");

// Every control whose visibility tells one mode from another.
const QStringList ModeControls = {
    QStringLiteral("OKButton"), QStringLiteral("CancelButton"), QStringLiteral("cmdsi"),
    QStringLiteral("cmdno"),    QStringLiteral("cmdaceptar"),   QStringLiteral("cmdconec"),
    QStringLiteral("imgicon"),  QStringLiteral("imgicon1"),     QStringLiteral("imgicon2"),
    QStringLiteral("imgerror"), QStringLiteral("Image11"),
};

QStringList shownControls(FrmSalir *dialog)
{
    QStringList shown;
    for (const QString &name : ModeControls) {
        auto *control = dialog->findChild<QWidget *>(name);
        if (!control)
            return {QStringLiteral("missing ") + name};
        if (control->isVisible())
            shown << name;
    }
    return shown;
}

// The dialog in one of its modes, as the program opens it.
FrmSalir *openIn(const QString &operation)
{
    FrmSalir *dialog = Forms::frmsalir();
    if (operation == QLatin1String("nuevo"))
        dialog->nuevo();
    else if (operation == QLatin1String("nombre"))
        dialog->nombre();
    else if (operation == QLatin1String("error"))
        dialog->error();
    else
        dialog->show();
    return dialog;
}

void tick(FrmSalir *dialog, int times)
{
    for (int i = 0; i < times; ++i)
        dialog->Timer1_Timer();
}

void clickPicture(QWidget *picture)
{
    QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
}

// The farewell, `done` ticks into it, ends the program on its 21st tick
// and on no earlier one.
bool endsOnTheTwentyFirstTick(FrmSalir *dialog, const GuiSession &session, int done)
{
    tick(dialog, 20 - done);
    if (session.endRequests() != 0 || dialog->ticks() != 20)
        return false;
    tick(dialog, 1);
    return session.endRequests() == 1;
}

} // namespace

class TestFrmSalir : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void modes_data();
    void modes();
    void exitQuestionText_data();
    void exitQuestionText();
    void showKeepsTheOpenMode();
    void answers_data();
    void answers();
    void farewell_data();
    void farewell();
    void farewellCannotBeClosed_data();
    void farewellCannotBeClosed();
    void endTimerRunsByItself();
    void carriageReturnsShowAsLines_data();
    void carriageReturnsShowAsLines();

private:
    std::unique_ptr<GuiSession> m_session;
};

void TestFrmSalir::init()
{
    m_session = std::make_unique<GuiSession>();
    // The ticks are driven by hand; the real timer must not add its own.
    Timings::setInterval(Timings::Timer::EndTimer, 3600 * 1000);
    Module1::usuario = QStringLiteral("ana");
}

void TestFrmSalir::cleanup()
{
    m_session.reset();
}

void TestFrmSalir::modes_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QStringList>("captions");
    // The one close picture a screen reader meets, showing and pressable,
    // and the one a click at the close picture's place reaches: imgerror
    // covers Image11 in the no-database message.
    QTest::addColumn<QString>("closer");
    // Where the keyboard starts and where Tab takes it, round to the start:
    // the shown answers only.
    QTest::addColumn<QStringList>("focusOrder");

    QTest::newRow("exit question") << "show" << QStringLiteral("ANA ¿Realmente desea salir?")
                                   << QStringList{"OKButton", "CancelButton", "imgicon", "Image11"}
                                   << Artwork::BubbleQuestion << QStringList{"Si", "No"} << "Image11"
                                   << QStringList{"OKButton", "CancelButton"};
    QTest::newRow("record created")
        << "nuevo" << QStringLiteral("Registro creado\r¿Desea ingresar otro?")
        << QStringList{"cmdsi", "cmdno", "imgicon", "Image11"} << Artwork::BubbleQuestion
        << QStringList{"Si", "No"} << "Image11" << QStringList{"cmdsi", "cmdno"};
    QTest::newRow("name required") << "nombre" << QStringLiteral("Debe ingresar un nombre porfavor")
                                   << QStringList{"cmdaceptar", "imgicon2", "Image11"} << Artwork::BubbleInfo
                                   << QStringList{"Aceptar"} << "Image11" << QStringList{"cmdaceptar"};
    QTest::newRow("no database") << "error" << QStringLiteral("No se estableció conección con la Base de Datos")
                                 << QStringList{"cmdconec", "imgicon2", "imgerror", "Image11"}
                                 << Artwork::BubbleInfo << QStringList{"Aceptar"} << "imgerror"
                                 << QStringList{"cmdconec"};
}

void TestFrmSalir::modes()
{
    QFETCH(QString, operation);
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    QFETCH(QString, icon);
    QFETCH(QStringList, captions);
    QFETCH(QString, closer);
    QFETCH(QStringList, focusOrder);

    FrmSalir *dialog = openIn(operation);
    QVERIFY(dialog->isVisible());
    QVERIFY(!dialog->isModal());

    QCOMPARE(dialog->lblcuestion->message(), text);
    QCOMPARE(dialog->lblcuestion->y(), Twips::px(960));
    QCOMPARE(dialog->lbltitulo->text(), QStringLiteral("Sentalia"));
    QCOMPARE(dialog->lbltitulo1->text(), QStringLiteral("Sentalia"));
    QCOMPARE(shownControls(dialog), shown);
    // A screen reader hears the title once, as the dialog's name, and a
    // close button.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(dialog);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Sentalia"));
    QVERIFY(iface->indexOfChild(QAccessible::queryAccessibleInterface(dialog->lbltitulo)) >= 0);
    QCOMPARE(iface->indexOfChild(QAccessible::queryAccessibleInterface(dialog->lbltitulo1)), -1);
    for (PictureLabel *close : {dialog->Image11, dialog->imgerror}) {
        QAccessibleInterface *picture = QAccessible::queryAccessibleInterface(close);
        QCOMPARE(picture->role(), QAccessible::Button);
        QCOMPARE(picture->text(QAccessible::Name), QStringLiteral("Cerrar"));
    }
    QStringList closers;
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        if (child->text(QAccessible::Name) == QLatin1String("Cerrar") && !child->state().invisible
            && child->actionInterface() && !child->actionInterface()->actionNames().isEmpty())
            closers << child->object()->objectName();
    }
    QCOMPARE(closers, QStringList{closer});
    QCOMPARE(dialog->childAt(dialog->Image11->geometry().center())->objectName(), closer);
    // A covered picture is not there, and its press does nothing.
    if (closer == QLatin1String("imgerror")) {
        QAccessibleInterface *covered = QAccessible::queryAccessibleInterface(dialog->Image11);
        QVERIFY(covered->state().invisible);
        QVERIFY(covered->actionInterface()->actionNames().isEmpty());
        covered->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTest::qWait(0);
        QVERIFY(!dialog->inFarewell());
        QVERIFY(dialog->isVisible());
    }

    QStringList shownCaptions;
    PictureLabel *shownIcon = nullptr;
    for (const QString &name : shown) {
        if (auto *button = dialog->findChild<QPushButton *>(name))
            shownCaptions << button->text();
        if (name.startsWith(QLatin1String("imgicon")))
            shownIcon = dialog->findChild<PictureLabel *>(name);
    }
    QCOMPARE(shownCaptions, captions);
    QVERIFY(shownIcon);
    QCOMPARE(shownIcon->pictureSource(), icon);

    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QStringList visited;
    for (int step = 0; step <= focusOrder.size(); ++step) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(visited, focusOrder + QStringList{focusOrder.first()});

    // The main window was built by the load, and stays unseen.
    QVERIFY(Forms::mdiinicioLoaded());
    QVERIFY(!Forms::mdiinicioLoaded()->isVisible());
    QCOMPARE(m_session->endRequests(), 0);
}

void TestFrmSalir::exitQuestionText_data()
{
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("text");
    QTest::newRow("small letters") << "ana" << QStringLiteral("ANA ¿Realmente desea salir?");
    QTest::newRow("accents and eñe") << QStringLiteral("josé ñandú") << QStringLiteral("JOSÉ ÑANDÚ ¿Realmente desea salir?");
    QTest::newRow("blanks kept") << "  " << QStringLiteral("   ¿Realmente desea salir?");
    QTest::newRow("no name") << "" << QStringLiteral(" ¿Realmente desea salir?");
}

void TestFrmSalir::exitQuestionText()
{
    QFETCH(QString, usuario);
    QFETCH(QString, text);
    Module1::usuario = usuario;
    Forms::frmsalir()->show();
    QCOMPARE(Forms::frmsalir()->lblcuestion->message(), text);
    QCOMPARE(Module1::usuario, usuario);
}

void TestFrmSalir::showKeepsTheOpenMode()
{
    FrmSalir *dialog = Forms::frmsalir();
    dialog->nuevo();
    const QStringList recordCreated = shownControls(dialog);

    // A close request of the main window asks the exit question again: the
    // open record-created question comes forward unchanged instead.
    Forms::frmsalir()->show();
    QCOMPARE(Forms::frmsalir(), dialog);
    QCOMPARE(dialog->mode(), FrmSalir::Mode::RecordCreated);
    QCOMPARE(shownControls(dialog), recordCreated);
    QVERIFY(dialog->lblcuestion->message().startsWith(QLatin1String("Registro creado")));
}

void TestFrmSalir::answers_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("control");
    // What comes forward: the main window it was over, the new-quote
    // dialog, or the name box of the user-name dialog.
    QTest::addColumn<QString>("next");
    QTest::addColumn<bool>("clearsSalir");
    QTest::newRow("exit question, No") << "show" << "CancelButton" << "main" << true;
    QTest::newRow("exit question, close picture") << "show" << "Image11" << "main" << true;
    QTest::newRow("exit question, window close") << "show" << "window" << "main" << true;
    QTest::newRow("record created, No") << "nuevo" << "cmdno" << "main" << false;
    QTest::newRow("record created, close picture") << "nuevo" << "Image11" << "main" << true;
    QTest::newRow("name required, close picture") << "nombre" << "Image11" << "main" << true;
    QTest::newRow("record created, Si, opens a new quote") << "nuevo" << "cmdsi" << "frmnuevo" << false;
    QTest::newRow("name required, Aceptar, focuses the name box") << "nombre" << "cmdaceptar" << "user" << false;
    // The name was accepted while the message stayed open: the user-name
    // dialog is gone, and "Aceptar" just closes the message.
    QTest::newRow("name required, Aceptar, no user-name dialog") << "nombre" << "cmdaceptar" << "main" << false;
}

void TestFrmSalir::answers()
{
    QFETCH(QString, operation);
    QFETCH(QString, control);
    QFETCH(QString, next);
    QFETCH(bool, clearsSalir);

    Forms::mdiinicio()->show();
    User *user = nullptr;
    if (next == QLatin1String("user")) {
        user = Forms::user();
        user->show();
        user->OKButton->setFocus();
    }
    FrmSalir *dialog = openIn(operation);
    Module1::salir = true;

    if (control == QLatin1String("window"))
        dialog->close();
    else if (auto *button = dialog->findChild<QPushButton *>(control))
        QTest::mouseClick(button, Qt::LeftButton);
    else
        clickPicture(dialog->findChild<QWidget *>(control));

    QTRY_VERIFY(!Forms::frmsalirLoaded());
    QVERIFY(Forms::mdiinicio()->isVisible());
    if (clearsSalir)
        QVERIFY(!Module1::salir);
    QCOMPARE(m_session->endRequests(), 0);
    if (next == QLatin1String("frmnuevo")) {
        QVERIFY(Forms::frmnuevoLoaded());
        QVERIFY(Forms::frmnuevoLoaded()->isVisible());
        QVERIFY(!Forms::frmnuevoLoaded()->isModal());
    } else if (user) {
        QVERIFY(user->isVisible());
        QCOMPARE(user->focusWidget(), user->txtnombre);
    } else {
        QVERIFY(!Forms::userLoaded());
    }

    // Asking again builds the dialog afresh, in the exit question.
    Forms::frmsalir()->show();
    QCOMPARE(Forms::frmsalir()->mode(), FrmSalir::Mode::ExitQuestion);
    QCOMPARE(shownControls(Forms::frmsalir()),
             (QStringList{"OKButton", "CancelButton", "imgicon", "Image11"}));
    QCOMPARE(Forms::frmsalir()->ticks(), qint16(0));
}

void TestFrmSalir::farewell_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("errorPicture");
    QTest::newRow("exit question, Si") << "OKButton" << false;
    QTest::newRow("no database, Aceptar") << "cmdconec" << true;
    QTest::newRow("no database, the close picture's place") << "imgerror" << true;
    // Closing it by the window system must not leave the program running
    // without a window: it leaves as "Aceptar" does.
    QTest::newRow("no database, window close") << "window" << true;
    QTest::newRow("user-name dialog") << "user" << false;
    QTest::newRow("user-name dialog over name required") << "user+nombre" << false;
}

void TestFrmSalir::farewell()
{
    QFETCH(QString, start);
    QFETCH(bool, errorPicture);

    FrmSalir *dialog = nullptr;
    if (start == QLatin1String("OKButton")) {
        Forms::mdiinicio()->show();
        dialog = Forms::frmsalir();
        dialog->show();
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    } else if (start == QLatin1String("cmdconec")) {
        dialog = Forms::frmsalir();
        dialog->error();
        QTest::mouseClick(dialog->cmdconec, Qt::LeftButton);
    } else if (start == QLatin1String("imgerror")) {
        dialog = Forms::frmsalir();
        dialog->error();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        // At the close picture's place, through the window: the error
        // picture over it takes the click.
        QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, {}, dialog->Image11->geometry().center());
    } else if (start == QLatin1String("window")) {
        dialog = Forms::frmsalir();
        dialog->error();
        QVERIFY(!dialog->close());
    } else {
        if (start == QLatin1String("user+nombre"))
            Forms::frmsalir()->nombre();
        Forms::frmsalir()->farewellFromUser();
        dialog = Forms::frmsalir();
    }

    QVERIFY(dialog->inFarewell());
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->lblcuestion->message(), Farewell);
    // Screen readers are told it, wherever the focus is.
    QCOMPARE(dialog->notice->text(), Farewell);
    QCOMPARE(dialog->lblcuestion->y(), Twips::px(1150));
    QStringList shown{"imgicon1", "Image11"};
    if (errorPicture)
        shown.insert(1, QStringLiteral("imgerror"));
    QCOMPARE(shownControls(dialog), shown);
    QCOMPARE(dialog->imgicon1->pictureSource(), QString::fromLatin1(Artwork::WavingHand));
    QVERIFY(!Forms::mdiinicio()->isVisible());
    QVERIFY(dialog->Timer1->isActive());
    QCOMPARE(dialog->Timer1->interval(), 3600 * 1000);

    QVERIFY(endsOnTheTwentyFirstTick(dialog, *m_session, 0));
}

void TestFrmSalir::farewellCannotBeClosed_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("attempt");
    for (const char *start : {"exit", "user"}) {
        QTest::addRow("%s, close picture", start) << start << "Image11";
        QTest::addRow("%s, window close", start) << start << "window";
        QTest::addRow("%s, Esc", start) << start << "Esc";
    }
    // The error picture stays on top during the farewell; clicking it again
    // does not start the count over.
    QTest::newRow("no database, error picture") << "error" << "imgerror";
}

void TestFrmSalir::farewellCannotBeClosed()
{
    QFETCH(QString, start);
    QFETCH(QString, attempt);

    FrmSalir *dialog = Forms::frmsalir();
    if (start == QLatin1String("exit")) {
        dialog->show();
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    } else if (start == QLatin1String("error")) {
        dialog->error();
        QTest::mouseClick(dialog->cmdconec, Qt::LeftButton);
    } else {
        dialog->farewellFromUser();
    }
    tick(dialog, 5);

    if (attempt.startsWith(QLatin1String("Image")) || attempt.startsWith(QLatin1String("img")))
        clickPicture(dialog->findChild<QWidget *>(attempt));
    else if (attempt == QLatin1String("window"))
        QVERIFY(!dialog->close());
    else
        QTest::keyClick(dialog, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(Forms::frmsalirLoaded(), dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->Timer1->isActive());
    QCOMPARE(dialog->lblcuestion->message(), Farewell);
    QCOMPARE(dialog->ticks(), qint16(5));
    QVERIFY(endsOnTheTwentyFirstTick(dialog, *m_session, 5));
}

void TestFrmSalir::endTimerRunsByItself()
{
    Timings::setInterval(Timings::Timer::EndTimer, 1);
    FrmSalir *dialog = Forms::frmsalir();
    dialog->show();
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    QTRY_COMPARE(m_session->endRequests(), 1);
    QCOMPARE(dialog->ticks(), qint16(20));
}

void TestFrmSalir::carriageReturnsShowAsLines_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("record created") << QStringLiteral("Registro creado\r¿Desea ingresar otro?")
                                    << QStringList{"Registro creado", QStringLiteral("¿Desea ingresar otro?")};
    QTest::newRow("CR LF counts once") << "uno\r\ndos" << QStringList{"uno", "dos"};
    QTest::newRow("two CRs") << "uno\r\rdos" << QStringList{"uno", "", "dos"};
    QTest::newRow("none") << "una sola" << QStringList{"una sola"};
}

void TestFrmSalir::carriageReturnsShowAsLines()
{
    QFETCH(QString, message);
    QFETCH(QStringList, lines);
    MessageLabel label;
    label.setMessage(message);
    QCOMPARE(label.message(), message);
    QCOMPARE(label.text().split(QLatin1Char('\n')), lines);
    QVERIFY(!label.text().contains(QLatin1Char('\r')));
}

QTEST_MAIN(TestFrmSalir)
#include "tst_frmsalir.moc"
