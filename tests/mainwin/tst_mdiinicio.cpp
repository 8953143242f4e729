// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackgroundPicture.h"
#include "GuiSession.h"
#include "NoPrintServer.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "browse/Frm.h"
#include "browse/RichTextView.h"
#include "dialogs/FrmSalir.h"
#include "mainwin/MdiInicio.h"
#include "skin/Artwork.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionMenuItem>
#include <QTest>

#include <QTime>
#include <QToolTip>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// What a menu draws for an entry, the key names included.
struct MenuPeek : QMenu {
    using QMenu::initStyleOption;
};

// The entry of ACTIONS with this caption, as the user reads it.
QAction *entryCalled(const QList<QAction *> &actions, const QString &caption)
{
    for (QAction *action : actions)
        if (action->text() == caption)
            return action;
    return nullptr;
}

void closePopups()
{
    // What the opening set off first, so that closing hands the keyboard back.
    QCoreApplication::processEvents();
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

// Closes the next modal dialog as soon as it runs, noting which one it was
// and the search mode at that moment.
struct ModalCatcher {
    QString seen;
    bool portema = false;
    QTimer timer;
    ModalCatcher()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                seen = QString::fromLatin1(modal->metaObject()->className());
                portema = Module1::portema;
                timer.stop();
                if (auto *dialog = qobject_cast<QDialog *>(modal))
                    dialog->done(0);
                else
                    modal->close();
            }
        });
        timer.start();
    }
};

} // namespace

class TestMdiInicio : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void entries_data();
    void entries();
    void closeRequestAsksAndIsRefused();
    void captionNamesTheUser();
    void statusBar_data();
    void statusBar();
    void clockAndDate();
    void documentAreaPresses();
    void backgroundPictureOnceOnWhite();

private:
    MdiInicio *showMain();
    std::unique_ptr<GuiSession> m_session;
    NoPrintServer m_printServer;
};

void TestMdiInicio::initTestCase()
{
    // Printing meets a print server of this test's own that is not there.
    QVERIFY2(m_printServer.isValid(), qPrintable(m_printServer.error()));
}

void TestMdiInicio::init()
{
    m_session = std::make_unique<GuiSession>();
}

void TestMdiInicio::cleanup()
{
    if (MdiInicio *main = Forms::mdiinicioLoaded())
        for (QMenu *menu : {main->mnuoculto, main->mnuoculto1, main->mnuprint})
            menu->hide();
    m_session.reset();
}

MdiInicio *TestMdiInicio::showMain()
{
    MdiInicio *main = Forms::mdiinicio();
    main->showMaximized();
    if (!QTest::qWaitForWindowExposed(main))
        return nullptr;
    main->activateWindow();
    if (!QTest::qWaitForWindowActive(main))
        return nullptr;
    return main;
}

void TestMdiInicio::entries_data()
{
    // Where the user finds the entry (the menu bar, or the menu that a
    // right click on the bare document area, a click on the search picture
    // or a right click on the listing opens), the captions that lead to it,
    // the key it names, and what it does: the modal dialog it opens, the
    // search mode it sets (-1: none), or its effect.
    QTest::addColumn<QString>("where");
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("portema");
    QTest::addColumn<QString>("effect");

    const QString bar = QStringLiteral("menu bar");
    QTest::newRow("Archivo, Nueva Frase") << bar << QStringList{"&Archivo", "Nueva Frase"} << "Ctrl+N" << "FrmNuevo" << -1 << "";
    QTest::newRow("Archivo, Salir") << bar << QStringList{"&Archivo", "Salir"} << "Ctrl+S" << "" << -1 << "question";
    QTest::newRow("Ver, Por Autor") << bar << QStringList{"&Ver", "Por A&utor"} << "Ctrl+U" << "FrmVer" << 0 << "";
    QTest::newRow("Ver, Por Tema") << bar << QStringList{"&Ver", "Por &Tema"} << "Ctrl+T" << "FrmVer" << 1 << "";
    QTest::newRow("Ver, Ver Todos") << bar << QStringList{"&Ver", "Ver T&odos"} << "Ctrl+O" << "" << -1 << "listing";
    QTest::newRow("Ayuda, Acerca de") << bar << QStringList{"A&yuda", "Acerca de..."} << "F5" << "FrmAbout" << -1 << "";
    QTest::newRow("Ayuda, Temas de ayuda") << bar << QStringList{"A&yuda", "Temas de ayuda"} << "F1" << "FrmTemas" << -1
                                           << "";

    // The hidden menus name the keys in their captions.
    const QString area = QStringLiteral("document area");
    QTest::newRow("oculto, Nueva Frase") << area << QStringList{"&Nueva Frase    Ctrl+N"} << "Ctrl+N" << "FrmNuevo" << -1
                                         << "";
    QTest::newRow("oculto, Ver, Por autor") << area << QStringList{"Ver", "Por autor     Ctrl+U"} << "Ctrl+U" << "FrmVer"
                                            << 0 << "";
    QTest::newRow("oculto, Ver, Por tema") << area << QStringList{"Ver", "Por tema      Ctrl+T"} << "Ctrl+T" << "FrmVer"
                                           << 1 << "";
    QTest::newRow("oculto, Ver, Todos") << area << QStringList{"Ver", "Todos          Ctrl+O"} << "Ctrl+O" << "" << -1
                                        << "listing";
    QTest::newRow("oculto, Ayuda, Acerca de") << area << QStringList{"A&yuda", "Acerca de...            F5"} << "F5"
                                              << "FrmAbout" << -1 << "";
    QTest::newRow("oculto, Ayuda, Temas de ayuda") << area << QStringList{"A&yuda", "Temas de ayuda     F1"} << "F1"
                                                   << "FrmTemas" << -1 << "";
    QTest::newRow("oculto, Salir") << area << QStringList{"Salir                Ctrl+S"} << "Ctrl+S" << "" << -1
                                   << "question";
    const QString search = QStringLiteral("search picture");
    QTest::newRow("oculto1, Por Autor") << search << QStringList{"Por A&utor    Ctrl+U"} << "Ctrl+U" << "FrmVer" << 0
                                        << "";
    QTest::newRow("oculto1, Por Tema") << search << QStringList{"Por &Tema     Ctrl+T"} << "Ctrl+T" << "FrmVer" << 1
                                       << "";
    QTest::newRow("oculto1, Ver Todos") << search << QStringList{"Ver T&odos    Ctrl+O"} << "Ctrl+O" << "" << -1
                                        << "listing";
    // Prints from the results window: here, no printer to take the job.
    QTest::newRow("print, Imprimir encontrados") << "listing" << QStringList{"Imprimir encontrados"} << "" << "" << -1
                                                 << "print";
}

// Each entry, chosen where the user finds it, and then the key it names,
// pressed in the main window and in the results window, do the same.
void TestMdiInicio::entries()
{
    QFETCH(QString, where);
    QFETCH(QStringList, path);
    QFETCH(QString, keys);
    QFETCH(QString, dialog);
    QFETCH(int, portema);
    QFETCH(QString, effect);

    MdiInicio *main = showMain();
    QVERIFY(main);
    const bool onBar = where == QLatin1String("menu bar");

    // Opened where the user opens it, and followed by its captions.
    QMenu *menu = nullptr;
    QList<QAction *> actions = main->menuBar()->actions();
    if (where == QLatin1String("document area")) {
        QTest::mousePress(main->mdiArea()->viewport(), Qt::RightButton, {}, main->mdiArea()->viewport()->rect().center());
    } else if (where == QLatin1String("search picture")) {
        Frm *frm = Forms::frm();
        frm->todos();
        QTest::mouseClick(frm->imgrun, Qt::LeftButton, {}, frm->imgrun->rect().center());
    } else if (where == QLatin1String("listing")) {
        Frm *frm = Forms::frm();
        frm->todos();
        QTest::mousePress(frm->rtb1->viewport(), Qt::RightButton, {}, frm->rtb1->viewport()->rect().center());
    }
    if (!onBar) {
        menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY2(menu, qPrintable(QStringLiteral("no menu opens at the %1").arg(where)));
        actions = menu->actions();
    }
    QAction *action = nullptr;
    for (const QString &caption : path) {
        action = entryCalled(actions, caption);
        QVERIFY2(action, qPrintable(QStringLiteral("no entry \"%1\"").arg(caption)));
        if (action->menu()) {
            menu = action->menu();
            actions = menu->actions();
        }
    }
    QVERIFY(!action->menu());

    // The keys belong to the menu bar's entries, which show them as the
    // hidden menus write them, whatever Qt's Spanish catalogue calls them.
    QStyleOptionMenuItem option;
    static_cast<const MenuPeek *>(menu)->initStyleOption(&option, action);
    QCOMPARE(option.text.section(QLatin1Char('\t'), 1), onBar ? keys : QString());
    QCOMPARE(action->shortcuts(), onBar ? QList<QKeySequence>{QKeySequence(keys)} : QList<QKeySequence>{});
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Sí"));
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("Aceptar"));

    const auto expect = [&](const QString &how, const std::function<void()> &act) {
        // Start from the other mode, so that the entry has to set it, and
        // from a results window that shows something else, if there is one.
        Module1::portema = portema != 1;
        MessageBox::clearRecorded();
        Frm *before = Forms::frmLoaded();
        if (before)
            before->setCaption(QStringLiteral("antes"));
        const QString text = before ? before->rtb1->text() : QString();
        const QByteArray told = how.toUtf8();
        const char *said = told.constData();

        ModalCatcher catcher;
        act();
        if (!dialog.isEmpty())
            QTRY_VERIFY2(catcher.seen == dialog, said);
        else
            QVERIFY2(catcher.seen.isEmpty(), said);
        if (portema >= 0)
            QVERIFY2(catcher.portema == bool(portema), said);

        Frm *frm = Forms::frmLoaded();
        if (effect == QLatin1String("listing")) {
            QVERIFY2(frm && frm->windowTitle() == QLatin1String("Todos"), said);
            QVERIFY2(frm->lbl1->text().endsWith(QStringLiteral(" Frases encontradas")), said);
            QVERIFY2(!frm->rtb1->text().isEmpty(), said);
        } else {
            QVERIFY2(frm == before, said);
            QVERIFY2(!frm || (frm->windowTitle() == QLatin1String("antes") && frm->rtb1->text() == text), said);
        }
        const QList<MessageBox::Record> boxes = MessageBox::recorded();
        if (effect == QLatin1String("print"))
            QVERIFY2(boxes.size() == 1 && boxes.first().text.contains(QLatin1String("impresora")), said);
        else
            QVERIFY2(boxes.isEmpty(), said);
        FrmSalir *question = Forms::frmsalirLoaded();
        if (effect == QLatin1String("question")) {
            QVERIFY2(question && question->isVisible() && !question->isModal(), said);
            question->hide();
        } else {
            QVERIFY2(!question || !question->isVisible(), said);
        }
        QVERIFY2(main->isVisible(), said);
    };

    closePopups();
    expect(QStringLiteral("chosen in the %1").arg(where), [action] { action->trigger(); });
    if (QTest::currentTestFailed() || keys.isEmpty())
        return;
    // The keys go to the active window, as the dialog and the menu left it.
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
    expect(keys + QStringLiteral(" in the main window"), [&] { QTest::keySequence(main, QKeySequence(keys)); });
    if (QTest::currentTestFailed())
        return;
    Frm *frm = Forms::frm();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main));
    frm->rtb1->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(frm->rtb1));
    expect(keys + QStringLiteral(" in the results window"), [&] { QTest::keySequence(frm->rtb1, QKeySequence(keys)); });
}

void TestMdiInicio::closeRequestAsksAndIsRefused()
{
    MdiInicio *main = showMain();
    QVERIFY(main);
    QVERIFY(!Forms::frmsalirLoaded() || !Forms::frmsalirLoaded()->isVisible());

    QVERIFY(!main->close());
    QVERIFY(main->isVisible());
    FrmSalir *question = Forms::frmsalirLoaded();
    QVERIFY(question);
    QVERIFY(question->isVisible());
    QVERIFY(!question->isModal());

    // Asked again while the question is up: the same dialog, once.
    QVERIFY(!main->close());
    QCOMPARE(Forms::frmsalirLoaded(), question);
    QVERIFY(question->isVisible());
    int questions = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (qobject_cast<FrmSalir *>(window))
            ++questions;
    QCOMPARE(questions, 1);
    QVERIFY(main->isVisible());
    QCOMPARE(m_session->endRequests(), 0);
}

void TestMdiInicio::captionNamesTheUser()
{
    // Built early and unseen, before a name was given...
    MdiInicio *main = Forms::mdiinicio();
    QCOMPARE(main->windowTitle(), QStringLiteral("Sentalia para "));
    Module1::usuario = QStringLiteral("Ana María");
    // ...it names the user when it is first shown.
    QVERIFY(showMain());
    QCOMPARE(main->windowTitle(), QStringLiteral("Sentalia para Ana María"));
    QVERIFY(main->isMaximized());
    QVERIFY(!main->windowIcon().isNull());
    QCOMPARE(main->objectName(), QStringLiteral("mdiinicio"));
}

void TestMdiInicio::statusBar_data()
{
    // The window's size before and after, the part of the status bar the
    // pointer then rests on, the tooltip it shows and the text it writes
    // (empty: the date or the time, which clockAndDate reads). Too narrow
    // for the boxes, the welcome panel keeps the width it had.
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("keepsPanel");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("text");

    QTest::newRow("wide, welcome text")
        << QSize(1100, 650) << QSize(1200, 700) << false << "lblestado" << "Sentalia, por el equipo de Sentalia, 2004"
        << "Bienvenidos a Sentalia   **Un programa del equipo de Sentalia**";
    QTest::newRow("medium, beside the welcome text") << QSize(600, 450) << QSize(640, 480) << false << "pct3"
                                                     << "Un programa del equipo de Sentalia" << "";
    QTest::newRow("odd, date") << QSize(480, 360) << QSize(513, 377) << false << "lbldate" << "Fecha Actual" << "";
    QTest::newRow("wide, beside the date") << QSize(1100, 650) << QSize(1200, 700) << false << "pct2" << "Fecha Actual"
                                           << "";
    QTest::newRow("medium, clock") << QSize(600, 450) << QSize(640, 480) << false << "lbltime" << "Hora Actual" << "";
    QTest::newRow("odd, beside the clock") << QSize(480, 360) << QSize(513, 377) << false << "pct1" << "Hora Actual"
                                           << "";
    QTest::newRow("too narrow, clock") << QSize(400, 300) << QSize(200, 300) << true << "lbltime" << "Hora Actual"
                                       << "";
}

// At every size the status bar runs along the window's foot: the welcome
// panel from the left corner, the date, the clock and the right corner at
// the right edge, the strip under the whole panel; the panel takes what the
// window gains.
void TestMdiInicio::statusBar()
{
    QFETCH(QSize, from);
    QFETCH(QSize, size);
    QFETCH(bool, keepsPanel);
    QFETCH(QString, part);
    QFETCH(QString, tip);
    QFETCH(QString, text);

    MdiInicio *main = showMain();
    QVERIFY(main);
    main->showNormal();
    main->resize(from);
    QTRY_COMPARE(main->size(), from);
    const int panel = main->pct3->width();
    const int bar = main->Picture1->height();
    main->resize(size);
    QTRY_COMPARE(main->size(), size);

    QCOMPARE(main->Picture1->geometry(), QRect(0, main->centralWidget()->height() - bar, main->width(), bar));
    const int change = main->width() - from.width();
    QVERIFY2(qAbs(main->pct3->width() - (keepsPanel ? panel : panel + change)) <= 1,
             qPrintable(QStringLiteral("panel %1 px, was %2 px").arg(main->pct3->width()).arg(panel)));
    QCOMPARE(main->Image2->geometry(), QRect(0, 0, main->pct3->width(), main->Image2->height()));
    QCOMPARE(main->Image1->pos(), QPoint(0, 0));
    for (QWidget *box : std::initializer_list<QWidget *>{main->pct3, main->pct2, main->pct1, main->img1})
        QCOMPARE(box->y(), 0);
    QVERIFY(qAbs(main->pct3->x() - main->Image1->width()) <= 1);
    if (!keepsPanel)
        QVERIFY2(main->pct3->geometry().right() < main->pct2->x(), "the panel runs under the date");
    QVERIFY(qAbs(main->pct2->geometry().right() + 1 - main->pct1->x()) <= 1);
    QVERIFY(qAbs(main->pct1->geometry().right() + 1 - main->img1->x()) <= 1);
    QVERIFY2(main->img1->x() < main->width() && main->img1->geometry().right() + 1 >= main->width(),
             "the right corner is not at the right edge");
    QVERIFY(QRect(QPoint(), main->pct2->size()).contains(main->lbldate->geometry()));
    QVERIFY(QRect(QPoint(), main->pct1->size()).contains(main->lbltime->geometry()));

    // The pointer on the part, or on its box beside the label: the part
    // lies on top there and shows its tooltip.
    auto *widget = main->findChild<QWidget *>(part);
    QVERIFY(widget);
    QPoint at = widget->rect().center();
    const QList<QLabel *> labels =
        widget->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^lbl")), Qt::FindDirectChildrenOnly);
    if (!labels.isEmpty()) {
        const QLabel *label = labels.first();
        at = QPoint((label->geometry().right() + widget->width()) / 2, label->geometry().center().y());
        QVERIFY2(label->geometry().right() < at.x(), "no room beside the label");
    }
    QWidget *under = main->childAt(widget->mapTo(main, at));
    QVERIFY2(under == widget || widget->isAncestorOf(under), qPrintable(QStringLiteral("%1 lies over %2")
                                                                           .arg(under->objectName(), part)));
    if (!text.isEmpty())
        QCOMPARE(static_cast<QLabel *>(widget)->text(), text);
    const QPoint there = under->mapFromGlobal(widget->mapToGlobal(at));
    QHelpEvent help(QEvent::ToolTip, there, under->mapToGlobal(there));
    QApplication::sendEvent(under, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), tip);
    QToolTip::hideText();
}

void TestMdiInicio::clockAndDate()
{
    MdiInicio *main = Forms::mdiinicio();
    QCOMPARE(main->Timer1->interval(), Timings::interval(Timings::Timer::Clock));
    QVERIFY(main->Timer1->isActive());
    // The tests run under Debian's default C.UTF-8, where the date is read
    // with Spanish conventions: no English month name.
    QVERIFY2(qgetenv("LC_ALL") == "C.UTF-8", "the test needs LC_ALL=C.UTF-8, as CTest sets it");
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    const QDate dated = spanish.toDate(main->lbldate->text(), spanish.dateFormat(QLocale::ShortFormat));
    const QDate today = QDate::currentDate();
    QVERIFY2(dated.isValid(), qPrintable(main->lbldate->text()));
    // A two-digit year reads as one of the 1900s.
    QCOMPARE(dated.day(), today.day());
    QCOMPARE(dated.month(), today.month());
    QCOMPARE(dated.year() % 100, today.year() % 100);

    // A tick writes the time of day, seconds included.
    main->lbltime->setText(QStringLiteral("time"));
    const QString before = MdiInicio::timeText(QTime::currentTime());
    main->Timer1_Timer();
    const QString after = MdiInicio::timeText(QTime::currentTime());
    QVERIFY2(main->lbltime->text() == before || main->lbltime->text() == after, qPrintable(main->lbltime->text()));
    QCOMPARE(main->lbltime->size(), main->lbltime->sizeHint());

    // The timer keeps it running by itself.
    main->lbltime->setText(QStringLiteral("time"));
    QTRY_VERIFY_WITH_TIMEOUT(main->lbltime->text() != QLatin1String("time"), 2000);
    const QString shown = main->lbltime->text();
    QTRY_VERIFY_WITH_TIMEOUT(main->lbltime->text() != shown, 2500);

    if (QLocale::system().name() == QLatin1String("C")) {
        // The long time form without its time zone.
        QCOMPARE(MdiInicio::timeText(QTime(9, 5, 7)), QStringLiteral("09:05:07"));
        QCOMPARE(MdiInicio::timeText(QTime(23, 59, 59)), QStringLiteral("23:59:59"));
    }
}

void TestMdiInicio::documentAreaPresses()
{
    MdiInicio *main = showMain();
    QVERIFY(main);
    QWidget *area = main->mdiArea()->viewport();
    const QPoint at = area->rect().center();

    QTest::mousePress(area, Qt::LeftButton, {}, at);
    QTest::mouseRelease(area, Qt::LeftButton, {}, at);
    QVERIFY(!main->mnuoculto->isVisible());

    QTest::mousePress(area, Qt::RightButton, {}, at);
    QVERIFY(main->mnuoculto->isVisible());
    main->mnuoculto->hide();
    QTest::mouseRelease(area, Qt::RightButton, {}, at);

    ModalCatcher catcher;
    QTest::mouseDClick(area, Qt::LeftButton, {}, at);
    QTRY_COMPARE(catcher.seen, QStringLiteral("FrmTemas"));
    QVERIFY(!main->mnuoculto->isVisible());
}

// On a screen larger than the picture, the picture lies once at the top
// left and white fills the rest: no second logo, no words cut at an edge.
void TestMdiInicio::backgroundPictureOnceOnWhite()
{
    const QSize picture = QImage(QString::fromLatin1(Artwork::Background)).size();
    MdiInicio *main = Forms::mdiinicio();
    main->showNormal();
    main->resize(picture.width() + 300, picture.height() + 300);
    QWidget *area = main->mdiArea()->viewport();
    QTRY_VERIFY(area->width() > picture.width() + 200 && area->height() > picture.height() + 200);
    const QString fault = BackgroundPicture::shownOnceOnWhite(area);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

QTEST_MAIN(TestMdiInicio)
#include "tst_mdiinicio.moc"
