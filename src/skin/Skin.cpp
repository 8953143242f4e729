#include "Skin.h"

#include "Twips.h"

#include <QKeyEvent>
#include <QPalette>
#include <QPushButton>
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
    auto *created = new QPushButton(caption, parent);
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
