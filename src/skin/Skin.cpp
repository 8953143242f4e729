// SPDX-License-Identifier: GPL-3.0-or-later
#include "Skin.h"

#include "SkinButton.h"
#include "Twips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace {

// Enter on a button that has the focus presses it, as Space does, even when
// the button never acts as the dialog's default button.
class EnterPresses : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                static_cast<QPushButton *>(watched)->click();
                return true;
            }
        }
        return false;
    }
};

} // namespace

namespace Skin {

QPalette palette()
{
    const QColor black(0x00, 0x00, 0x00);
    const QColor white(0xFF, 0xFF, 0xFF);
    // On white and on cream alike at least 4.5:1.
    const QColor disabledText(0x6D, 0x6D, 0x6D);
    QPalette palette;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, white);
        palette.setColor(group, QPalette::WindowText, black);
        palette.setColor(group, QPalette::Base, white);
        palette.setColor(group, QPalette::AlternateBase, Cream);
        palette.setColor(group, QPalette::Text, black);
        palette.setColor(group, QPalette::Button, Cream);
        palette.setColor(group, QPalette::ButtonText, black);
        palette.setColor(group, QPalette::BrightText, white);
        palette.setColor(group, QPalette::Light, white);
        palette.setColor(group, QPalette::Midlight, QColor(0xE3, 0xE1, 0xC0));
        palette.setColor(group, QPalette::Mid, QColor(0xA0, 0xA0, 0xA0));
        palette.setColor(group, QPalette::Dark, QColor(0x80, 0x80, 0x80));
        palette.setColor(group, QPalette::Shadow, QColor(0x40, 0x40, 0x40));
        palette.setColor(group, QPalette::Highlight, QColor(0x00, 0x00, 0x80));
        palette.setColor(group, QPalette::HighlightedText, white);
        palette.setColor(group, QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
        palette.setColor(group, QPalette::ToolTipText, black);
        palette.setColor(group, QPalette::PlaceholderText, disabledText);
        palette.setColor(group, QPalette::Link, QColor(0x00, 0x00, 0xFF));
        palette.setColor(group, QPalette::LinkVisited, QColor(0x80, 0x00, 0x80));
        palette.setColor(group, QPalette::NoRole, white);
    }
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x80, 0x80, 0x80));
    return palette;
}

void setPalette(QWidget *window)
{
    window->setPalette(palette());
}

void paintPopup(QComboBox *combo)
{
    QWidget *popup = combo->view()->window();
    QPalette colours = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Base, combo->palette().color(group, QPalette::Base));
        colours.setColor(group, QPalette::Window, combo->palette().color(group, QPalette::Base));
    }
    popup->setPalette(colours);
    combo->view()->setPalette(colours);
}

void centreBeforeShowing(QWidget *window)
{
    if (window->isVisible() || window->testAttribute(Qt::WA_Moved))
        return;
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    window->move(available.x() + (available.width() - window->width()) / 2,
                 available.y() + (available.height() - window->height()) / 2);
}

void alignTextsToTop(QWidget *window)
{
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->pixmap().isNull())
            continue;
        label->setAlignment((label->alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
    }
}

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

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const QFont &font, int left,
                    int top, int width, int height, bool answersEnter)
{
    auto *created = new SkinButton(caption, parent);
    created->setObjectName(name);
    created->setFont(font);
    created->setGeometry(Twips::rect(left, top, width, height));
    if (!answersEnter) {
        created->setAutoDefault(false);
        created->setDefault(false);
        created->installEventFilter(new EnterPresses(created));
    }
    return created;
}

} // namespace Skin
