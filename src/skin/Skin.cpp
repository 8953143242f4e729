#include "Skin.h"

#include <QPalette>
#include <QWidget>

namespace Skin {

void setCream(QWidget *control)
{
    QPalette palette = control->palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, Cream);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

QFont comic(double points, bool bold)
{
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont arial(double points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace Skin
