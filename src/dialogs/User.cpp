// SPDX-License-Identifier: GPL-3.0-or-later
#include "User.h"

#include "CharacterLimit.h"
#include "FrmSalir.h"
#include "FrmSplash.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "skin/Artwork.h"
#include "skin/PictureLabel.h"
#include "skin/SkinLayout.h"
#include "skin/Skin.h"
#include "skin/TitlePair.h"
#include "skin/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Where the pieces of this window's frame go, in twips.
const SkinLayout &frameLayout()
{
    using R = SkinLayout::Role;
    static const SkinLayout layout{3135, 2325, {
        {"Image1", R::CornerTopLeft, 0, 0},
        {"Image2", R::TitleStrip, 240, 0, 2850, 615},
        {"Image3", R::CornerTopRight, 2880, 0},
        {"Image5", R::BorderLeft, 0, 240},
        {"Image6", R::BorderRight, 3070, 240},
        {"Image7", R::CornerBottomLeft, 0, 2000},
        {"Image8", R::BottomStrip, 240, 1995, 2700, 315},
        {"Image9", R::CornerBottomRight, 2880, 2000},
        {"Image10", R::Backdrop, 120, 720, 2895, 1215},
        {"Image4", R::ClosePicture, 2520, 60},
        {"imgico", R::IconSlot, 120, 60},
    }};
    return layout;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, const QRect &twips)
{
    return Skin::button(parent, name, caption, Skin::comic(9, true), twips.x(), twips.y(), twips.width(),
                        twips.height());
}

} // namespace

User::User()
    : SkinnedDialog(frameLayout())
{
    setObjectName(QStringLiteral("user"));
    setWindowTitle(QStringLiteral("Nombre de usuario"));

    Image4 = closePicture();
    Image4->setToolTip(QStringLiteral("Cerrar"));
    imgico = iconSlot();

    TitlePair::Style titleStyle;
    titleStyle.font = Skin::comic(11.25, true);
    titleStyle.front = Qt::black;
    titleStyle.shadow = QColor(0x80, 0x80, 0x80);
    m_title = new TitlePair(this, QStringLiteral("lbl1"), QStringLiteral("Label1"), {720, 120}, {740, 150},
                            QStringLiteral("Ingrese nombre"), titleStyle);
    lbl1 = m_title->front();
    Label1 = m_title->shadow();
    m_title->names(this);
    Image4->raise();

    // Built from the back to the front, so that they stack as designed.
    OKButton = makeButton(this, QStringLiteral("OKButton"), QStringLiteral("Aceptar"), {360, 1320, 1095, 375});
    OKButton->setDefault(true);
    CancelButton =
        makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("Cancelar"), {1680, 1320, 1095, 375});
    txtnombre = new QLineEdit(this);
    txtnombre->setObjectName(QStringLiteral("txtnombre"));
    txtnombre->setGeometry(Twips::rect(360, 960, 2415, 285));
    txtnombre->setFont(Skin::comic(9.75, true));
    // The limit counts characters as a reader sees them, not UTF-16 units.
    txtnombre->setValidator(new CharacterLimit(MaxNameLength, txtnombre));
    // The box has no caption: the title asks for the name.
    m_title->names(txtnombre);

    // The name box first, then the buttons in reading order.
    setTabOrder(txtnombre, OKButton);
    setTabOrder(OKButton, CancelButton);
    txtnombre->setFocus();

    connect(OKButton, &QPushButton::clicked, this, &User::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &User::CancelButton_Click);
    connect(Image4, &PictureLabel::clicked, this, &User::CancelButton_Click);

    // Load.
    shape(20);
    showIcon(QString::fromLatin1(Artwork::IconUser));
    cream({OKButton, CancelButton, txtnombre});
}

void User::OKButton_Click()
{
    if (txtnombre->text().isEmpty()) {
        Forms::frmsalir()->nombre();
        return;
    }
    Module1::usuario = txtnombre->text();
    Forms::frmSplash()->show();
    closeDialog();
}

void User::CancelButton_Click()
{
    closeDialog();
    Forms::frmsalir()->farewellFromUser();
}

void User::closeDialog()
{
    m_closing = true;
    close();
}

void User::reject()
{
}

void User::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    // As "Cancelar": the dialog closes, then the farewell follows.
    event->accept();
    m_closing = true;
    Forms::frmsalir()->farewellFromUser();
}
