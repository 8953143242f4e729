// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrmAbout.h"

#include "Desktop.h"
#include "Registry.h"
#include "Version.h"
#include "skin/Artwork.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"
#include "skin/Skin.h"
#include "skin/SkinLayout.h"
#include "skin/TitlePair.h"
#include "skin/Twips.h"

#include <QCursor>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

namespace {

// Where the pieces of this window's frame go, in twips.
const SkinLayout &frameLayout()
{
    using R = SkinLayout::Role;
    static const SkinLayout layout{4740, 5130, {
        {"Image2", R::CornerTopLeft, 0, 0},
        {"Image3", R::TitleStrip, 240, 0, 4290, 615},
        {"Image4", R::CornerTopRight, 4483, 0},
        {"Image5", R::BorderLeft, 0, 600},
        {"Image6", R::BorderLeft, 0, 2640, 45, 2220},
        {"Image7", R::BorderRight, 4680, 600},
        {"Image8", R::BorderRight, 4680, 2640, 45, 2220},
        {"Image10", R::CornerBottomLeft, 0, 4800},
        {"Image11", R::BottomStrip, 240, 4800, 4380, 315},
        {"Image12", R::CornerBottomRight, 4483, 4800},
        {"Image9", R::Backdrop, 120, 652, 4455, 4170},
        {"Image13", R::ClosePicture, 4080, 72},
        {"imgico", R::IconSlot, 64, 87},
    }};
    return layout;
}

const QColor LinkBlue(0x00, 0x00, 0xFF);

void paintText(QWidget *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A label at a design position; with a design size, or sized to its text.
template <class Label>
Label *makeLabel(QWidget *parent, const QString &name, const QString &text, const QFont &font, int left, int top,
                 int width = 0, int height = 0)
{
    auto *label = new Label(parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setText(text);
    label->setAttribute(Qt::WA_TranslucentBackground);
    if (width > 0) {
        label->setGeometry(Twips::rect(left, top, width, height));
    } else {
        label->move(Twips::point(left, top));
        label->adjustSize();
    }
    return label;
}

QCursor handCursor()
{
    const QPixmap hand(QString::fromLatin1(Artwork::CursorHand));
    if (hand.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(hand, Artwork::CursorHandHotX, Artwork::CursorHandHotY);
}

// Blue, underlined, 8.25 pt, with the hand pointer: a text that acts like a link.
void makeLink(PictureLabel *label)
{
    label->setClickable(PictureLabel::Clickable::Link);
    QFont font = Skin::comic(8.25, false);
    font.setUnderline(true);
    label->setFont(font);
    paintText(label, LinkBlue);
    label->setCursor(handCursor());
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, int left, int top)
{
    return Skin::button(parent, name, caption, Skin::comic(8.25, false), left, top, 1605, 345);
}

QFrame *makeLine(QWidget *parent, int index, const QColor &colour, int top, int thickness)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QStringLiteral("Line1"));
    line->setProperty("index", index);
    line->setFrameShape(QFrame::NoFrame);
    line->setGeometry(Twips::px(390), Twips::px(top), Twips::px(4206 - 390), thickness);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    line->setAutoFillBackground(true);
    return line;
}

} // namespace

FrmAbout::FrmAbout()
    : SkinnedDialog(frameLayout())
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Acerca de MiApl"));

    Image13 = closePicture();
    Image13->setToolTip(QStringLiteral("Cerrar"));
    imgico = iconSlot();

    // Built from the back to the front, so that they stack as designed.
    lblDisclaimer = makeLabel<QLabel>(this, QStringLiteral("lblDisclaimer"), QStringLiteral("Autor: el equipo de Sentalia"),
                                      Skin::comic(8.25, false), 480, 3300, 3615, 255);
    paintText(lblDisclaimer, Qt::black);
    lblVersion = makeLabel<QLabel>(this, QStringLiteral("lblVersion"), QString(), Skin::comic(8.25, true), 1290, 1320,
                                   2805, 225);
    Line1[0] = makeLine(this, 0, Qt::white, 2460, 2);
    lblTitle = makeLabel<QLabel>(this, QStringLiteral("lblTitle"), QString(), Skin::comic(8.25, true), 1290, 960, 2805,
                                 360);
    paintText(lblTitle, Qt::black);
    lblDescription = makeLabel<QLabel>(
        this, QStringLiteral("lblDescription"),
        QStringLiteral("Sentalia guarda su colección de frases célebres para leerlas, buscarlas por autor o por tema, "
                       "ampliarla e imprimirla."),
        Skin::comic(8.25, true), 480, 1680, 3645, 690);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paintText(lblDescription, Qt::black);
    Line1[1] = makeLine(this, 1, QColor(0x80, 0x80, 0x80), 2445, 1);
    Label5 = makeLabel<PictureLabel>(this, QStringLiteral("Label5"), QStringLiteral("Equipo"), Skin::comic(8.25, false),
                                     2850, 3300);
    makeLink(Label5);
    Label5->adjustSize();
    Label6 = makeLabel<QLabel>(this, QStringLiteral("Label6"),
                               QStringLiteral("Para quienes encuentran en una buena frase el ánimo para seguir adelante."),
                               Skin::comic(9, true), 480, 2520, 3615, 735);
    Label6->setWordWrap(true);
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    paintText(Label6, QColor(0xFF, 0x00, 0x00));
    Label9 = makeLabel<PictureLabel>(this, QStringLiteral("Label9"), QString::fromLatin1(WebAddress),
                                     Skin::comic(8.25, false), 480, 3600, 3615, 255);
    makeLink(Label9);
    Image13->raise();
    imgico->raise();

    titlePair = new TitlePair(this, QStringLiteral("lbltitle2"), QStringLiteral("lbltitle1"), {720, 120}, {751, 148},
                              QString(), [] {
                                  TitlePair::Style style;
                                  style.font = Skin::comic(11.25, true);
                                  style.front = Qt::black;
                                  style.shadow = QColor(0x80, 0x80, 0x80);
                                  return style;
                              }());
    lbltitle2 = titlePair->front();
    lbltitle1 = titlePair->shadow();
    titlePair->names(this);

    cmdSysInfo = makeButton(this, QStringLiteral("cmdSysInfo"), QStringLiteral("&Info. del sistema..."), 2400, 3960);
    cmdOK = makeButton(this, QStringLiteral("cmdOK"), QStringLiteral("Aceptar"), 600, 3960);
    // Enter and Esc both press "Aceptar".
    cmdOK->setDefault(true);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(Twips::rect(480, 960, 660, 540));
    picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picIcon->setPixmap(QIcon(QString::fromLatin1(Artwork::IconMain)).pixmap(32, 32));

    // The authors' panel, hidden until the short name is clicked; its
    // contents from the back to the front.
    fra = new QFrame(this);
    fra->setObjectName(QStringLiteral("fra"));
    fra->setGeometry(Twips::rect(360, 960, 3855, 2895));
    fra->setFrameStyle(QFrame::Box | QFrame::Sunken);
    fra->installEventFilter(this);
    Image14 = new PictureLabel(fra);
    Image14->setObjectName(QStringLiteral("Image14"));
    Image14->setGeometry(Twips::rect(120, 240, 2970, 2475));
    Image14->setPicture(QString::fromLatin1(Artwork::AboutPanelBack), false);
    Image1 = new PictureLabel(fra);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::rect(1920, 0, 1800, 1500));
    Image1->setPicture(QString::fromLatin1(Artwork::AboutPicture), true);
    Label1 = makeLabel<PictureLabel>(fra, QStringLiteral("Label1"), QStringLiteral("Equipo de Sentalia"),
                                     Skin::comic(9.75, true), 240, 120);
    paintText(Label1, QColor(0xFF, 0x00, 0x00));
    Label2 = makeLabel<PictureLabel>(fra, QStringLiteral("Label2"), QStringLiteral("Programadores"),
                                     Skin::comic(9.75, true), 240, 840);
    paintText(Label2, QColor(0x80, 0x80, 0xFF));
    Label3 = makeLabel<PictureLabel>(fra, QStringLiteral("Label3"), QStringLiteral("Desde 2004"),
                                     Skin::comic(9.75, true), 360, 480);
    paintText(Label3, QColor(0x00, 0x80, 0x00));
    Label4 = makeLabel<PictureLabel>(fra, QStringLiteral("Label4"), QStringLiteral("De habla hispana"),
                                     Skin::comic(9.75, true), 240, 1200);
    paintText(Label4, QColor(0x00, 0x00, 0x80));
    Label7 = makeLabel<PictureLabel>(
        fra, QStringLiteral("Label7"),
        QStringLiteral("¿Encontró un problema o tiene una idea para mejorar Sentalia? Escríbanos, con gusto le "
                       "responderemos:"),
        Skin::comic(8.25, true), 120, 1560, 3615, 975);
    Label7->setWordWrap(true);
    Label7->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label8 = makeLabel<PictureLabel>(fra, QStringLiteral("Label8"), QString::fromLatin1(MailAddress),
                                     Skin::comic(8.25, false), 120, 2520, 3615, 255);
    Label8->setAlignment(Qt::AlignCenter);
    makeLink(Label8);
    fra->hide();

    setTabOrder(cmdOK, cmdSysInfo);

    connect(Image13, &PictureLabel::clicked, this, &FrmAbout::cmdOK_Click);
    connect(cmdOK, &QPushButton::clicked, this, &FrmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &FrmAbout::cmdSysInfo_Click);
    connect(Label5, &PictureLabel::clicked, this, &FrmAbout::Label5_Click);
    connect(Label8, &PictureLabel::clicked, this, &FrmAbout::Label8_Click);
    connect(Label9, &PictureLabel::clicked, this, &FrmAbout::Label9_Click);
    connect(Image14, &PictureLabel::clicked, this, &FrmAbout::cmdOK_Click);
    for (PictureLabel *hider : {Image1, Label1, Label2, Label3, Label4, Label7}) {
        connect(hider, &PictureLabel::clicked, this, &FrmAbout::hidePanel);
        hider->setClickable(PictureLabel::Clickable::Button);
    }
    // The two pictures that act have no tooltip: screen readers hear what
    // a click on them does.
    Image14->setClickable(PictureLabel::Clickable::Button);
    Image14->setAccessibleName(QStringLiteral("Cerrar"));
    Image1->setAccessibleName(QStringLiteral("Ocultar"));

    // Load.
    shape(20);
    setWindowTitle(QStringLiteral("Acerca de ") + QString::fromLatin1(Version::Title));
    lblVersion->setText(QStringLiteral("Versión %1.%2.%3").arg(Version::Major).arg(Version::Minor).arg(Version::Revision));
    lblTitle->setText(QString::fromLatin1(Version::Title));
    titlePair->setText(windowTitle());
    cream({picIcon, cmdOK, cmdSysInfo, fra});
    showIcon(QString::fromLatin1(Artwork::IconMain));
    cmdOK->setFocus();
}

void FrmAbout::cmdOK_Click()
{
    close();
}

void FrmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void FrmAbout::Label5_Click()
{
    fra->show();
    fra->raise();
}

void FrmAbout::hidePanel()
{
    fra->hide();
}

void FrmAbout::Label8_Click()
{
    // Whether a mail program answered is not our concern; the box stays.
    Desktop::openUrl(QUrl(QStringLiteral("mailto:") + QString::fromLatin1(MailAddress)));
}

void FrmAbout::Label9_Click()
{
    Desktop::openUrl(QUrl(QString::fromLatin1(WebAddress)));
}

bool FrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    // A click on the bare panel hides it; its labels and pictures take
    // their own clicks.
    if (watched == fra) {
        if (event->type() == QEvent::MouseButtonPress)
            return true;
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && fra->rect().contains(mouse->position().toPoint()))
                hidePanel();
            return true;
        }
    }
    return SkinnedDialog::eventFilter(watched, event);
}

void FrmAbout::StartSysInfo()
{
    QString SysInfoPath;
    bool found = false;

    if (GetKeyValue(Registry::LocalMachine, QString::fromLatin1(gREGKEYSYSINFO), QString::fromLatin1(gREGVALSYSINFO),
                    SysInfoPath)) {
        // The full path of the tool. An empty one fails to start below.
        found = true;
    } else if (GetKeyValue(Registry::LocalMachine, QString::fromLatin1(gREGKEYSYSINFOLOC),
                           QString::fromLatin1(gREGVALSYSINFOLOC), SysInfoPath)) {
        // Only the folder is registered: the tool must be in it.
        const QString program = SysInfoPath + QStringLiteral("\\MSINFO32.EXE");
        if (Desktop::fileExists(program)) {
            SysInfoPath = program;
            found = true;
        }
    }

    if (found && Desktop::startProgram(SysInfoPath))
        return;
    MessageBox::show(QStringLiteral("La información del sistema no está disponible en este momento"),
                     MessageBox::Icon::NoIcon, this);
}

bool FrmAbout::GetKeyValue(quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal)
{
    Registry &registry = Registry::current();

    Registry::Key hKey = 0;
    if (!registry.openKey(KeyRoot, KeyName.toLocal8Bit(), KEY_ALL_ACCESS, &hKey)) {
        KeyVal.clear();
        return false;
    }

    QByteArray tmpVal(1024, '\0');
    quint32 KeyValSize = 1024;
    quint32 KeyValType = Registry::TypeNone;
    if (!registry.queryValue(hKey, SubKeyRef.toLocal8Bit(), &KeyValType, tmpVal.data(), &KeyValSize)) {
        KeyVal.clear();
        registry.closeKey(hKey);
        return false;
    }

    // A value written with its closing NUL loses exactly that NUL.
    const qsizetype written = qMin<qsizetype>(KeyValSize, tmpVal.size());
    if (written > 0 && tmpVal.at(written - 1) == '\0')
        tmpVal.truncate(written - 1);
    else
        tmpVal.truncate(written);

    switch (KeyValType) {
    case Registry::TypeString:
        KeyVal = QString::fromLocal8Bit(tmpVal);
        break;
    case Registry::TypeDword: {
        // The number's bytes come lowest first; a high NUL byte may have
        // been cut off above, which leaves the value as it was.
        quint32 number = 0;
        for (qsizetype i = qMin<qsizetype>(tmpVal.size(), 4) - 1; i >= 0; --i)
            number = (number << 8) | quint8(tmpVal.at(i));
        KeyVal = QString::number(number);
        break;
    }
    default:
        // Other kinds of value leave KeyVal as it was.
        break;
    }

    registry.closeKey(hKey);
    return true;
}
