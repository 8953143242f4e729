// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrmVer.h"

#include "CollectionTopics.h"
#include "Frm.h"
#include "Listing.h"
#include "RichTextView.h"
#include "SelectionMarker.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "app/StoreMessage.h"
#include "skin/AccessibleContainer.h"
#include "skin/Artwork.h"
#include "skin/MessageBox.h"
#include "skin/Notice.h"
#include "skin/PictureLabel.h"
#include "skin/SkinLayout.h"
#include "skin/Skin.h"
#include "skin/TitlePair.h"
#include "skin/TopicCombo.h"
#include "skin/Twips.h"
#include "store/QuoteStore.h"
#include "store/TextRules.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <new>

qint64 FrmVer::s_found = 0;
QString FrmVer::s_query;
QChar FrmVer::s_letter;

namespace {

// Where the pieces of this window's frame go, in twips.
const SkinLayout &frameLayout()
{
    using R = SkinLayout::Role;
    static const SkinLayout layout{5505, 2970, {
        {"Image1", R::CornerTopLeft, 0, 0},
        {"Image2", R::TitleStrip, 0, 0, 5370, 615},
        {"Image3", R::CornerTopRight, 5250, 0},
        {"Image4", R::BorderLeft, 0, 120},
        {"Image5", R::BorderLeft, 0, 2160},
        {"Image6", R::BorderRight, 5450, 120},
        {"Image7", R::BorderRight, 5450, 2160},
        {"Image8", R::CornerBottomLeft, 0, 2640},
        {"Image9", R::BottomStrip, 0, 2640, 5340, 315},
        {"Image10", R::CornerBottomRight, 5250, 2640},
        {"Image11", R::Backdrop, 120, 720, 5295, 1815},
        {"Image12", R::ClosePicture, 4870, 60},
        {"imgico", R::IconSlot, 120, 60},
    }};
    return layout;
}

const QString AuthorTitle = QStringLiteral("Seleccione la letra del autor");
const QString TopicTitle = QStringLiteral("Seleccione el tema de las frases");

// The marker sits this far left of the letter it frames.
constexpr int MarkerOffset = 50;
constexpr int LetterWidth = 255;
constexpr int LetterHeight = 405;

// Places of the letter labels inside fra1: A to M on the first row, from
// 120 twips in, N to Z (no Q, no X) on the second, 240 twips further in.
QPoint letterPlace(int index)
{
    if (index < 13)
        return {120 + 360 * index, 0};
    return {360 + 360 * (index - 13), 360};
}

QFrame *makeFrame(QWidget *parent, const QString &name, int left, int top, int width, int height)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::NoFrame);
    frame->setGeometry(Twips::rect(left, top, width, height));
    return frame;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, int left)
{
    return Skin::button(parent, name, text, Skin::comic(9, true), left, 1800, 1215, 375, false);
}

} // namespace

FrmVer::FrmVer()
    : SkinnedDialog(frameLayout())
{
    setObjectName(QStringLiteral("frmver"));
    setWindowTitle(QStringLiteral("Ver por Autor"));
    Image12 = closePicture();
    Image12->setToolTip(QStringLiteral("Cerrar"));

    TitlePair::Style titleStyle;
    titleStyle.font = Skin::comic(12, true);
    titleStyle.front = Qt::black;
    titleStyle.shadow = QColor(0x80, 0x80, 0x80);
    titulo = new TitlePair(this, QStringLiteral("lbltitulo"), QStringLiteral("lbltitulo1"), QPoint(840, 120),
                           QPoint(860, 150), AuthorTitle, titleStyle);
    lbltitulo = titulo->front();
    lbltitulo1 = titulo->shadow();
    titulo->names(this);

    fra1 = makeFrame(this, QStringLiteral("fra1"), 360, 960, 4815, 765);
    const QString &order = TextRules::searchLetters();
    for (int i = 0; i < order.size(); ++i) {
        const QChar letter = order.at(i);
        const QPoint place = letterPlace(i);
        auto *label = new PictureLabel(fra1);
        label->setObjectName(QStringLiteral("lbl") + letter.toLower());
        label->setText(letter);
        label->setFont(Skin::comic(14.25, true));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QPalette red = label->palette();
        red.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
        label->setPalette(red);
        label->setGeometry(Twips::rect(place.x(), place.y(), LetterWidth, LetterHeight));
        // A button named by its letter for screen readers, checked when it
        // is the chosen one; typing the letter chooses it too.
        label->setClickable(PictureLabel::Clickable::Button);
        label->setCheckable(true);
        m_letters.append({letter, place.x(), place.y(), label});
        connect(label, &PictureLabel::clicked, this, [this, i] { letter_Click(i); });
    }
    SHP1 = new SelectionMarker(fra1, QColor(0x00, 0x00, 0xFF), 3);
    SHP1->setObjectName(QStringLiteral("SHP1"));
    SHP1->setTwipsGeometry(-400, 0, 345, 450);
    AccessibleContainer::hide(SHP1);

    fra2 = makeFrame(this, QStringLiteral("fra2"), 1080, 960, 3135, 735);
    fra2->hide();
    cbo1 = new TopicCombo(QString::fromLatin1(TopicDesignText), fra2);
    cbo1->setObjectName(QStringLiteral("cbo1"));
    cbo1->setFont(Skin::comic(12, true));
    cbo1->setGeometry(Twips::rect(120, 120, 2895, 465));
    // The combo has no caption of its own: the title says what it asks.
    titulo->names(cbo1);
    // The combo keeps the ordinary white of input boxes inside its cream
    // frame: the skin's white, not the desktop's, whose text may be light.
    QPalette plain = cbo1->palette();
    const QPalette skin = Skin::palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        plain.setColor(role, skin.color(role));
    cbo1->setPalette(plain);

    OKButton = makeButton(this, QStringLiteral("OKButton"), QStringLiteral("Aceptar"), 1200);
    CancelButton = makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("Cancelar"), 2760);
    notice = new Notice(this);
    notice->setObjectName(QStringLiteral("notice"));

    connect(OKButton, &QPushButton::clicked, this, &FrmVer::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &FrmVer::CancelButton_Click);
    connect(Image12, &PictureLabel::clicked, this, &FrmVer::Image12_Click);

    // Load.
    shape(20);
    s_found = 0;
    if (Module1::portema) {
        fra1->hide();
        fra2->show();
        titulo->setText(TopicTitle);
        CollectionTopics::fill(cbo1);
    } else {
        fra1->show();
        fra2->hide();
        titulo->setText(AuthorTitle);
    }
    showIcon(QString::fromLatin1(Artwork::IconSearch));
    cream({fra1, fra2, OKButton, CancelButton});
}

void FrmVer::letter_Click(int index)
{
    const Letter &chosen = m_letters.at(index);
    SHP1->moveTwips(chosen.left - MarkerOffset, chosen.top);
    for (const Letter &letter : std::as_const(m_letters))
        letter.label->setChecked(&letter == &chosen);
    // Screen readers speak a checked change only for the focused control,
    // and the focus stays on the buttons: the notice tells them instead.
    notice->announce(QString(chosen.letter) + QStringLiteral(", seleccionada"));
}

QChar FrmVer::markedLetter() const
{
    for (const Letter &letter : m_letters) {
        if (letter.left - MarkerOffset == SHP1->leftTwips())
            return letter.letter;
    }
    return {};
}

const FrmVer::Letter *FrmVer::letterFor(QChar letter) const
{
    for (const Letter &entry : m_letters) {
        if (entry.letter == letter)
            return &entry;
    }
    return nullptr;
}

void FrmVer::OKButton_Click()
{
    try {
        if (Module1::portema)
            searchTopic();
        else
            searchInitial();
    } catch (const std::bad_alloc &) {
        // What the search built is released; the dialog stays for another try.
        MessageBox::show(QStringLiteral("No hay memoria suficiente para buscar las frases. Cierre otros programas y "
                                        "vuelva a intentarlo."),
                         MessageBox::Icon::Critical, this);
    }
}

void FrmVer::searchTopic()
{
    if (cbo1->currentText() == cbo1->designText()) {
        MessageBox::show(QStringLiteral("Seleccione el tema porfavor"), MessageBox::Icon::Critical, this);
        cbo1->setFocus();
        return;
    }
    s_found = 0;
    s_query = TextRules::upperTopic(cbo1->currentText());
    Listing listing;
    const bool read = Module1::db
        && Module1::db->byTopic(s_query, [&listing](const QString &frace, const QString &autor) {
               listing.add(frace, autor);
           });
    if (!read) {
        // Nothing is listed and the dialog stays, with the topic as typed.
        StoreMessage::show(QStringLiteral("No se pudieron leer las frases del tema."), this);
        return;
    }
    s_found = listing.count();

    Frm *frm = Forms::frm();
    listing.moveInto(frm->rtb1);
    frm->setCounterLine(QString::number(s_found) + QStringLiteral(" Frases encontradas con el tema ")
                        + cbo1->currentText());
    close();
    frm->setCaption(QStringLiteral("Por Tema"));
    frm->show();
}

void FrmVer::searchInitial()
{
    const QChar letter = markedLetter();
    if (letter.isNull()) {
        // No letter framed yet: nothing to search for.
        MessageBox::show(QStringLiteral("Seleccione una letra porfavor"), MessageBox::Icon::Critical, this);
        return;
    }
    s_found = 0;
    s_query = QString(letter);
    Listing listing;
    const bool read = Module1::db
        && Module1::db->byInitial(letter, [&listing](const QString &frace, const QString &autor) {
               listing.add(frace, autor);
           });
    if (!read) {
        StoreMessage::show(QStringLiteral("No se pudieron leer las frases de la inicial ") + letter + QLatin1Char('.'),
                           this);
        return;
    }
    s_found = listing.count();
    s_letter = letter;

    Frm *frm = Forms::frm();
    listing.moveInto(frm->rtb1);
    close();
    frm->setCaption(QStringLiteral("Por Autor"));
    frm->setCounterLine(QString::number(s_found) + QStringLiteral(" Frases encontradas con la inicial ") + s_letter);
    frm->show();
}

void FrmVer::CancelButton_Click()
{
    close();
}

void FrmVer::Image12_Click()
{
    close();
}

void FrmVer::keyPressEvent(QKeyEvent *event)
{
    // Only "Cancelar" and the close picture close the dialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    const QString typed = event->text();
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!Module1::portema && typed.size() == 1 && !(event->modifiers() & commands)) {
        const QChar letter = TextRules::initialOf(typed);
        for (int i = 0; i < m_letters.size(); ++i) {
            if (!letter.isNull() && m_letters.at(i).letter == letter) {
                letter_Click(i);
                event->accept();
                return;
            }
        }
    }
    SkinnedDialog::keyPressEvent(event);
}
