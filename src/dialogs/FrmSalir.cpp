// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrmSalir.h"

#include "MessageLabel.h"
#include "User.h"
#include "Version.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "entry/FrmNuevo.h"
#include "mainwin/MdiInicio.h"
#include "skin/Notice.h"
#include "skin/Artwork.h"
#include "skin/PictureLabel.h"
#include "skin/SkinLayout.h"
#include "skin/Skin.h"
#include "skin/TitlePair.h"
#include "skin/Twips.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// Where the pieces of this window's frame go, in twips.
const SkinLayout &frameLayout()
{
    using R = SkinLayout::Role;
    static const SkinLayout layout{3915, 2610, {
        {"Image1", R::CornerTopLeft, 0, 0},
        {"Image2", R::TitleStrip, 240, 0, 3450, 615},
        {"Image3", R::CornerTopRight, 3660, 0},
        {"Image8", R::BorderLeft, 0, 600},
        {"Image9", R::BorderRight, 3850, 600},
        {"Image4", R::CornerBottomLeft, 0, 2280},
        {"Image5", R::BottomStrip, 240, 2280, 3420, 315},
        {"Image6", R::CornerBottomRight, 3660, 2280},
        {"Image10", R::Backdrop, 120, 720, 3615, 1500},
        {"Image11", R::ClosePicture, 3300, 60},
        {"imgico", R::IconSlot, 120, 60, 255, 255},
    }};
    return layout;
}

const QString FarewellText = QStringLiteral("Gracias por usar Sentalia, regresa pronto");

// Question text tops, in twips: the questions and messages sit level with
// their icon, the farewell a little lower beside the waving hand.
constexpr int QuestionTop = 960;
constexpr int FarewellTop = 1150;

PictureLabel *makePicture(QWidget *parent, const QString &name, const char *resource, const QRect &twips,
                          bool stretch, bool visible)
{
    auto *picture = new PictureLabel(parent);
    picture->setObjectName(name);
    picture->setGeometry(Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    picture->setPicture(QString::fromLatin1(resource), stretch);
    if (!stretch)
        picture->setAlignment(Qt::AlignCenter);
    picture->setVisible(visible);
    return picture;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, const QRect &twips,
                        bool visible)
{
    // No button of this dialog answers Enter or Esc by itself.
    QPushButton *button = Skin::button(parent, name, caption, Skin::comic(9, true), twips.x(), twips.y(),
                                       twips.width(), twips.height(), false);
    button->setVisible(visible);
    return button;
}

} // namespace

FrmSalir::FrmSalir()
    : SkinnedDialog(frameLayout())
{
    setObjectName(QStringLiteral("frmsalir"));
    setWindowTitle(QStringLiteral("Dialog Caption"));

    Image11 = closePicture();
    imgico = iconSlot();

    // Built from the back to the front, so that they stack as designed.
    imgicon = makePicture(this, QStringLiteral("imgicon"), Artwork::BubbleQuestion, {240, 960, 540, 540}, true,
                          true);

    lblcuestion = new MessageLabel(this);
    lblcuestion->setMessage(QStringLiteral("Label1"));
    lblcuestion->setObjectName(QStringLiteral("lblcuestion"));
    lblcuestion->setGeometry(Twips::rect(960, QuestionTop, 2490, 480));
    lblcuestion->setFont(Skin::comic(9, true));
    lblcuestion->setWordWrap(true);
    lblcuestion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblcuestion->setAttribute(Qt::WA_TranslucentBackground);
    {
        QPalette palette = lblcuestion->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        lblcuestion->setPalette(palette);
    }

    imgico->raise();

    TitlePair::Style titleStyle;
    titleStyle.font = Skin::comic(11.25, true);
    titleStyle.shadow = QColor(0x80, 0x80, 0x80);
    titleStyle.autoSize = false;
    m_title = new TitlePair(this, QStringLiteral("lbltitulo"), QStringLiteral("lbltitulo1"), {840, 120},
                            {860, 150}, QStringLiteral("Label1"), titleStyle, 2295, 375);
    lbltitulo = m_title->front();
    lbltitulo1 = m_title->shadow();
    m_title->names(this);

    Image11->raise();
    imgicon1 = makePicture(this, QStringLiteral("imgicon1"), Artwork::WavingHand, {240, 1080, 555, 690}, true,
                           false);
    imgicon2 = makePicture(this, QStringLiteral("imgicon2"), Artwork::BubbleInfo, {280, 960, 510, 510}, true,
                           false);
    imgerror = makePicture(this, QStringLiteral("imgerror"), Artwork::ClosePicture, {3300, 60, 480, 480}, false,
                           false);
    imgerror->setCursor(Qt::ArrowCursor);
    // Neither close picture has a tooltip; screen readers still need a name.
    imgerror->setClickable(PictureLabel::Clickable::Button);
    imgerror->setAccessibleName(QStringLiteral("Cerrar"));
    Image11->setAccessibleName(QStringLiteral("Cerrar"));

    // Creation order is also the keyboard focus order.
    OKButton = makeButton(this, QStringLiteral("OKButton"), QStringLiteral("Si"), {840, 1560, 975, 375}, true);
    CancelButton =
        makeButton(this, QStringLiteral("CancelButton"), QStringLiteral("No"), {2040, 1560, 975, 375}, true);
    cmdsi = makeButton(this, QStringLiteral("cmdsi"), QStringLiteral("Si"), {840, 1560, 975, 375}, false);
    cmdno = makeButton(this, QStringLiteral("cmdno"), QStringLiteral("No"), {2040, 1560, 975, 375}, false);
    cmdaceptar =
        makeButton(this, QStringLiteral("cmdaceptar"), QStringLiteral("Aceptar"), {1320, 1560, 1215, 375}, false);
    cmdconec =
        makeButton(this, QStringLiteral("cmdconec"), QStringLiteral("Aceptar"), {1320, 1560, 1215, 375}, false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(Timings::interval(Timings::Timer::EndTimer));

    connect(OKButton, &QPushButton::clicked, this, &FrmSalir::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &FrmSalir::CancelButton_Click);
    connect(cmdsi, &QPushButton::clicked, this, &FrmSalir::cmdsi_Click);
    connect(cmdno, &QPushButton::clicked, this, &FrmSalir::cmdno_Click);
    connect(cmdaceptar, &QPushButton::clicked, this, &FrmSalir::cmdaceptar_Click);
    connect(cmdconec, &QPushButton::clicked, this, &FrmSalir::cmdconec_Click);
    notice = new Notice(this);
    notice->setObjectName(QStringLiteral("notice"));
    connect(Image11, &PictureLabel::clicked, this, &FrmSalir::Image11_Click);
    connect(imgerror, &PictureLabel::clicked, this, &FrmSalir::imgerror_Click);
    connect(Timer1, &QTimer::timeout, this, &FrmSalir::Timer1_Timer);

    // Load.
    contador = 0;
    setQuestionTop(QuestionTop);
    m_title->setText(QString::fromLatin1(Version::Title));
    // Reading the main window's icon builds the main window, unseen, if it
    // does not exist yet.
    const QIcon mainIcon = Forms::mdiinicio()->windowIcon();
    imgico->setPicturePixmap(PictureLabel::iconImage(mainIcon), false);
    cream({OKButton, CancelButton, cmdsi, cmdno, cmdaceptar, cmdconec});
    shape(20);
    lblcuestion->setMessage(Module1::usuario.toUpper() + QStringLiteral(" ¿Realmente desea salir?"));
}

void FrmSalir::setVisible(bool visible)
{
    SkinnedDialog::setVisible(visible);
    if (visible) {
        raise();
        activateWindow();
    }
}

void FrmSalir::nuevo()
{
    show();
    if (m_farewell)
        return;
    m_mode = Mode::RecordCreated;
    lblcuestion->setMessage(QStringLiteral("Registro creado") + QChar(13) + QStringLiteral("¿Desea ingresar otro?"));
    cmdsi->show();
    cmdno->show();
    // The exit question's buttons lie beneath; hidden, the keyboard cannot
    // reach an exit the user does not see.
    OKButton->hide();
    CancelButton->hide();
    cmdsi->setFocus();
}

void FrmSalir::nombre()
{
    show();
    if (m_farewell)
        return;
    m_mode = Mode::NameRequired;
    imgicon->hide();
    imgicon2->show();
    lblcuestion->setMessage(QStringLiteral("Debe ingresar un nombre porfavor"));
    OKButton->hide();
    CancelButton->hide();
    cmdaceptar->show();
    cmdaceptar->setFocus();
}

void FrmSalir::error()
{
    show();
    if (m_farewell)
        return;
    m_mode = Mode::NoDatabase;
    imgicon->hide();
    imgicon2->show();
    imgerror->show();
    lblcuestion->setMessage(QStringLiteral("No se estableció conección con la Base de Datos"));
    OKButton->hide();
    CancelButton->hide();
    cmdconec->show();
    cmdconec->setFocus();
}

void FrmSalir::farewellFromUser()
{
    show();
    lblcuestion->setMessage(FarewellText);
    imgicon->hide();
    imgicon1->show();
    setQuestionTop(FarewellTop);
    OKButton->hide();
    CancelButton->hide();
    enterFarewell();
    startEndTimer();
}

void FrmSalir::Timer1_Timer()
{
    if (contador == 20) {
        Timer1->stop();
        Module1::endProgram();
        return;
    }
    ++contador;
}

void FrmSalir::OKButton_Click()
{
    startEndTimer();
    Forms::mdiinicio()->hide();
    setQuestionTop(FarewellTop);
    imgicon->hide();
    imgicon1->show();
    lblcuestion->setMessage(FarewellText);
    OKButton->hide();
    CancelButton->hide();
    enterFarewell();
}

void FrmSalir::CancelButton_Click()
{
    Module1::salir = false;
    closeDialog();
}

void FrmSalir::Image11_Click()
{
    // During the farewell the close picture is ignored: closing now would
    // take the end timer with it and leave the program running unseen.
    if (m_farewell)
        return;
    Module1::salir = false;
    closeDialog();
}

void FrmSalir::imgerror_Click()
{
    farewellFromNoDatabase();
}

void FrmSalir::cmdsi_Click()
{
    closeDialog();
    FrmNuevo::openModeless();
}

void FrmSalir::cmdno_Click()
{
    closeDialog();
}

void FrmSalir::cmdaceptar_Click()
{
    closeDialog();
    // The user-name dialog may be gone already (a name was accepted while
    // this message stayed open): then there is no box to go back to.
    User *user = Forms::userLoaded();
    if (user && user->isVisible()) {
        user->activateWindow();
        user->txtnombre->setFocus();
    }
}

void FrmSalir::cmdconec_Click()
{
    farewellFromNoDatabase();
}

void FrmSalir::farewellFromNoDatabase()
{
    startEndTimer();
    Forms::mdiinicio()->hide();
    setQuestionTop(FarewellTop);
    imgicon->hide();
    imgicon2->hide();
    imgicon1->show();
    lblcuestion->setMessage(FarewellText);
    OKButton->hide();
    CancelButton->hide();
    cmdconec->hide();
    enterFarewell();
}

void FrmSalir::enterFarewell()
{
    m_farewell = true;
    // Whatever the dialog showed before, the farewell shows only its text
    // and the waving hand: no button, no other icon.
    for (QWidget *control : {static_cast<QWidget *>(imgicon), static_cast<QWidget *>(imgicon2),
                             static_cast<QWidget *>(OKButton), static_cast<QWidget *>(CancelButton),
                             static_cast<QWidget *>(cmdsi), static_cast<QWidget *>(cmdno),
                             static_cast<QWidget *>(cmdaceptar), static_cast<QWidget *>(cmdconec)})
        control->hide();
    imgicon1->show();
    notice->announce(FarewellText);
}

void FrmSalir::startEndTimer()
{
    // Entering the farewell again keeps the count and the pace.
    if (!Timer1->isActive())
        Timer1->start();
}

void FrmSalir::setQuestionTop(int twips)
{
    lblcuestion->move(lblcuestion->x(), Twips::px(twips));
}

void FrmSalir::closeDialog()
{
    m_closing = true;
    Timer1->stop();
    close();
}

void FrmSalir::reject()
{
}

void FrmSalir::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    if (m_farewell || m_mode == Mode::NoDatabase) {
        event->ignore();
        if (!m_farewell)
            farewellFromNoDatabase();
        return;
    }
    // As the close picture.
    Module1::salir = false;
    Timer1->stop();
    event->accept();
}
