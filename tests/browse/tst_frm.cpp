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
    void layout_data();
    void layout();
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
    static void checkLayout(Frm *frm, bool fits);
    static void checkCounter(Frm *frm, const QString &line);
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

void TestFrm::layout_data()
{
    // The window's size first and then, with the counter lines set, the
    // size it is changed to: both the main window's (maximized rows) or the
    // results window's own (restored rows). A row that ends too small for
    // the listing says which of its sides the listing keeps from before.
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QSize>("from");
    QTest::addColumn<QSize>("to");
    QTest::addColumn<QStringList>("counter");
    QTest::addColumn<bool>("keepsWidth");
    QTest::addColumn<bool>("keepsHeight");

    QTest::newRow("maximized in a large frame")
        << true << QSize(1100, 760) << QSize(1200, 820)
        << QStringList{QStringLiteral("12 Frases encontradas con el tema AMOR Y AMISTAD DE LOS ANTIGUOS")} << false
        << false;
    QTest::newRow("maximized in a small frame")
        << true << QSize(640, 480) << QSize(700, 530) << QStringList{QStringLiteral("0 Frases encontradas")} << false
        << false;
    QTest::newRow("restored, odd sizes, long counter then short")
        << false << QSize(433, 301) << QSize(471, 333)
        << QStringList{QStringLiteral("7 Frases encontradas con la inicial M, y muchas más palabras"),
                       QStringLiteral("1 Frases encontradas")}
        << false << false;
    QTest::newRow("too small on both sides") << false << QSize(480, 340) << QSize(90, 150)
                                             << QStringList{QStringLiteral("0 Frases encontradas")} << true << true;
    QTest::newRow("too narrow") << false << QSize(480, 340) << QSize(90, 340)
                                << QStringList{QStringLiteral("0 Frases encontradas")} << true << false;
    QTest::newRow("too short") << false << QSize(480, 340) << QSize(480, 170)
                               << QStringList{QStringLiteral("0 Frases encontradas")} << false << true;
}

void TestFrm::layout()
{
    QFETCH(bool, maximized);
    QFETCH(QSize, from);
    QFETCH(QSize, to);
    QFETCH(QStringList, counter);
    QFETCH(bool, keepsWidth);
    QFETCH(bool, keepsHeight);

    MdiInicio *main = Forms::mdiinicio();
    Frm *frm = Forms::frm();
    QVERIFY(QTest::qWaitForWindowExposed(frm));
    const auto sizeTo = [&](const QSize &size) {
        if (maximized) {
            main->resize(size);
            QTRY_COMPARE(main->size(), size);
            QTRY_COMPARE(frm->size(), main->mdiArea()->viewport()->size());
        } else {
            frm->showNormal();
            frm->resize(size);
            QTRY_COMPARE(frm->size(), size);
        }
        QTRY_COMPARE(frm->client()->width(), frm->contentsRect().width());
    };

    sizeTo(from);
    if (QTest::currentTestFailed())
        return;
    for (const QString &line : counter) {
        frm->setCounterLine(line);
        checkCounter(frm, line);
        if (QTest::currentTestFailed())
            return;
    }
    const QSize window = frm->size();
    const QSize view = frm->rtb1->size();
    checkLayout(frm, true);
    if (QTest::currentTestFailed())
        return;

    // The listing takes what the window gains or loses, unless that would
    // leave it no room: then it keeps what it had on that side, and the
    // rest is laid out around it as it is.
    sizeTo(to);
    if (QTest::currentTestFailed())
        return;
    const QSize change = frm->size() - window;
    const QSize expected(keepsWidth ? view.width() : view.width() + change.width(),
                         keepsHeight ? view.height() : view.height() + change.height());
    QVERIFY2(qAbs(frm->rtb1->width() - expected.width()) <= 1 && qAbs(frm->rtb1->height() - expected.height()) <= 1,
             qPrintable(QStringLiteral("listing %1 x %2, expected %3 x %4")
                            .arg(frm->rtb1->width()).arg(frm->rtb1->height())
                            .arg(expected.width()).arg(expected.height())));
    checkLayout(frm, !keepsWidth && !keepsHeight);
    checkCounter(frm, counter.last());
    if (QTest::currentTestFailed())
        return;

    // Back at the first size, the window is laid out as it was.
    sizeTo(from);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(frm->rtb1->size(), view);
    checkLayout(frm, true);
}

// What holds at every size: the tool bar, the counter box, the parchment
// and the dedication centred in the window, the listing on the parchment
// with the dedication below it, each part below the one before, the banner
// from edge to edge; and, when the listing has room, nothing beyond the
// window's edges.
void TestFrm::checkLayout(Frm *frm, bool fits)
{
    const QRect window = frm->client()->rect();
    const auto name = [](QWidget *w) { return w->objectName(); };
    for (QWidget *centred : std::initializer_list<QWidget *>{frm->pct1, frm->pct2, frm->imgper, frm->lbldedi})
        QVERIFY2(qAbs(2 * centred->x() + centred->width() - window.width()) <= 2,
                 qPrintable(QStringLiteral("%1 at %2 is not centred in %3").arg(name(centred)).arg(centred->x())
                                .arg(window.width())));

    const QRect parchment = frm->imgper->geometry();
    const QRect view = frm->rtb1->geometry();
    QVERIFY2(parchment.left() < view.left() && view.right() < parchment.right() && parchment.top() < view.top()
                 && view.bottom() < parchment.bottom(),
             "the listing is not on the parchment");
    const QRect dedication = frm->lbldedi->geometry();
    QVERIFY2(view.bottom() < dedication.top() && dedication.bottom() < parchment.bottom(),
             "the dedication is not on the parchment below the listing");
    // Its shadow lies just right of and below it.
    const QPoint shadow = frm->lbldedi1->pos() - frm->lbldedi->pos();
    QVERIFY2(shadow.x() > 0 && shadow.x() <= 2 && shadow.y() > 0 && shadow.y() <= 2, "the dedication's shadow");
    QCOMPARE(frm->rtb1->scrollBars(), int(RichTextView::Vertical));

    // The tool bar, the counter box and the parchment, top to bottom.
    QCOMPARE(frm->pct1->y(), 0);
    QVERIFY(frm->pct1->geometry().bottom() < frm->pct2->y());
    QVERIFY(frm->pct2->geometry().bottom() < parchment.top());

    // The banner: its ends at the window's edges, its middle between them.
    QCOMPARE(frm->Image1->pos(), QPoint(0, 0));
    QCOMPARE(frm->img1->y(), 0);
    QVERIFY2(qAbs(frm->img1->x() + frm->img1->width() - window.width()) <= 1, "the banner's right end");
    QVERIFY(frm->img2->x() <= frm->Image1->geometry().right() + 1);
    QVERIFY(frm->img2->geometry().right() + 1 >= frm->img1->x());

    if (!fits)
        return;
    for (QWidget *part : std::initializer_list<QWidget *>{frm->pct1, frm->pct2, frm->imgper, frm->rtb1, frm->lbldedi,
                                                          frm->Image1, frm->img1})
        QVERIFY2(window.contains(part->geometry()),
                 qPrintable(QStringLiteral("%1 beyond the window's edges").arg(name(part))));
}

// The counter box around its line: the counter as wide as its text and
// centred in the box, its shadow just right of and below it, the frame
// pieces closed from one end of the box to the other.
void TestFrm::checkCounter(Frm *frm, const QString &line)
{
    QCOMPARE(frm->lbl1->text(), line);
    QCOMPARE(frm->lbl2->text(), line);
    QCOMPARE(frm->lbl1->size(), frm->lbl1->sizeHint());
    QCOMPARE(frm->lbl2->size(), frm->lbl1->size());
    const QRect box(QPoint(), frm->pct2->size());
    QVERIFY2(frm->lbl1->x() > 0 && frm->lbl1->geometry().right() < box.right(), "the counter is not in its box");
    QVERIFY2(qAbs(2 * frm->lbl1->x() + frm->lbl1->width() - box.width()) <= 2, "the counter is not centred");
    const QPoint shadow = frm->lbl2->pos() - frm->lbl1->pos();
    QVERIFY2(shadow.x() > 0 && shadow.x() <= 3 && shadow.y() > 0 && shadow.y() <= 3, "the counter's shadow");
    QCOMPARE(frm->Image2->x(), 0);
    QVERIFY2(qAbs(frm->img1a->x() + frm->img1a->width() - box.width()) <= 1, "the box's right end");
    QVERIFY2(frm->img2a->x() <= frm->Image2->geometry().right() + 1
                 && frm->img2a->geometry().right() + 1 >= frm->img1a->x(),
             "a gap in the counter box's frame");
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
