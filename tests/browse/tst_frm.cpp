// SPDX-License-Identifier: GPL-3.0-or-later
#include "AllocationFailure.h"
#include "BackgroundPicture.h"
#include "GuiSession.h"
#include "NoPrintServer.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "browse/Frm.h"
#include "browse/FrmVer.h"
#include "skin/TopicCombo.h"
#include "browse/RichTextView.h"
#include "mainwin/MdiInicio.h"
#include "skin/Artwork.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"
#include "store/FailureText.h"
#include "store/QuoteStore.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "TwipsCompare.h"
#include <QTimer>

#include <memory>

namespace {

const QChar CR(13);
const QChar LF(10);

QList<QMenu *> hiddenMenus()
{
    MdiInicio *main = Forms::mdiinicio();
    return {main->mnuoculto, main->mnuoculto1, main->mnuprint};
}

QString visibleMenu()
{
    QString name;
    for (QMenu *menu : hiddenMenus())
        if (menu->isVisible())
            name += menu->objectName();
    return name;
}

void hideMenus()
{
    for (QMenu *menu : hiddenMenus())
        menu->hide();
}

// Closes the next modal dialog as soon as it runs, noting which one it was.
struct ModalCatcher {
    QString seen;
    QTimer timer;
    ModalCatcher()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                seen = QString::fromLatin1(modal->metaObject()->className());
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

QString expectedListing(QuoteStore *store, qint64 *count)
{
    QString text;
    *count = 0;
    store->allQuotes([&](const QString &frace, const QString &autor) {
        text += frace + CR + QStringLiteral("--") + autor + QStringLiteral("--") + CR + CR;
        ++*count;
    });
    return text;
}

} // namespace

class TestFrm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void buildsMaximizedWithoutButtons();
    void backgroundPictureOnceOnWhite();
    void toolTips_data();
    void toolTips();
    void layoutRules_data();
    void layoutRules();
    void tooSmallKeepsRefusedValues();
    void counterBox_data();
    void counterBox();
    void todosListsEveryQuotation();
    void todosTwiceGivesTheSame();
    void closingAndListingAgainBuildsAFreshWindow();
    void contextMenus_data();
    void contextMenus();
    void searchPictureShowsSearchMenu();
    void printPictureHighlight();
    void newQuotePictureOpensDialogModal();
    void printFailureIsReported();
    void listingWithoutDatabaseIsReported();
    void damagedStoreIsReported_data();
    void damagedStoreIsReported();
    void outOfMemoryIsAMessage_data();
    void outOfMemoryIsAMessage();

private:
    Frm *showListing();
    std::unique_ptr<GuiSession> m_session;
    NoPrintServer m_printServer;
};

void TestFrm::initTestCase()
{
    // Printing from these tests never reaches a real printer.
    QVERIFY2(m_printServer.isValid(), qPrintable(m_printServer.error()));
}

void TestFrm::init()
{
    m_session = std::make_unique<GuiSession>();
    QVERIFY(Module1::db);
    MdiInicio *main = Forms::mdiinicio();
    main->showNormal();
    main->resize(900, 650);
    QVERIFY(QTest::qWaitForWindowExposed(main));
}

void TestFrm::cleanup()
{
    hideMenus();
    m_session.reset();
}

Frm *TestFrm::showListing()
{
    Forms::mdiinicio()->verTodos();
    Frm *frm = Forms::frmLoaded();
    if (frm)
        (void)QTest::qWaitForWindowExposed(frm);
    return frm;
}

void TestFrm::buildsMaximizedWithoutButtons()
{
    Frm *frm = Forms::frm();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QMdiArea *area = Forms::mdiinicio()->mdiArea();
    QCOMPARE(area->subWindowList().size(), 1);
    QCOMPARE(area->subWindowList().first(), frm);
    QVERIFY(frm->isVisible());
    QVERIFY(frm->isMaximized());
    const Qt::WindowFlags flags = frm->windowFlags();
    QVERIFY(!(flags & Qt::WindowSystemMenuHint));
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowCloseButtonHint));
    // Design values until a listing writes them.
    QCOMPARE(frm->windowTitle(), QStringLiteral("Por Autor"));
    QCOMPARE(frm->lbl1->text(), QStringLiteral("Frases encontradas"));
    QCOMPARE(frm->lbl2->text(), QStringLiteral("Frases encontradas"));
    QCOMPARE(frm->rtb1->text(), QString());
    QCOMPARE(frm->rtb1->palette().color(QPalette::Base), QColor(0xF5, 0xF3, 0xCF));
    QVERIFY(!frm->lbldedi->text().isEmpty());
    QCOMPARE(frm->lbldedi1->text(), frm->lbldedi->text());
    QCOMPARE(frm->lbldedi->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));
    QCOMPARE(frm->lbl1->palette().color(QPalette::WindowText), QColor(0, 0, 0xC0));
    QCOMPARE(frm->lbl2->palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
    // The listing is the one place of the window that takes the keyboard.
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(frm->rtb1));
    // Without a control box the keys that close child windows do nothing.
    QTest::keySequence(frm->rtb1, QKeySequence::Close);
    QTest::keyClick(frm->rtb1, Qt::Key_F4, Qt::ControlModifier);
    QApplication::processEvents();
    QCOMPARE(Forms::frmLoaded(), frm);
    QVERIFY(frm->isVisible());
}

// The picture lies once at the top left of the bare window, on white.
void TestFrm::backgroundPictureOnceOnWhite()
{
    const QSize picture = QImage(QString::fromLatin1(Artwork::Background)).size();
    MdiInicio *main = Forms::mdiinicio();
    main->resize(picture.width() + 300, picture.height() + 300);
    Frm *frm = showListing();
    QVERIFY(frm);
    QTRY_VERIFY(frm->client()->width() > picture.width() && frm->client()->height() > picture.height() + 40);
    const QString fault = BackgroundPicture::shownOnceOnWhite(frm->client());
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestFrm::toolTips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tip");
    QTest::newRow("imgnuevo") << "imgnuevo" << "Nueva Frase";
    QTest::newRow("imgprint") << "imgprint" << "Imprimir frases encontradas";
    QTest::newRow("imgrun") << "imgrun" << "Buscar frases";
    QTest::newRow("imgcerrar") << "imgcerrar" << "Cerrar encontrados";
}

void TestFrm::toolTips()
{
    QFETCH(QString, name);
    QFETCH(QString, tip);
    Frm *frm = Forms::frm();
    auto *picture = frm->findChild<PictureLabel *>(name);
    QVERIFY(picture);
    QCOMPARE(picture->parentWidget(), static_cast<QWidget *>(frm->pct1));
    QCOMPARE(picture->toolTip(), tip);
    QVERIFY(!picture->pixmap().isNull());
    // A screen reader meets a button named by the tooltip, and can press it.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(picture);
    QCOMPARE(iface->role(), QAccessible::Button);
    QCOMPARE(iface->text(QAccessible::Name), tip);
    QCOMPARE(iface->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
}

void TestFrm::layoutRules_data()
{
    QTest::addColumn<QSize>("mainSize");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QSize>("frmSize");

    QTest::newRow("maximized in a large frame") << QSize(1200, 820) << true << QSize();
    QTest::newRow("maximized in a small frame") << QSize(640, 480) << true << QSize();
    QTest::newRow("restored, odd size") << QSize(900, 650) << false << QSize(433, 301);
}

void TestFrm::layoutRules()
{
    QFETCH(QSize, mainSize);
    QFETCH(bool, maximized);
    QFETCH(QSize, frmSize);

    MdiInicio *main = Forms::mdiinicio();
    main->resize(mainSize);
    QTRY_COMPARE(main->size(), mainSize);
    Frm *frm = Forms::frm();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    if (maximized) {
        QTRY_COMPARE(frm->size(), main->mdiArea()->viewport()->size());
    } else {
        frm->showNormal();
        frm->resize(frmSize);
        QTRY_COMPARE(frm->size(), frmSize);
    }
    QTRY_COMPARE(frm->client()->width(), frm->contentsRect().width());

    const double W = frm->width() * 15.0;
    const double H = frm->height() * 15.0;
    const double S = frm->client()->width() * 15.0;

    NEAR_PX(frm->img1->x(), S - 645);
    NEAR_PX(frm->img2->width(), W);
    QCOMPARE(frm->img2->x(), 8);
    NEAR_PX(frm->pct1->x(), (S - 2640) / 2);
    NEAR_PX(frm->pct2->x(), (S - 2730) / 2);
    QCOMPARE(frm->pct1->y(), 0);
    NEAR_PX(frm->pct2->y(), 710);

    const double rtbWidth = W - 1500;
    const double rtbHeight = H - 2800;
    NEAR_PX(frm->rtb1->width(), rtbWidth);
    NEAR_PX(frm->rtb1->x(), (S - rtbWidth) / 2 - 100);
    NEAR_PX(frm->rtb1->height(), rtbHeight);
    NEAR_PX(frm->rtb1->y(), 1540);
    QCOMPARE(frm->rtb1->scrollBars(), 2);

    const double dediWidth = frm->lbldedi->width() * 15.0;
    NEAR_PX(frm->lbldedi->x(), (S - dediWidth) / 2);
    NEAR_PX(frm->lbldedi->y(), rtbHeight + 1540 + 100);
    NEAR_PX(frm->lbldedi1->x() - frm->lbldedi->x(), 20);
    NEAR_PX(frm->lbldedi1->y() - frm->lbldedi->y(), 20);

    NEAR_PX(frm->imgper->width(), rtbWidth + 850);
    NEAR_PX(frm->imgper->height(), rtbHeight + 1080);
    NEAR_PX(frm->imgper->x(), (S - (rtbWidth + 850)) / 2);
    NEAR_PX(frm->imgper->y(), 1540 - 300);

    // The parts that no rule moves.
    QCOMPARE(frm->Image1->pos(), QPoint(0, 0));
    QCOMPARE(frm->img1->y(), 0);
}

void TestFrm::tooSmallKeepsRefusedValues()
{
    Frm *frm = Forms::frm();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    frm->showNormal();
    frm->resize(400, 330);
    QTRY_COMPARE(frm->size(), QSize(400, 330));
    const QSize before = frm->rtb1->size();
    const double keptWidth = frm->width() * 15.0 - 1500;
    const double keptHeight = frm->height() * 15.0 - 2800;
    NEAR_PX(before.width(), keptWidth);
    NEAR_PX(before.height(), keptHeight);

    // W - 1500 and H - 2800 are both negative now.
    frm->resize(90, 150);
    QTRY_COMPARE(frm->size(), QSize(90, 150));
    QTRY_COMPARE(frm->client()->width(), frm->contentsRect().width());
    const double S = frm->client()->width() * 15.0;

    QCOMPARE(frm->rtb1->size(), before);
    // The rules after the refused ones read the kept values.
    NEAR_PX(frm->rtb1->x(), (S - keptWidth) / 2 - 100);
    NEAR_PX(frm->imgper->width(), keptWidth + 850);
    NEAR_PX(frm->imgper->height(), keptHeight + 1080);
    NEAR_PX(frm->imgper->x(), (S - (keptWidth + 850)) / 2);
    NEAR_PX(frm->lbldedi->y(), keptHeight + 1540 + 100);
    NEAR_PX(frm->img1->x(), S - 645);
    NEAR_PX(frm->img2->width(), frm->width() * 15.0);

    // Growing again applies the rules in full.
    frm->resize(500, 400);
    QTRY_COMPARE(frm->size(), QSize(500, 400));
    NEAR_PX(frm->rtb1->width(), 500 * 15.0 - 1500);
    NEAR_PX(frm->rtb1->height(), 400 * 15.0 - 2800);
}

void TestFrm::counterBox_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("longer counter")
        << QStringList{QStringLiteral("12 Frases encontradas con el tema AMOR Y AMISTAD DE LOS ANTIGUOS")};
    QTest::newRow("short counter") << QStringList{QStringLiteral("0 Frases encontradas")};
    QTest::newRow("long, then short again")
        << QStringList{QStringLiteral("7 Frases encontradas con la inicial M, y muchas más palabras"),
                       QStringLiteral("1 Frases encontradas")};
}

void TestFrm::counterBox()
{
    QFETCH(QStringList, lines);
    Frm *frm = Forms::frm();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    QTRY_VERIFY(frm->client()->width() > 300);

    for (const QString &line : lines) {
        frm->setCounterLine(line);
        QCOMPARE(frm->lbl1->text(), line);
        QCOMPARE(frm->lbl2->text(), line);

        // The counter sizes itself to its text.
        QCOMPARE(frm->lbl1->size(), frm->lbl1->sizeHint());
        const double lbl = frm->lbl1->width() * 15.0;
        const double box = lbl + 300;
        const double S = frm->client()->width() * 15.0;
        NEAR_PX(frm->pct2->width(), box);
        NEAR_PX(frm->pct2->x(), (S - box) / 2);
        NEAR_PX(frm->pct2->y(), 710);
        NEAR_PX(frm->lbl1->x(), (box - lbl) / 2);
        // The shadow lies 30 right of and 30 below the counter.
        NEAR_PX(frm->lbl2->x() - frm->lbl1->x(), 30);
        NEAR_PX(frm->lbl2->y() - frm->lbl1->y(), 30);
        // The right end piece is flush with the box, the middle 300 narrower.
        QCOMPARE(frm->img1a->x() + frm->img1a->width(), frm->pct2->width());
        NEAR_PX(frm->img2a->width(), box - 300);
        NEAR_PX(frm->Image2->x(), 0);
    }
}

void TestFrm::todosListsEveryQuotation()
{
    // A quotation with a carriage return of its own, as an import may bring.
    QVERIFY(Module1::db->insert(QStringLiteral("Anónimo"), QStringLiteral("Una línea") + CR + QStringLiteral("y otra."),
                                QStringLiteral("VIDA"), false));
    qint64 count = 0;
    const QString expected = expectedListing(Module1::db.get(), &count);
    QVERIFY(count > 0);

    Frm *frm = showListing();
    QVERIFY(frm);
    QVERIFY(frm->isVisible());
    QCOMPARE(frm->rtb1->text(), expected);
    QCOMPARE(frm->lbl1->text(), QString::number(count) + QStringLiteral(" Frases encontradas"));
    QCOMPARE(frm->lbl2->text(), frm->lbl1->text());
    QCOMPARE(frm->windowTitle(), QStringLiteral("Todos"));
    QCOMPARE(frm->encontrados(), count);

    // The record block, a quotation without author, one with a line break.
    const QString text = frm->rtb1->text();
    QVERIFY(text.startsWith(QStringLiteral("La suerte es lo que sucede cuando la preparación se encuentra con la "
                                           "oportunidad.") +
                            CR + QStringLiteral("--Séneca--") + CR + CR));
    QVERIFY(text.contains(CR + QStringLiteral("Frase sin autor.") + CR + QStringLiteral("----") + CR + CR));
    QVERIFY(text.contains(QStringLiteral("Texto con\nsalto de línea.") + CR + QStringLiteral("--Yeats--") + CR));
    QVERIFY(text.endsWith(QStringLiteral("--") + CR + CR));
    QVERIFY(!text.contains(QStringLiteral("\r\n")));
    QVERIFY(text.contains(QStringLiteral("Una línea") + CR + QStringLiteral("y otra.") + CR + QStringLiteral("--Anónimo--")));
    QVERIFY(MessageBox::recorded().isEmpty());

    // A screen reader reads the same listing, each CR as the LF it takes
    // for a line end, and the counter once.
    QAccessibleInterface *counter = QAccessible::queryAccessibleInterface(frm->pct2);
    QVERIFY(counter->indexOfChild(QAccessible::queryAccessibleInterface(frm->lbl1)) >= 0);
    QCOMPARE(counter->indexOfChild(QAccessible::queryAccessibleInterface(frm->lbl2)), -1);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(frm->rtb1);
    QVERIFY(iface && iface->textInterface());
    QCOMPARE(iface->textInterface()->characterCount(), expected.size());
    QCOMPARE(iface->textInterface()->text(0, int(expected.size())), QString(expected).replace(CR, LF));
}

void TestFrm::todosTwiceGivesTheSame()
{
    Frm *frm = showListing();
    QVERIFY(frm);
    const QString first = frm->rtb1->text();
    const QString counter = frm->lbl1->text();
    const QRect box = frm->pct2->geometry();
    const QPoint shadow = frm->lbl2->pos() - frm->lbl1->pos();

    Forms::mdiinicio()->verTodos();
    QCOMPARE(Forms::frmLoaded(), frm);
    QCOMPARE(frm->rtb1->text(), first);
    QCOMPARE(frm->lbl1->text(), counter);
    QCOMPARE(frm->pct2->geometry(), box);
    QCOMPARE(frm->lbl2->pos() - frm->lbl1->pos(), shadow);
    QCOMPARE(Forms::mdiinicio()->mdiArea()->subWindowList().size(), 1);
}

void TestFrm::closingAndListingAgainBuildsAFreshWindow()
{
    QPointer<Frm> old = showListing();
    QVERIFY(old);
    old->setProperty("marked", true);
    QTest::mouseClick(old->imgcerrar, Qt::LeftButton, {}, old->imgcerrar->rect().center());
    QTRY_VERIFY(!old);
    QVERIFY(!Forms::frmLoaded());
    QVERIFY(Forms::mdiinicio()->mdiArea()->subWindowList().isEmpty());

    // Built afresh from the design...
    Frm *fresh = Forms::frm();
    QVERIFY(!fresh->property("marked").isValid());
    QCOMPARE(fresh->windowTitle(), QStringLiteral("Por Autor"));
    QCOMPARE(fresh->lbl1->text(), QStringLiteral("Frases encontradas"));
    QCOMPARE(fresh->rtb1->text(), QString());
    QVERIFY(fresh->isMaximized());

    // ...and then filled.
    Forms::mdiinicio()->verTodos();
    QCOMPARE(Forms::frmLoaded(), fresh);
    QCOMPARE(fresh->windowTitle(), QStringLiteral("Todos"));
    QVERIFY(fresh->lbl1->text().endsWith(QStringLiteral(" Frases encontradas")));
    QVERIFY(!fresh->rtb1->text().isEmpty());
    QCOMPARE(Forms::mdiinicio()->mdiArea()->subWindowList().size(), 1);
}

void TestFrm::contextMenus_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("menu");

    QTest::newRow("text box, right") << "rtb1" << int(Qt::RightButton) << "mnuprint";
    QTest::newRow("text box, left") << "rtb1" << int(Qt::LeftButton) << "";
    QTest::newRow("background, right") << "frmclient" << int(Qt::RightButton) << "mnuoculto";
    QTest::newRow("background, left") << "frmclient" << int(Qt::LeftButton) << "";
    QTest::newRow("background, middle") << "frmclient" << int(Qt::MiddleButton) << "";
    QTest::newRow("counter, right") << "lbl1" << int(Qt::RightButton) << "mnuoculto";
    QTest::newRow("counter, left") << "lbl1" << int(Qt::LeftButton) << "";
    QTest::newRow("counter shadow") << "lbl2" << int(Qt::RightButton) << "";
    QTest::newRow("dedication") << "lbldedi" << int(Qt::RightButton) << "";
    QTest::newRow("dedication shadow") << "lbldedi1" << int(Qt::RightButton) << "";
    QTest::newRow("parchment") << "imgper" << int(Qt::RightButton) << "";
    QTest::newRow("banner middle") << "img2" << int(Qt::RightButton) << "";
    QTest::newRow("banner end") << "Image1" << int(Qt::RightButton) << "";
    QTest::newRow("counter frame") << "Image2" << int(Qt::RightButton) << "";
    QTest::newRow("counter frame middle") << "img2a" << int(Qt::RightButton) << "";
    QTest::newRow("counter box") << "pct2" << int(Qt::RightButton) << "";
    QTest::newRow("tool bar") << "pct1" << int(Qt::RightButton) << "";
    QTest::newRow("search picture, right") << "imgrun" << int(Qt::RightButton) << "";
}

void TestFrm::contextMenus()
{
    QFETCH(QString, target);
    QFETCH(int, button);
    QFETCH(QString, menu);

    Frm *frm = showListing();
    QVERIFY(frm);
    QWidget *widget = target == QLatin1String("frmclient") ? frm->client() : frm->findChild<QWidget *>(target);
    QVERIFY(widget);
    QPoint at = widget->rect().center();
    if (widget == frm->client()) {
        // A spot of bare window, beside the parchment near the bottom.
        at = QPoint(2, widget->height() - 4);
        QVERIFY(!widget->childAt(at));
    }
    if (widget == frm->rtb1)
        widget = frm->rtb1->viewport();

    frm->rtb1->selectAll();
    QTest::mousePress(widget, Qt::MouseButton(button), {}, at);
    QCOMPARE(visibleMenu(), menu);
    hideMenus();
    QTest::mouseRelease(widget, Qt::MouseButton(button), {}, at);
    QCOMPARE(visibleMenu(), QString());
    if (menu == QLatin1String("mnuprint"))
        QVERIFY(frm->rtb1->hasSelection());
}

void TestFrm::searchPictureShowsSearchMenu()
{
    Frm *frm = showListing();
    QVERIFY(frm);
    QTest::mouseClick(frm->imgrun, Qt::LeftButton, {}, frm->imgrun->rect().center());
    QCOMPARE(visibleMenu(), QStringLiteral("mnuoculto1"));
    // Pressed through a screen reader, the same menu.
    hideMenus();
    QAccessible::queryAccessibleInterface(frm->imgrun)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(visibleMenu(), QStringLiteral("mnuoculto1"));
}

void TestFrm::printPictureHighlight()
{
    Frm *frm = Forms::frm();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    const QImage normal = frm->imgprint2->pixmap().toImage();
    const QImage hot = frm->imgprint1->pixmap().toImage();
    QVERIFY(!normal.isNull());
    QVERIFY(normal != hot);
    QVERIFY(frm->imgprint1->isHidden());
    QVERIFY(frm->imgprint2->isHidden());
    QCOMPARE(frm->imgprint->pixmap().toImage(), normal);

    QTest::mouseMove(frm->imgprint, frm->imgprint->rect().center());
    QTRY_COMPARE(frm->imgprint->pixmap().toImage(), hot);
    // Moving on over another tool picture changes nothing.
    QTest::mouseMove(frm->imgrun, frm->imgrun->rect().center());
    QCOMPARE(frm->imgprint->pixmap().toImage(), hot);
    // The bare tool bar restores it.
    const QPoint bare(frm->imgprint->geometry().right() + 3, 2);
    QVERIFY(!frm->pct1->childAt(bare));
    QTest::mouseMove(frm->pct1, bare);
    QTRY_COMPARE(frm->imgprint->pixmap().toImage(), normal);
}

void TestFrm::newQuotePictureOpensDialogModal()
{
    Frm *frm = showListing();
    QVERIFY(frm);
    const QString before = frm->rtb1->text();
    ModalCatcher catcher;
    QTest::mouseClick(frm->imgnuevo, Qt::LeftButton, {}, frm->imgnuevo->rect().center());
    QTRY_COMPARE(catcher.seen, QStringLiteral("FrmNuevo"));
    QCOMPARE(frm->rtb1->text(), before);

    ModalCatcher pressed;
    QAccessible::queryAccessibleInterface(frm->imgnuevo)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    QTRY_COMPARE(pressed.seen, QStringLiteral("FrmNuevo"));
    QCOMPARE(frm->rtb1->text(), before);
}

void TestFrm::printFailureIsReported()
{
    Frm *frm = showListing();
    QVERIFY(frm);
    QTest::mouseClick(frm->imgprint, Qt::LeftButton, {}, frm->imgprint->rect().center());
    const QList<MessageBox::Record> boxes = MessageBox::recorded();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(boxes.first().title, QStringLiteral("Sentalia"));
    QVERIFY2(boxes.first().text.startsWith(QStringLiteral("No hay ninguna impresora predeterminada")),
             qPrintable(boxes.first().text));
    QVERIFY(Forms::frmLoaded());
}

void TestFrm::listingWithoutDatabaseIsReported()
{
    Frm *frm = showListing();
    QVERIFY(frm);
    const QString shown = frm->rtb1->text();
    const QString counter = frm->lbl1->text();
    Module1::db.reset();

    Forms::mdiinicio()->verTodos();
    const QList<MessageBox::Record> boxes = MessageBox::recorded();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(boxes.first().title, QStringLiteral("Sentalia"));
    QVERIFY(boxes.first().text.startsWith(QStringLiteral("No se pudieron leer las frases")));
    // What was shown stays.
    QCOMPARE(Forms::frmLoaded(), frm);
    QCOMPARE(frm->rtb1->text(), shown);
    QCOMPARE(frm->lbl1->text(), counter);
}

// A short listing on show stays when the next cannot be read; a long one
// has given way before the read (two would double the memory), and the
// window then says it shows nothing.
void TestFrm::damagedStoreIsReported_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("counter");
    QTest::newRow("short listing kept") << QStringLiteral("antes") << QStringLiteral("antes")
                                        << QStringLiteral("Frases encontradas");
    QTest::newRow("long listing gave way") << QStringLiteral("antes\r").repeated(900000) << QString()
                                           << QStringLiteral("0 Frases encontradas");
}

void TestFrm::damagedStoreIsReported()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, counter);
    // A collection larger than the engine's page cache, so that the scan
    // has to read the damaged pages from the file.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    {
        QuoteStore::OpenResult created = QuoteStore::create(path);
        QVERIFY2(created, qPrintable(created.reason));
        QVERIFY(created.store->begin());
        const QString filler = QStringLiteral("Una frase bastante larga para llenar muchas páginas. ").repeated(9);
        for (int i = 0; i < 6000; ++i) {
            QuoteRecord record;
            record.autor = QStringLiteral("Autor %1").arg(i);
            record.frace = filler + QString::number(i);
            record.tema = QStringLiteral("VIDA");
            QVERIFY(created.store->insertRecord(record));
        }
        QVERIFY(created.store->commit());
    }
    QuoteStore::OpenResult opened = QuoteStore::open(path);
    QVERIFY2(opened, qPrintable(opened.reason));
    Module1::db = std::move(opened.store);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.size() > 2 * 1024 * 1024);
    QVERIFY(file.seek(file.size() / 2));
    file.write(QByteArray(256 * 1024, '\x5A'));
    file.close();

    Frm *frm = Forms::frm();
    frm->rtb1->setText(before);
    // The engine's own words go to standard error only.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Sentalia: .*frase\\.mdb - .+")));
    Forms::mdiinicio()->verTodos();
    const QList<MessageBox::Record> boxes = MessageBox::recorded();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, MessageBox::Icon::Critical);
    // A Spanish sentence for the damage, not the engine's English: the
    // file was written over while open, so another program damaged it.
    QCOMPARE(boxes.first().text, QStringLiteral("No se pudieron leer las frases de la base de datos.\n\n")
                                     + FailureText::sentence(QuoteStore::Failure::ChangedByOther, path));
    QCOMPARE(frm->rtb1->text(), after);
    QCOMPARE(frm->lbl1->text(), counter);

    Module1::db.reset();
}

// A listing or a search that runs out of memory on the way: a message, the
// results window as it was, and the program goes on.
void TestFrm::outOfMemoryIsAMessage_data()
{
    QTest::addColumn<bool>("search");
    QTest::addColumn<QString>("words");
    QTest::newRow("every quotation") << false << "No hay memoria suficiente para mostrar todas las frases";
    QTest::newRow("search by topic") << true << "No hay memoria suficiente para buscar las frases";
}

void TestFrm::outOfMemoryIsAMessage()
{
    QFETCH(bool, search);
    QFETCH(QString, words);
    GuiSession session;
    // A listing well past the largest request allowed below.
    QVERIFY(Module1::db->begin());
    for (int i = 0; i < 1500; ++i) {
        QuoteRecord record;
        record.autor = QStringLiteral("Autor %1").arg(i);
        record.frace = QStringLiteral("Una frase de relleno para una lista que no cabe en la memoria, número %1.").arg(i);
        record.tema = QStringLiteral("VIDA");
        QVERIFY(Module1::db->insertRecord(record));
    }
    QVERIFY(Module1::db->commit());
    Frm *frm = Forms::frm();
    frm->rtb1->setText(QStringLiteral("antes"));
    FrmVer *dialog = nullptr;
    if (search) {
        Module1::portema = true;
        dialog = Forms::frmver();
        dialog->cbo1->setEditText(QStringLiteral("VIDA"));
    }

    AllocationFailure::failAbove(64 * 1024);
    if (search)
        dialog->OKButton_Click();
    else
        Forms::mdiinicio()->verTodos();
    AllocationFailure::failAbove(0);

    const QList<MessageBox::Record> boxes = MessageBox::recorded();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, MessageBox::Icon::Critical);
    QVERIFY2(boxes.first().text.startsWith(words), qPrintable(boxes.first().text));
    QCOMPARE(frm->rtb1->text(), QStringLiteral("antes"));
    // The search dialog stays for another try.
    if (search)
        QCOMPARE(Forms::frmverLoaded(), dialog);

    // With the memory back, the same request succeeds.
    MessageBox::clearRecorded();
    if (search)
        dialog->OKButton_Click();
    else
        Forms::mdiinicio()->verTodos();
    QVERIFY(MessageBox::recorded().isEmpty());
    QVERIFY(frm->rtb1->text().contains(QStringLiteral("número 1499.")));
}

QTEST_MAIN(TestFrm)
#include "tst_frm.moc"
