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
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionMenuItem>
#include <QTest>

#include "TwipsCompare.h"
#include <QTime>
#include <QTimer>

#include <memory>

namespace {

// What a menu draws for an entry, the key names included.
struct MenuPeek : QMenu {
    using QMenu::initStyleOption;
};

QStringList names(const QList<QAction *> &actions)
{
    QStringList list;
    for (QAction *action : actions)
        list << action->objectName();
    return list;
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

    void menuBar_data();
    void menuBar();
    void menuOrder();
    void hiddenMenus_data();
    void hiddenMenus();
    void entriesRunTheirActions_data();
    void entriesRunTheirActions();
    void shortcuts_data();
    void shortcuts();
    void lastChoiceSetsTheSearchMode();
    void closeRequestAsksAndIsRefused();
    void captionNamesTheUser();
    void statusBarLayout_data();
    void statusBarLayout();
    void narrowWindowKeepsStatusPanel();
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

void TestMdiInicio::menuBar_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");

    // The key names the menu draws beside the caption are those the hidden
    // menus write, whatever Qt's Spanish catalogue calls the keys.
    QTest::addColumn<QString>("painted");

    QTest::newRow("mnunuevo") << "mnuarchivo" << "mnunuevo" << "Nueva Frase" << QKeySequence(Qt::CTRL | Qt::Key_N)
                              << "Ctrl+N";
    QTest::newRow("mnusalir") << "mnuarchivo" << "mnusalir" << "Salir" << QKeySequence(Qt::CTRL | Qt::Key_S)
                              << "Ctrl+S";
    QTest::newRow("mnuautor") << "mnuver" << "mnuautor" << "Por A&utor" << QKeySequence(Qt::CTRL | Qt::Key_U)
                              << "Ctrl+U";
    QTest::newRow("mnutitulo") << "mnuver" << "mnutitulo" << "Por &Tema" << QKeySequence(Qt::CTRL | Qt::Key_T)
                               << "Ctrl+T";
    QTest::newRow("mnutodos") << "mnuver" << "mnutodos" << "Ver T&odos" << QKeySequence(Qt::CTRL | Qt::Key_O)
                              << "Ctrl+O";
    QTest::newRow("mnuacerca") << "mnuayuda" << "mnuacerca" << "Acerca de..." << QKeySequence(Qt::Key_F5) << "F5";
    QTest::newRow("mnutemas") << "mnuayuda" << "mnutemas" << "Temas de ayuda" << QKeySequence(Qt::Key_F1) << "F1";
}

void TestMdiInicio::menuBar()
{
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);

    MdiInicio *main = Forms::mdiinicio();
    auto *owner = main->findChild<QMenu *>(menu);
    QVERIFY(owner);
    QAction *action = nullptr;
    for (QAction *candidate : owner->actions())
        if (candidate->objectName() == entry)
            action = candidate;
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->shortcuts().size(), 1);

    QFETCH(QString, painted);
    QStyleOptionMenuItem option;
    static_cast<const MenuPeek *>(owner)->initStyleOption(&option, action);
    QCOMPARE(option.text.section(QLatin1Char('\t'), 1), painted);
    // Qt's own texts stay Spanish.
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Sí"));
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("Aceptar"));
}

void TestMdiInicio::menuOrder()
{
    MdiInicio *main = Forms::mdiinicio();
    QStringList titles;
    for (QAction *action : main->menuBar()->actions())
        titles << action->text();
    QCOMPARE(titles, (QStringList{"&Archivo", "&Ver", "A&yuda"}));
    QCOMPARE(names(main->mnuarchivo->actions()), (QStringList{"mnunuevo", "mnu1", "mnusalir"}));
    QCOMPARE(names(main->mnuver->actions()), (QStringList{"mnuautor", "mnutitulo", "mnu", "mnutodos"}));
    QCOMPARE(names(main->mnuayuda->actions()), (QStringList{"mnuacerca", "mnutemas"}));
    QVERIFY(main->mnu1->isSeparator());
    QVERIFY(main->mnu->isSeparator());

    QCOMPARE(names(main->mnuoculto->actions()),
             (QStringList{"mnunueva1", "mnu2", "mnuver1", "mnu3", "mnuayuda1", "mnuu", "mnusalir1"}));
    QCOMPARE(names(main->mnuver1->actions()), (QStringList{"mnuautor1", "mnutema1", "mnutodos1"}));
    QCOMPARE(names(main->mnuayuda1->actions()), (QStringList{"mnuacerca1", "mnutemas1"}));
    QCOMPARE(names(main->mnuprint->actions()), (QStringList{"mnuimprimir1"}));
    QCOMPARE(names(main->mnuoculto1->actions()), (QStringList{"mnuautor2", "mnutema2", "mnu4", "mnutodos2"}));
    QCOMPARE(main->mnuoculto->title(), QStringLiteral("oculto"));
    QCOMPARE(main->mnuoculto1->title(), QStringLiteral("oculto1"));
    QCOMPARE(main->mnuprint->title(), QStringLiteral("print"));
    QCOMPARE(main->mnuver1->title(), QStringLiteral("Ver"));
    QCOMPARE(main->mnuayuda1->title(), QStringLiteral("A&yuda"));
}

void TestMdiInicio::hiddenMenus_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("caption");

    QTest::newRow("mnunueva1") << "mnunueva1" << "&Nueva Frase    Ctrl+N";
    QTest::newRow("mnuautor1") << "mnuautor1" << "Por autor     Ctrl+U";
    QTest::newRow("mnutema1") << "mnutema1" << "Por tema      Ctrl+T";
    QTest::newRow("mnutodos1") << "mnutodos1" << "Todos          Ctrl+O";
    QTest::newRow("mnuacerca1") << "mnuacerca1" << "Acerca de...            F5";
    QTest::newRow("mnutemas1") << "mnutemas1" << "Temas de ayuda     F1";
    QTest::newRow("mnusalir1") << "mnusalir1" << "Salir                Ctrl+S";
    QTest::newRow("mnuimprimir1") << "mnuimprimir1" << "Imprimir encontrados";
    QTest::newRow("mnuautor2") << "mnuautor2" << "Por A&utor    Ctrl+U";
    QTest::newRow("mnutema2") << "mnutema2" << "Por &Tema     Ctrl+T";
    QTest::newRow("mnutodos2") << "mnutodos2" << "Ver T&odos    Ctrl+O";
}

void TestMdiInicio::hiddenMenus()
{
    QFETCH(QString, entry);
    QFETCH(QString, caption);
    MdiInicio *main = Forms::mdiinicio();
    auto *action = main->findChild<QAction *>(entry);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    // The key names are only words in the caption.
    QVERIFY(action->shortcut().isEmpty());
    for (QAction *top : main->menuBar()->actions())
        QVERIFY(!top->menu()->actions().contains(action));
}

void TestMdiInicio::entriesRunTheirActions_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("dialog"); // the modal dialog opened, if any
    QTest::addColumn<int>("portema");    // -1: not set by the entry
    QTest::addColumn<QString>("effect");

    for (const char *name : {"mnuautor", "mnuautor1", "mnuautor2"})
        QTest::newRow(name) << name << "FrmVer" << 0 << "";
    for (const char *name : {"mnutitulo", "mnutema1", "mnutema2"})
        QTest::newRow(name) << name << "FrmVer" << 1 << "";
    for (const char *name : {"mnunuevo", "mnunueva1"})
        QTest::newRow(name) << name << "FrmNuevo" << -1 << "";
    for (const char *name : {"mnuacerca", "mnuacerca1"})
        QTest::newRow(name) << name << "FrmAbout" << -1 << "";
    for (const char *name : {"mnutemas", "mnutemas1"})
        QTest::newRow(name) << name << "FrmTemas" << -1 << "";
    for (const char *name : {"mnutodos", "mnutodos1", "mnutodos2"})
        QTest::newRow(name) << name << "" << -1 << "listing";
    for (const char *name : {"mnusalir", "mnusalir1"})
        QTest::newRow(name) << name << "" << -1 << "question";
    // Prints from the results window: here, no printer to take the job.
    QTest::newRow("mnuimprimir1") << "mnuimprimir1" << "" << -1 << "print";
}

void TestMdiInicio::entriesRunTheirActions()
{
    QFETCH(QString, entry);
    QFETCH(QString, dialog);
    QFETCH(int, portema);
    QFETCH(QString, effect);

    MdiInicio *main = showMain();
    QVERIFY(main);
    auto *action = main->findChild<QAction *>(entry);
    QVERIFY(action);
    // Start from the other mode, so that the entry has to set it.
    Module1::portema = portema != 1;

    if (effect == QLatin1String("print"))
        Forms::frm()->todos();

    ModalCatcher catcher;
    action->trigger();
    if (!dialog.isEmpty())
        QTRY_COMPARE(catcher.seen, dialog);
    else
        QCOMPARE(catcher.seen, QString());
    if (portema >= 0)
        QCOMPARE(catcher.portema, bool(portema));

    if (effect == QLatin1String("listing")) {
        Frm *frm = Forms::frmLoaded();
        QVERIFY(frm);
        QCOMPARE(frm->windowTitle(), QStringLiteral("Todos"));
        QVERIFY(frm->lbl1->text().endsWith(QStringLiteral(" Frases encontradas")));
        QVERIFY(!frm->rtb1->text().isEmpty());
    } else if (effect == QLatin1String("print")) {
        QCOMPARE(MessageBox::recorded().size(), 1);
        QVERIFY(MessageBox::recorded().first().text.contains(QLatin1String("impresora")));
    } else {
        QVERIFY(!Forms::frmLoaded());
    }
    if (effect == QLatin1String("question")) {
        QVERIFY(Forms::frmsalirLoaded());
        QVERIFY(Forms::frmsalirLoaded()->isVisible());
        QVERIFY(!Forms::frmsalirLoaded()->isModal());
    }
    QVERIFY(main->isVisible());
}

void TestMdiInicio::shortcuts_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("fromResults"); // pressed in the results window
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("portema");
    QTest::addColumn<QString>("effect");

    for (bool results : {false, true}) {
        const QByteArray where = results ? " in the results window" : " in the main window";
        QTest::newRow("Ctrl+U" + where) << QKeySequence(Qt::CTRL | Qt::Key_U) << results << "FrmVer" << 0 << "";
        QTest::newRow("Ctrl+T" + where) << QKeySequence(Qt::CTRL | Qt::Key_T) << results << "FrmVer" << 1 << "";
        QTest::newRow("Ctrl+N" + where) << QKeySequence(Qt::CTRL | Qt::Key_N) << results << "FrmNuevo" << -1 << "";
        QTest::newRow("F5" + where) << QKeySequence(Qt::Key_F5) << results << "FrmAbout" << -1 << "";
        QTest::newRow("F1" + where) << QKeySequence(Qt::Key_F1) << results << "FrmTemas" << -1 << "";
        QTest::newRow("Ctrl+O" + where) << QKeySequence(Qt::CTRL | Qt::Key_O) << results << "" << -1 << "listing";
        QTest::newRow("Ctrl+S" + where) << QKeySequence(Qt::CTRL | Qt::Key_S) << results << "" << -1 << "question";
    }
}

void TestMdiInicio::shortcuts()
{
    QFETCH(QKeySequence, keys);
    QFETCH(bool, fromResults);
    QFETCH(QString, dialog);
    QFETCH(int, portema);
    QFETCH(QString, effect);

    MdiInicio *main = showMain();
    QVERIFY(main);
    QWidget *target = main;
    if (fromResults) {
        Frm *frm = Forms::frm();
        QVERIFY(QTest::qWaitForWindowExposed(frm));
        frm->rtb1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(frm->rtb1));
        target = frm->rtb1;
    }
    Module1::portema = portema != 1;
    const QString before = fromResults ? Forms::frm()->rtb1->text() : QString();

    ModalCatcher catcher;
    QTest::keySequence(target, keys);
    if (!dialog.isEmpty()) {
        QTRY_COMPARE(catcher.seen, dialog);
        if (portema >= 0)
            QCOMPARE(catcher.portema, bool(portema));
    } else {
        QCOMPARE(catcher.seen, QString());
    }
    if (effect == QLatin1String("listing")) {
        QVERIFY(Forms::frmLoaded());
        QCOMPARE(Forms::frmLoaded()->windowTitle(), QStringLiteral("Todos"));
    } else if (fromResults) {
        QCOMPARE(Forms::frmLoaded()->rtb1->text(), before);
    }
    if (effect == QLatin1String("question"))
        QVERIFY(Forms::frmsalirLoaded() && Forms::frmsalirLoaded()->isVisible());
    else
        QVERIFY(!Forms::frmsalirLoaded() || !Forms::frmsalirLoaded()->isVisible());
}

void TestMdiInicio::lastChoiceSetsTheSearchMode()
{
    MdiInicio *main = showMain();
    QVERIFY(main);
    const QList<QPair<QAction *, bool>> choices{
        {main->mnuautor, false}, {main->mnutitulo, true}, {main->mnutema2, true},
        {main->mnuautor1, false}, {main->mnuautor2, false}, {main->mnutema1, true}};
    for (const auto &[action, topic] : choices) {
        ModalCatcher catcher;
        action->trigger();
        QTRY_COMPARE(catcher.seen, QStringLiteral("FrmVer"));
        QCOMPARE(catcher.portema, topic);
    }
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

void TestMdiInicio::statusBarLayout_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("wide") << QSize(1200, 700);
    QTest::newRow("medium") << QSize(640, 480);
    QTest::newRow("odd") << QSize(513, 377);
}

void TestMdiInicio::statusBarLayout()
{
    QFETCH(QSize, size);
    MdiInicio *main = Forms::mdiinicio();
    main->showNormal();
    main->resize(size);
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTRY_COMPARE(main->size(), size);

    const double W = main->frameGeometry().width() * 15.0;
    const double S = main->width() * 15.0;
    QCOMPARE(main->Picture1->width(), main->width());
    NEAR_PX(main->Picture1->height(), 315);
    QCOMPARE(main->Picture1->y() + main->Picture1->height(), main->centralWidget()->height());

    NEAR_PX(main->img1->x(), S - 240 + 50);
    NEAR_PX(main->pct1->x(), S - 1455 - 240 + 50);
    NEAR_PX(main->pct2->x(), S - 1455 - 240 + 50 - 1455);
    NEAR_PX(main->pct3->width(), W - 1455 - 1455 - 2 * 240 - 100);
    QCOMPARE(main->Image2->width(), main->pct3->width());
    // What the rules leave alone.
    NEAR_PX(main->pct3->x(), 240);
    QCOMPARE(main->Image1->pos(), QPoint(0, 0));
    QCOMPARE(main->pct1->y(), 0);
    QCOMPARE(main->pct2->y(), 0);
}

void TestMdiInicio::narrowWindowKeepsStatusPanel()
{
    MdiInicio *main = Forms::mdiinicio();
    main->showNormal();
    main->resize(400, 300);
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTRY_COMPARE(main->size(), QSize(400, 300));
    const int panel = main->pct3->width();
    NEAR_PX(panel, main->frameGeometry().width() * 15.0 - 3490);

    // 3490 twips and more are taken by the boxes: the panel's width would
    // be negative, so it keeps the one it had, while the boxes follow.
    main->resize(200, 300);
    QTRY_COMPARE(main->width(), 200);
    const double S = main->width() * 15.0;
    QCOMPARE(main->pct3->width(), panel);
    QCOMPARE(main->Image2->width(), panel);
    NEAR_PX(main->img1->x(), S - 240 + 50);
    NEAR_PX(main->pct1->x(), S - 1455 - 240 + 50);
    NEAR_PX(main->pct2->x(), S - 1455 - 240 + 50 - 1455);
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
