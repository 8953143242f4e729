// SPDX-License-Identifier: GPL-3.0-or-later
#include "Frm.h"

#include "Listing.h"
#include "ListingPrinter.h"
#include "RichTextView.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "app/StoreMessage.h"
#include "app/Timings.h"
#include "entry/FrmNuevo.h"
#include "mainwin/MdiInicio.h"
#include "skin/AccessibleContainer.h"
#include "skin/Artwork.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"
#include "skin/Skin.h"
#include "skin/Twips.h"
#include "store/QuoteStore.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFileInfo>
#include <QIcon>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProgressDialog>

#include <new>

namespace {

// At most this many characters are set aside before a listing is read.
constexpr qint64 MaxReserve = 32 * 1024 * 1024;
// Characters of a listing on show that may stay while the next is read.
constexpr qsizetype KeptWhileReading = 4 * 1024 * 1024;

const QString Dedication = QStringLiteral("Dedicado a todos los que encuentran en una buena frase a un buen amigo");

PictureLabel *image(QWidget *parent, const QString &name, const char *resource)
{
    auto *picture = new PictureLabel(parent);
    picture->setObjectName(name);
    if (resource)
        picture->setPicture(QString::fromLatin1(resource), true);
    return picture;
}

// A label drawn over what lies beneath it. It takes the presses that land on
// it, so that they do nothing instead of reaching the window beneath.
QLabel *label(QWidget *parent, const QString &name, const QString &caption, const QFont &font, const QColor &colour)
{
    auto *text = new PictureLabel(parent);
    text->setObjectName(name);
    text->setText(caption);
    text->setFont(font);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, colour);
    text->setPalette(palette);
    return text;
}

} // namespace

Frm::Frm()
{
    setObjectName(QStringLiteral("frm"));
    // No control box: no system menu and no buttons, only the caption.
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("Por Autor"));
    setWindowIcon(QIcon(QString::fromLatin1(Artwork::IconMain)));

    m_client = new QWidget;
    m_client->setObjectName(QStringLiteral("frmclient"));
    m_client->setContextMenuPolicy(Qt::PreventContextMenu);
    m_client->setAutoFillBackground(true);
    // The designs' colours whatever the desktop's, white behind.
    Skin::setPalette(m_client);
    // The background picture lies once at the top left corner, on white;
    // it is not repeated across a larger window.
    m_background = QPixmap(QString::fromLatin1(Artwork::Background));

    // Built from the back to the front, so that each element lies over
    // those built before it; the three boxes above every image and label.
    imgper = image(m_client, QStringLiteral("imgper"), Artwork::Parchment);
    m_imgper = TwipsBox(imgper, 0, 1440, 3165, 2265);
    img2 = image(m_client, QStringLiteral("img2"), Artwork::BannerMiddle);
    m_img2 = TwipsBox(img2, 120, 0, 720, 705);
    lbldedi1 = label(m_client, QStringLiteral("lbldedi1"), Dedication, Skin::comic(9.75, true), QColor(0x80, 0x80, 0x80));
    m_lbldedi1 = TwipsBox(lbldedi1, -240, 0, 7110, 285);
    m_lbldedi1.fitToText();
    lbldedi = label(m_client, QStringLiteral("lbldedi"), Dedication, Skin::comic(9.75, true), QColor(0xFF, 0, 0));
    m_lbldedi = TwipsBox(lbldedi, -240, 0, 7110, 285);
    m_lbldedi.fitToText();
    Image1 = image(m_client, QStringLiteral("Image1"), Artwork::BannerLeft);
    m_Image1 = TwipsBox(Image1, 0, 0, 645, 705);
    img1 = image(m_client, QStringLiteral("img1"), Artwork::BannerRight);
    m_img1 = TwipsBox(img1, 240, 0, 645, 705);
    imgprint1 = image(m_client, QStringLiteral("imgprint1"), Artwork::ToolPrintHot);
    imgprint1->setGeometry(Twips::rect(0, 0, 600, 600));
    imgprint1->hide();
    imgprint2 = image(m_client, QStringLiteral("imgprint2"), Artwork::ToolPrint);
    imgprint2->setGeometry(Twips::rect(0, 0, 600, 600));
    imgprint2->hide();

    // The tool bar: the banner's middle piece behind four picture buttons.
    pct1 = new PictureLabel(m_client);
    pct1->setObjectName(QStringLiteral("pct1"));
    pct1->setPicture(QString::fromLatin1(Artwork::BannerMiddle), false);
    pct1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pct1->installEventFilter(this);
    m_pct1 = TwipsBox(pct1, 0, 0, 2640, 705);
    imgnuevo = image(pct1, QStringLiteral("imgnuevo"), Artwork::ToolNew);
    imgnuevo->setGeometry(Twips::rect(120, 50, 540, 600));
    imgnuevo->setToolTip(QStringLiteral("Nueva Frase"));
    imgprint = image(pct1, QStringLiteral("imgprint"), Artwork::ToolPrint);
    imgprint->setGeometry(Twips::rect(750, 45, 600, 600));
    imgprint->setToolTip(QStringLiteral("Imprimir frases encontradas"));
    imgrun = image(pct1, QStringLiteral("imgrun"), Artwork::ToolSearch);
    imgrun->setGeometry(Twips::rect(1440, 45, 540, 600));
    imgrun->setToolTip(QStringLiteral("Buscar frases"));
    imgcerrar = image(pct1, QStringLiteral("imgcerrar"), Artwork::ToolClose);
    imgcerrar->setGeometry(Twips::rect(2040, 75, 480, 525));
    imgcerrar->setToolTip(QStringLiteral("Cerrar encontrados"));
    for (PictureLabel *tool : {imgnuevo, imgprint, imgrun, imgcerrar})
        tool->setClickable(PictureLabel::Clickable::Button);

    rtb1 = new RichTextView(m_client);
    rtb1->setObjectName(QStringLiteral("rtb1"));
    m_rtb1 = TwipsBox(rtb1, 120, 1540, 2055, 615);

    // The counter box: its frame pieces, the shadow, the counter in front.
    pct2 = new PictureLabel(m_client);
    pct2->setObjectName(QStringLiteral("pct2"));
    m_pct2 = TwipsBox(pct2, 0, 710, 2730, 515);
    img2a = image(pct2, QStringLiteral("img2a"), Artwork::CounterMiddle);
    m_img2a = TwipsBox(img2a, 480, -195, 1515, 705);
    img1a = image(pct2, QStringLiteral("img1a"), Artwork::CounterRight);
    m_img1a = TwipsBox(img1a, 1800, -195, 930, 705);
    Image2 = image(pct2, QStringLiteral("Image2"), Artwork::CounterLeft);
    m_Image2 = TwipsBox(Image2, 0, -195, 930, 705);
    const QString counter = QStringLiteral("Frases encontradas");
    lbl2 = label(pct2, QStringLiteral("lbl2"), counter, Skin::comic(12, true), QColor(0x80, 0x80, 0x80));
    m_lbl2 = TwipsBox(lbl2, 270, 30, 2280, 345);
    m_lbl2.fitToText();
    lbl1 = label(pct2, QStringLiteral("lbl1"), counter, Skin::comic(12, true), QColor(0, 0, 0xC0));
    m_lbl1 = TwipsBox(lbl1, 240, 0, 2280, 345);
    m_lbl1.fitToText();

    // Screen readers meet the listing, the counter, the dedication and the
    // tools; not the shadows nor the pictures that only decorate.
    for (QWidget *decoration : std::initializer_list<QWidget *>{
             imgper, img2, lbldedi1, Image1, img1, imgprint1, imgprint2, img2a, img1a, Image2, lbl2})
        AccessibleContainer::hide(decoration);

    setWidget(m_client);
    m_client->installEventFilter(this);
    resize(Twips::size(3885, 3765));

    // Creation.
    Skin::setCream(rtb1);

    connect(imgnuevo, &PictureLabel::clicked, this, [] { FrmNuevo::openModal(); });
    connect(imgprint, &PictureLabel::clicked, this, &Frm::imprimir);
    connect(imgrun, &PictureLabel::clicked, this, [this] {
        // At the pointer; pressed through a screen reader, under the picture.
        const QPoint pointer = QCursor::pos();
        const bool over = imgrun->rect().contains(imgrun->mapFromGlobal(pointer));
        showMenu(Forms::mdiinicio()->mnuoculto1, over ? pointer : imgrun->mapToGlobal(imgrun->rect().bottomLeft()));
    });
    connect(imgcerrar, &PictureLabel::clicked, this, &Frm::close);
    connect(imgprint, &PictureLabel::pointerMoved, this,
            [this] { imgprint->setPicturePixmap(imgprint1->pixmap(), true); });
    connect(static_cast<PictureLabel *>(lbl1), &PictureLabel::pressed, this,
            [this](Qt::MouseButton button, const QPoint &globalPos) {
                if (button == Qt::RightButton)
                    showMenu(Forms::mdiinicio()->mnuoculto, globalPos);
            });
    connect(rtb1, &RichTextView::mousePressed, this, [this](Qt::MouseButton button, const QPoint &globalPos) {
        if (button == Qt::RightButton)
            showMenu(Forms::mdiinicio()->mnuprint, globalPos);
    });

    // A child of the main window's document area is shown as soon as it
    // is built.
    Forms::mdiinicio()->mdiArea()->addSubWindow(this, windowFlags());
    showMaximized();
    rtb1->setFocus();
}

void Frm::showMenu(QMenu *menu, const QPoint &globalPos)
{
    menu->popup(globalPos);
}

bool Frm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client) {
        if (event->type() == QEvent::Paint) {
            if (!m_background.isNull()) {
                QPainter painter(m_client);
                painter.drawPixmap(0, 0, m_background);
            }
        } else if (event->type() == QEvent::Resize) {
            layoutWindow();
        } else if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            // Only presses on the bare window get here: every element on it
            // keeps its own presses.
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton)
                showMenu(Forms::mdiinicio()->mnuoculto, mouse->globalPosition().toPoint());
            return true;
        }
    } else if (watched == pct1 && event->type() == QEvent::MouseMove) {
        // Over the bare tool bar, not over one of its pictures (whose moves
        // come on to the tool bar as well).
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!pct1->childAt(mouse->position().toPoint()))
            imgprint->setPicturePixmap(imgprint2->pixmap(), true);
    }
    return QMdiSubWindow::eventFilter(watched, event);
}

void Frm::layoutWindow()
{
    const float W = float(Twips::fromPx(width()));
    const float H = float(Twips::fromPx(height()));
    const float S = float(Twips::fromPx(m_client->width()));

    // Each rule stands alone: a refused value is skipped, the element keeps
    // what it had, and the next rule reads the values as they are.
    m_img1.setLeft(S - m_img1.width());
    m_img2.setWidth(W);
    m_pct1.setLeft((S - m_pct1.width()) / 2);
    m_pct2.setLeft((S - m_pct2.width()) / 2);
    m_rtb1.setWidth(W - 1500);
    m_rtb1.setLeft((S - m_rtb1.width()) / 2 - 100);
    m_rtb1.setHeight(H - 2800);
    rtb1->setScrollBars(RichTextView::Vertical);
    m_lbldedi.setLeft((S - m_lbldedi.width()) / 2);
    m_lbldedi.setTop(m_rtb1.height() + m_rtb1.top() + 100);
    m_lbldedi1.setLeft(m_lbldedi.left() + 20);
    m_lbldedi1.setTop(m_lbldedi.top() + 20);
    m_imgper.setWidth(m_rtb1.width() + 850);
    m_imgper.setHeight(m_rtb1.height() + 1080);
    m_imgper.setLeft((S - m_imgper.width()) / 2);
    m_imgper.setTop(m_rtb1.top() - 300);
}

void Frm::layoutCounterBox()
{
    const float S = float(Twips::fromPx(m_client->width()));
    m_pct2.setWidth(m_lbl1.width() + 300);
    m_lbl1.setLeft((m_pct2.width() - m_lbl1.width()) / 2);
    m_lbl2.setLeft((m_pct2.width() - m_lbl1.width()) / 2 + 30);
    m_pct2.setLeft((S - m_pct2.width()) / 2);
    m_img1a.setLeft(m_pct2.width() - m_img1a.width());
    m_img2a.setWidth(m_pct2.width() - 300);
    QCoreApplication::processEvents();
}

void Frm::setCounterLine(const QString &line)
{
    lbl1->setText(line);
    m_lbl1.fitToText();
    const QPointer<Frm> self(this);
    layoutCounterBox();
    // The events let through may have closed the window.
    if (!self)
        return;
    lbl2->setText(line);
    m_lbl2.fitToText();
}

void Frm::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void Frm::todos()
{
    QuoteStore *store = Module1::db.get();
    bool read = false;
    bool released = false;
    try {
        Listing listing;
        if (store) {
            // A long listing on show gives way before the new one is read:
            // holding both would double what the program needs. A short
            // one stays until the new one is complete.
            if (rtb1->text().size() > KeptWhileReading) {
                listing.reuse(rtb1->takeText());
                released = true;
            }
            // The collection's file is about as large as the listing's text:
            // room for it at once spares growing a long text step by step.
            listing.reserve(qMin<qint64>(QFileInfo(store->path()).size(), MaxReserve));
            read = store->allQuotes([&listing](const QString &frace, const QString &autor) { listing.add(frace, autor); });
        }
        if (read) {
            // The view keeps the text and its line index as they were
            // built; no second copy is made.
            m_encontrados = listing.count();
            listing.moveInto(rtb1);
        }
    } catch (const std::bad_alloc &) {
        // Whatever was built is released on the way here; the listing
        // shown before stays as it was, unless it had given way.
        if (released)
            showNothing();
        MessageBox::show(released ? QStringLiteral("No hay memoria suficiente para mostrar todas las frases. Cierre "
                                                   "otros programas y vuelva a intentarlo.")
                                  : QStringLiteral("No hay memoria suficiente para mostrar todas las frases. La lista "
                                                   "anterior queda como estaba; cierre otros programas y vuelva a "
                                                   "intentarlo."),
                         MessageBox::Icon::Critical, this);
        return;
    }
    if (!read) {
        // The listing shown before stays as it was, unless it had given
        // way; nothing stored is lost. A signal that ends the program
        // needs no message.
        if (released)
            showNothing();
        if (!store || store->lastFailure() != QuoteStore::Failure::Interrupted)
            StoreMessage::show(QStringLiteral("No se pudieron leer las frases de la base de datos."), this);
        return;
    }
    setCounterLine(QString::number(m_encontrados) + QStringLiteral(" Frases encontradas"));
    setCaption(QStringLiteral("Todos"));
}

void Frm::showNothing()
{
    m_encontrados = 0;
    setCounterLine(QStringLiteral("0 Frases encontradas"));
}

void Frm::imprimir()
{
    // A click while a print is still being laid out starts no second one.
    if (m_printing)
        return;
    m_printing = true;
    QString error;
    bool printed = false;
    try {
        const QString text = rtb1->hasSelection() ? rtb1->selectedText() : rtb1->text();
        // A long listing takes seconds to lay out: the program keeps
        // answering meanwhile, and past a moment says how far it got.
        QProgressDialog progress(QStringLiteral("Preparando la impresión de las frases…"), QStringLiteral("Cancelar"),
                                 0, 1000, this);
        progress.setObjectName(QStringLiteral("printprogress"));
        progress.setWindowTitle(QStringLiteral("Sentalia"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(Timings::interval(Timings::Timer::PrintProgress));
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setValue(0);
        printed = ListingPrinter::print(text, rtb1->font(), &error, [&progress](qsizetype done, qsizetype total) {
            progress.setValue(total > 0 ? int(done * 1000 / total) : 1000);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    } catch (const std::bad_alloc &) {
        error = QStringLiteral("No hay memoria suficiente para imprimir la lista de frases. No se imprimió nada.");
    }
    m_printing = false;
    // A print the user cancelled, or one stopped by the end of the
    // program, needs no message.
    if (!printed && !error.isEmpty())
        MessageBox::show(error, MessageBox::Icon::Critical, this);
}
