// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrmSplash.h"

#include "Version.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "mainwin/MdiInicio.h"
#include "skin/Artwork.h"
#include "skin/PictureLabel.h"
#include "skin/Shaper.h"
#include "skin/Skin.h"
#include "skin/TitlePair.h"
#include "skin/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

// Client area, twips.
constexpr int ClientWidth = 4140;
constexpr int ClientHeight = 3375;

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, const QFont &font, const QRect &twips,
                  Qt::Alignment alignment)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setGeometry(Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    return label;
}

// A label that sizes itself to its text. The centred ones keep the centre
// of their design place, so that a longer text still sits in the middle.
void fitText(QLabel *label, const QString &text)
{
    const bool centred = label->alignment() & Qt::AlignHCenter;
    const int middle = label->geometry().center().x();
    label->setText(text);
    label->adjustSize();
    if (centred)
        label->move(middle - label->width() / 2, label->y());
}

} // namespace

FrmSplash::FrmSplash()
    : QDialog(nullptr, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(Twips::size(ClientWidth, ClientHeight));
    Skin::setPalette(this);
    setAutoFillBackground(true);

    // The window's own picture fills the client area behind everything.
    m_frame = new PictureLabel(this);
    m_frame->setObjectName(QStringLiteral("picture"));
    m_frame->setGeometry(rect());
    m_frame->setPicture(QString::fromLatin1(Artwork::SplashFrame));

    // Built from the back to the front, so that they stack as designed.
    Image1 = new PictureLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::rect(120, 900, 3945, 1815));
    Image1->setPicture(QString::fromLatin1(Artwork::Backdrop));

    lblProductName = makeLabel(this, QStringLiteral("lblProductName"), QStringLiteral("Producto"),
                               Skin::arial(20.25, true), {120, 1080, 3855, 480}, Qt::AlignHCenter);
    lblPlatform = makeLabel(this, QStringLiteral("lblPlatform"), QStringLiteral("Plataforma"),
                            Skin::arial(9.75, true), {1530, 1560, 1050, 240}, Qt::AlignHCenter);
    lblVersion = makeLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Versión"), Skin::arial(8.25, true),
                           {1725, 1800, 660, 210}, Qt::AlignHCenter);
    lblWarning = makeLabel(this, QStringLiteral("lblWarning"), QStringLiteral("%"), Skin::arial(8.25, true),
                           {3240, 2235, 135, 210}, Qt::AlignLeft);
    lblWarning->adjustSize();
    Label1 = makeLabel(this, QStringLiteral("Label1"), QString(), Skin::arial(8.25, false), {360, 2040, 1485, 210},
                       Qt::AlignLeft);
    fitText(Label1, QStringLiteral("Cargando, espere...."));

    imgLogo = new PictureLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(Twips::rect(50, 120, 480, 480));
    imgLogo->setPicture(QString::fromLatin1(Artwork::IconMain), false);
    imgLogo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Image2 = new PictureLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(Twips::rect(3480, 120, 450, 450));
    Image2->setPicture(QString::fromLatin1(Artwork::SplashDecoration));

    lblCompanyProduct = makeLabel(this, QStringLiteral("lblCompanyProduct"), QString(), Skin::arial(12, true),
                                  {908, 360, 2325, 285}, Qt::AlignHCenter);
    fitText(lblCompanyProduct, QStringLiteral("Equipo Sentalia"));

    TitlePair::Style greetingStyle;
    greetingStyle.font = Skin::arial(11.25, false);
    greetingStyle.front = QColor(0xC0, 0x00, 0x00);
    greetingStyle.shadow = QColor(0x40, 0x40, 0x40);
    greetingStyle.autoSize = false;
    greetingStyle.alignment = Qt::AlignHCenter | Qt::AlignTop;
    // The two labels keep their design widths, which differ a little.
    m_greeting = new TitlePair(this, QStringLiteral("lblLicenseTo"), QStringLiteral("lblLicenseTo1"), {120, 15},
                               {140, 30}, QStringLiteral("Hola"), greetingStyle, 3855, 255);
    lblLicenseTo = m_greeting->front();
    lblLicenseTo1 = m_greeting->shadow();
    m_greeting->names(this);
    lblLicenseTo1->resize(Twips::size(3840, 255));

    pbr1 = new QProgressBar(this);
    pbr1->setObjectName(QStringLiteral("pbr1"));
    pbr1->setGeometry(Twips::rect(360, 2280, 2895, 135));
    pbr1->setRange(0, 100);
    pbr1->setValue(0);
    pbr1->setTextVisible(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(Timings::interval(Timings::Timer::Splash));
    connect(Timer1, &QTimer::timeout, this, &FrmSplash::Timer1_Timer);

    // Load.
    Shaper::shape(this, 20);
    m_progress = 0;
    imgLogo->resize(Twips::px(660), imgLogo->height());
    fitText(lblVersion, QStringLiteral("Versión: %1.%2.%3")
                            .arg(Version::Major)
                            .arg(Version::Minor)
                            .arg(Version::Revision));
    lblProductName->setText(QString::fromLatin1(Version::Title));
    fitText(lblPlatform, QStringLiteral("Windows® 98SE/2000/Me/XP"));
    m_greeting->setText(QStringLiteral("Bienvenid@ ") + Module1::usuario);

    Skin::alignTextsToTop(this);
    // The animation runs from the moment the splash exists.
    Timer1->start();
}

void FrmSplash::setVisible(bool visible)
{
    if (visible && !isVisible())
        Skin::centreBeforeShowing(this);
    QDialog::setVisible(visible);
}

void FrmSplash::Timer1_Timer()
{
    if (m_progress == 100) {
        Timer1->stop();
        Forms::mdiinicio()->showMaximized();
        m_closing = true;
        close();
        return;
    }
    m_progress += 2;
    lblWarning->setText(QString::number(m_progress) + QLatin1Char('%'));
    lblWarning->adjustSize();
    pbr1->setValue(m_progress);
    // The bar's own immediate repaint does not always reach the screen of
    // this shaped window; a queued one does.
    pbr1->update();
}

void FrmSplash::reject()
{
}

void FrmSplash::closeEvent(QCloseEvent *event)
{
    if (m_closing)
        event->accept();
    else
        event->ignore();
}
