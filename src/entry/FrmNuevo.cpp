// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrmNuevo.h"

#include "QuoteEdit.h"
#include "browse/CollectionTopics.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "app/StoreMessage.h"
#include "skin/TopicCombo.h"
#include "dialogs/FrmSalir.h"
#include "skin/Artwork.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"
#include "skin/SkinLayout.h"
#include "skin/Skin.h"
#include "skin/TitlePair.h"
#include "skin/Twips.h"
#include "store/QuoteStore.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

// Where the pieces of this window's frame go, in twips.
const SkinLayout &frameLayout()
{
    using R = SkinLayout::Role;
    static const SkinLayout layout{4380, 4170, {
        {"Image1", R::CornerTopLeft, 0, 0},
        {"Image2", R::TitleStrip, 240, 0, 3930, 615},
        {"Image3", R::CornerTopRight, 4120, 0},
        {"Image5", R::BorderLeft, 0, 600},
        {"Image6", R::BorderLeft, 0, 2160},
        {"Image7", R::BorderRight, 4320, 600},
        {"Image8", R::BorderRight, 4320, 2160},
        {"Image9", R::CornerBottomLeft, 0, 3840},
        {"Image10", R::BottomStrip, 240, 3840, 3900, 315},
        {"Image11", R::CornerBottomRight, 4120, 3840},
        {"Image4", R::Backdrop, 120, 675, 4095, 3165},
        {"Image12", R::ClosePicture, 3720, 60},
        {"imgico", R::IconSlot, 120, 60},
    }};
    return layout;
}

const QColor Green{0x00, 0x80, 0x00};
const QColor Red{0xFF, 0x00, 0x00};
const QColor Silver{0xC0, 0xC0, 0xC0};
const QColor Grey{0x80, 0x80, 0x80};

const QString NewTopicCaption = QStringLiteral("Nuevo tema");
const QString ExistingTopicCaption = QStringLiteral("Tema existente");

bool isEnter(QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &text, int left)
{
    // Neither button answers Enter on the dialog's behalf.
    return Skin::button(parent, name, text, Skin::comic(8.25, true), left, 3000, 1215, 375, false);
}

TitlePair *makeCaption(QWidget *parent, const QString &front, const QString &shadow, int top, const QString &text)
{
    TitlePair::Style style;
    style.font = Skin::comic(8.25, true);
    style.front = Green;
    style.shadow = Silver;
    return new TitlePair(parent, front, shadow, QPoint(360, top), QPoint(375, top + 30), text, style);
}

QCursor yellowArrow()
{
    const QPixmap picture(QString::fromLatin1(Artwork::CursorYellowArrow));
    if (picture.isNull())
        return QCursor(Qt::ArrowCursor);
    return QCursor(picture, Artwork::CursorArrowHotX, Artwork::CursorArrowHotY);
}

} // namespace

FrmNuevo::FrmNuevo()
    : SkinnedDialog(frameLayout())
{
    setObjectName(QStringLiteral("frmnuevo"));
    setWindowTitle(QStringLiteral("Nueva frase"));
    Image12 = closePicture();
    Image12->setToolTip(QStringLiteral("Cerrar"));

    // Texts, back to front: field captions with their shadows, the heading,
    // the mode switch.
    temaCaption = makeCaption(this, QStringLiteral("Label9"), QStringLiteral("Label3"), 2400, QStringLiteral("Tema:"));
    fraceCaption = makeCaption(this, QStringLiteral("Label8"), QStringLiteral("Label2"), 1680, QStringLiteral("Frase:"));
    autorCaption = makeCaption(this, QStringLiteral("Label1"), QStringLiteral("Label7"), 1200, QStringLiteral("Autor:"));

    TitlePair::Style headingStyle;
    headingStyle.font = Skin::comic(11.25, true);
    headingStyle.front = Qt::black;
    headingStyle.shadow = Grey;
    heading = new TitlePair(this, QStringLiteral("Label4"), QStringLiteral("Label6"), QPoint(720, 120),
                            QPoint(740, 150), QStringLiteral("Ingrese nuevo registro"), headingStyle);
    heading->names(this);

    Label5 = new PictureLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setText(NewTopicCaption);
    Label5->setFont(Skin::comic(8.25, true));
    Label5->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label5->setGeometry(Twips::rect(1680, 2640, 1260, 255));
    QPalette redText = Label5->palette();
    redText.setColor(QPalette::WindowText, Red);
    Label5->setPalette(redText);
    Label5->setCursor(yellowArrow());
    Label5->setClickable(PictureLabel::Clickable::Button);
    Image12->raise();

    // Input controls, back to front.
    OKButton = makeButton(this, QStringLiteral("OKButton"), QStringLiteral("Aceptar"), 720);
    CancelButton = makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("Cancelar"), 2160);

    txtautor = new QLineEdit(this);
    txtautor->setObjectName(QStringLiteral("txtautor"));
    txtautor->setFont(Skin::comic(9, true));
    txtautor->setGeometry(Twips::rect(960, 1080, 2655, 375));
    txtautor->setToolTip(QStringLiteral("Ingrese aqui el autor (enter para anónimo)"));

    txtfrace = new QuoteEdit(this);
    txtfrace->setObjectName(QStringLiteral("txtfrace"));
    txtfrace->setFont(Skin::comic(9, true));
    txtfrace->setGeometry(Twips::rect(960, 1560, 2655, 615));
    txtfrace->setToolTip(QStringLiteral("Ingrese aqui la frase (Maximo 255 caracteres)"));
    txtfrace->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtfrace->setTabChangesFocus(true);
    txtfrace->setMaxLength(MaxQuoteLength);

    cbo1 = new TopicCombo(QString::fromLatin1(TopicDesignText), this);
    cbo1->setObjectName(QStringLiteral("cbo1"));
    cbo1->setFont(Skin::comic(8.25, true));
    cbo1->setGeometry(Twips::rect(960, 2280, 2655, 360));
    cbo1->setToolTip(QStringLiteral("Seleccione aqui el tema"));

    txtema = new QLineEdit(this);
    txtema->setObjectName(QStringLiteral("txtema"));
    txtema->setFont(Skin::comic(9, true));
    txtema->setGeometry(Twips::rect(960, 2280, 2655, 375));
    txtema->setToolTip(QStringLiteral("Escriba aqui el nuevo Tema"));
    txtema->hide();

    // Each box is named by its caption.
    autorCaption->names(txtautor);
    fraceCaption->names(txtfrace);
    temaCaption->names(cbo1);
    temaCaption->names(txtema);

    setTabOrder(txtautor, txtfrace);
    setTabOrder(txtfrace, OKButton);
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, cbo1);
    setTabOrder(cbo1, txtema);

    connect(Label5, &PictureLabel::clicked, this, &FrmNuevo::Label5_Click);
    connect(txtautor, &QLineEdit::returnPressed, this, &FrmNuevo::txtautor_Enter);
    cbo1->installEventFilter(this);
    if (cbo1->lineEdit())
        cbo1->lineEdit()->installEventFilter(this);
    connect(OKButton, &QPushButton::clicked, this, &FrmNuevo::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &FrmNuevo::CancelButton_Click);
    connect(Image12, &PictureLabel::clicked, this, &FrmNuevo::Image12_Click);

    // Load.
    shape(20);
    temanuevo = false;
    CollectionTopics::fill(cbo1);
    showIcon(QString::fromLatin1(Artwork::IconNewQuote));
    cream({OKButton, CancelButton, txtautor, txtfrace, txtema, cbo1});
}

void FrmNuevo::openModal()
{
    FrmNuevo *open = Forms::frmnuevoLoaded();
    if (open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return;
    }
    Forms::frmnuevo()->exec();
}

void FrmNuevo::openModeless()
{
    FrmNuevo *dialog = Forms::frmnuevo();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void FrmNuevo::Label5_Click()
{
    if (Label5->text() == NewTopicCaption) {
        txtema->show();
        cbo1->hide();
        temanuevo = true;
        txtema->setFocus();
        Label5->setText(ExistingTopicCaption);
    } else {
        txtema->hide();
        cbo1->show();
        temanuevo = false;
        cbo1->setFocus();
        Label5->setText(NewTopicCaption);
    }
}

void FrmNuevo::txtautor_Enter()
{
    if (txtautor->text().isEmpty())
        txtautor->setText(TextRules::anonymous());
    txtfrace->setFocus();
}

void FrmNuevo::cbo1_Enter()
{
    OKButton->setFocus();
}

void FrmNuevo::fail(const QString &message, QWidget *focus)
{
    MessageBox::show(message, MessageBox::Icon::Critical, this);
    focus->setFocus();
}

void FrmNuevo::OKButton_Click()
{
    const QString noAuthor = QStringLiteral("Debe ingresar el nombre del autor");
    const QString noQuote = QStringLiteral("No se puede guardar una frase en blanco, ingresela porfavor");

    if (txtautor->text().isEmpty())
        return fail(noAuthor, txtautor);
    if (!temanuevo) {
        if (txtfrace->toPlainText().isEmpty())
            return fail(noQuote, txtfrace);
        if (cbo1->currentText() == cbo1->designText())
            return fail(QStringLiteral("Seleccione el tema a guardar porfavor"), cbo1);
        save(cbo1->currentText());
    } else {
        if (txtema->text().isEmpty())
            return fail(QStringLiteral("Ingrese el tema a guardar porfavor"), txtema);
        if (txtfrace->toPlainText().isEmpty())
            return fail(noQuote, txtfrace);
        save(txtema->text());
    }
}

void FrmNuevo::save(const QString &tema)
{
    // The store upper-cases a new topic and gives it Index 1.
    if (!Module1::db || !Module1::db->insert(txtautor->text(), txtfrace->toPlainText(), tema, temanuevo)) {
        StoreMessage::show(QStringLiteral("No se pudo guardar la frase; lo escrito sigue en la ventana."), this);
        return;
    }
    close();
    Forms::frmsalir()->nuevo();
}

void FrmNuevo::CancelButton_Click()
{
    close();
}

void FrmNuevo::Image12_Click()
{
    close();
}

bool FrmNuevo::eventFilter(QObject *watched, QEvent *event)
{
    if (cbo1 && (watched == cbo1 || watched == cbo1->lineEdit()) && isEnter(event)) {
        cbo1_Enter();
        return true;
    }
    return SkinnedDialog::eventFilter(watched, event);
}

void FrmNuevo::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close the dialog: only "Cancelar" and the close
    // picture do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    SkinnedDialog::keyPressEvent(event);
}
