// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackgroundPicture.h"

#include "skin/Artwork.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace {

// How far in from the picture's left and top edges it is compared.
constexpr int Band = 20;

QString at(const char *what, const QPoint &place)
{
    return QStringLiteral("%1 at (%2, %3)").arg(QLatin1String(what)).arg(place.x()).arg(place.y());
}

} // namespace

QString BackgroundPicture::shownOnceOnWhite(QWidget *surface)
{
    const QImage picture = QImage(QString::fromLatin1(Artwork::Background)).convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return QStringLiteral("the background picture %1 is not in the program's resources")
            .arg(QLatin1String(Artwork::Background));
    if (surface->width() <= picture.width() || surface->height() <= picture.height())
        return QStringLiteral("the surface (%1 x %2) is not larger than the picture (%3 x %4)")
            .arg(surface->width()).arg(surface->height()).arg(picture.width()).arg(picture.height());
    const QImage shown = surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect bare = shown.rect();
    const auto visible = [&](const QPoint &place) { return bare.contains(place) && !surface->childAt(place); };

    const QRgb white = qRgb(255, 255, 255);
    int compared = 0;
    int repeats = 0;
    for (int y = 0; y < picture.height(); ++y) {
        // The top rows whole, then the left band of each row below them.
        const int across = y < Band ? picture.width() : Band;
        for (int x = 0; x < across; ++x) {
            const QPoint own(x, y);
            if (visible(own)) {
                if (shown.pixel(own) != picture.pixel(own))
                    return at("not the picture", own);
                ++compared;
            }
            if (picture.pixel(own) == white)
                continue;
            for (const QPoint &copy : {QPoint(picture.width() + x, y), QPoint(x, picture.height() + y)}) {
                if (!visible(copy))
                    continue;
                if (shown.pixel(copy) != white)
                    return at("a second copy of the picture", copy);
                ++repeats;
            }
        }
    }
    if (compared == 0)
        return QStringLiteral("no bare place along the picture's edges to compare");
    if (repeats == 0)
        return QStringLiteral("no bare place beside or below the picture to look for a copy");
    return {};
}
