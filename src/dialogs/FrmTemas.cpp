// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrmTemas.h"

#include "Desktop.h"
#include "app/Module1.h"
#include "skin/Artwork.h"
#include "skin/PictureLabel.h"
#include "skin/Skin.h"
#include "skin/SkinLayout.h"
#include "skin/TitlePair.h"
#include "skin/Twips.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QTextBrowser>

namespace {

// Where the pieces of this window's frame go, in twips.
const SkinLayout &frameLayout()
{
    using R = SkinLayout::Role;
    static const SkinLayout layout{7980, 5490, {
        {"Image2", R::CornerTopLeft, 0, 0},
        {"Image4", R::TitleStrip, 240, 0, 7530, 615},
        {"Image3", R::CornerTopRight, 7720, 0},
        {"Image5", R::BorderLeft, 0, 600},
        {"Image6", R::BorderLeft, 0, 2640},
        {"Image13", R::BorderLeft, 0, 4680},
        {"Image7", R::BorderRight, 7920, 600},
        {"Image8", R::BorderRight, 7920, 2640},
        {"Image14", R::BorderRight, 7920, 4680},
        {"Image10", R::CornerBottomLeft, 0, 5160},
        {"Image11", R::BottomStrip, 240, 5160, 7500, 315},
        {"Image12", R::CornerBottomRight, 7720, 5160},
        {"Image1", R::Backdrop, 120, 600, 7710, 4530},
        {"Image9", R::ClosePicture, 7320, 60},
    }};
    return layout;
}

// Pages and files beside the program are shown here; everything else
// (web pages, mail addresses) belongs to the desktop.
bool opensInside(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return scheme.isEmpty() || scheme == QLatin1String("file") || scheme == QLatin1String("qrc");
}

} // namespace

FrmTemas::FrmTemas()
    : SkinnedDialog(frameLayout())
{
    setObjectName(QStringLiteral("frmtemas"));
    setWindowTitle(QStringLiteral("Temas de ayuda"));

    Image9 = closePicture();
    Image9->setToolTip(QStringLiteral("Cerrar"));

    // In place of the icon slot: a fixed picture.
    Image15 = new PictureLabel(this);
    Image15->setObjectName(QStringLiteral("Image15"));
    Image15->setGeometry(Twips::rect(240, 30, 480, 525));
    Image15->setPicture(QString::fromLatin1(Artwork::HelpBadge), false);

    TitlePair::Style style;
    style.font = Skin::comic(11.25, true);
    style.shadow = QColor(0x80, 0x80, 0x80);
    m_title = new TitlePair(this, QStringLiteral("Label1"), QStringLiteral("Label2"), {960, 120}, {980, 150},
                            QStringLiteral("Temas de Ayuda"), style);
    Label1 = m_title->front();
    Label2 = m_title->shadow();
    m_title->names(this);
    Image9->raise();

    web = new QTextBrowser(this);
    web->setObjectName(QStringLiteral("web"));
    web->setGeometry(Twips::rect(270, 885, 7200, 3735));
    // Every link comes through web_AnchorClicked, which decides where it opens.
    web->setOpenLinks(false);
    web->setOpenExternalLinks(false);

    connect(Image9, &PictureLabel::clicked, this, &FrmTemas::Image9_Click);
    connect(web, &QTextBrowser::anchorClicked, this, &FrmTemas::web_AnchorClicked);

    // Load.
    shape(20);
    // Two separators in a row (the program in the root folder) would make
    // a file address name a host; the file itself is the same either way.
    navigate(QUrl::fromLocalFile(QDir::cleanPath(entryAddress())));
}

QString FrmTemas::entryAddress()
{
    // The program folder as the platform reports it, followed at once by
    // the rest: no separator is added or removed, so a folder that already
    // ends in one gives two in a row. The address is passed on unchanged.
    // An installed program reads the pages it shipped instead.
    return Module1::helpFolder() + QDir::separator() + QStringLiteral("default.htm");
}

void FrmTemas::Image9_Click()
{
    close();
}

void FrmTemas::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    SkinnedDialog::keyPressEvent(event);
}

void FrmTemas::web_AnchorClicked(const QUrl &url)
{
    if (opensInside(url))
        navigate(url);
    else
        Desktop::openUrl(url);
}

void FrmTemas::navigate(const QUrl &url)
{
    web->setSource(url);
    if (web->document()->isEmpty()) {
        // The view has nothing to show: say so rather than stay blank.
        const QString file = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
        web->setHtml(QStringLiteral("<p style=\"font-family: 'Comic Sans MS'; font-size: 10pt\">"
                                    "No se encontró la página de ayuda:<br><b>%1</b></p>")
                         .arg(file.toHtmlEscaped()));
    }
}
