// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiSession.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "browse/Frm.h"
#include "browse/FrmVer.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/FrmSplash.h"
#include "dialogs/FrmTemas.h"
#include "dialogs/User.h"
#include "entry/FrmNuevo.h"
#include "mainwin/MdiInicio.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"
#include "skin/Skin.h"
#include "skin/SkinnedDialog.h"
#include "skin/TitlePair.h"
#include "skin/Twips.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTextEdit>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>
#include <memory>

namespace {

double luminance(const QColor &colour)
{
    auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

// The WCAG contrast ratio of two colours, 1 to 21.
double contrast(double a, double b)
{
    return (qMax(a, b) + 0.05) / (qMin(a, b) + 0.05);
}

double meanLuminance(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += luminance(image.pixelColor(x, y));
    return image.isNull() ? 0 : sum / (double(image.width()) * image.height());
}

// The fill of a box or a button, gradients and borders included: the
// median luminance of its opaque pixels.
double fillLuminance(const QImage &image)
{
    std::vector<double> values;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                values.push_back(luminance(image.pixelColor(x, y)));
    if (values.empty())
        return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

QPalette::ColorGroup groupOf(const QWidget *widget)
{
    return widget->isEnabled() ? QPalette::Active : QPalette::Disabled;
}

// A shown text label: its name, its colour, and whether it reads against
// what lies behind it (the window drawn without it).
struct TextLook {
    QString name;
    QColor colour;
    bool readable;
};

QList<TextLook> labelLooks(QWidget *window)
{
    QList<TextLook> looks;
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty() || !label->pixmap().isNull())
            continue;
        const QColor colour = label->palette().color(groupOf(label), label->foregroundRole());
        const QRect place(label->mapTo(window, QPoint()), label->size());
        label->hide();
        const QImage behind = window->grab(place).toImage();
        label->show();
        looks.append({label->objectName(), colour, contrast(luminance(colour), meanLuminance(behind)) >= 4.5});
    }
    return looks;
}

// The window's labels on a dark desktop against the same labels on the
// plain one: the design's colours stay as they were, and a text that reads
// there reads here too (a shadow meant to be faint stays faint).
QStringList changedLabels(const QList<TextLook> &plain, const QList<TextLook> &dark)
{
    if (plain.size() != dark.size())
        return {QStringLiteral("%1 texts instead of %2").arg(dark.size()).arg(plain.size())};
    QStringList faults;
    for (qsizetype i = 0; i < dark.size(); ++i) {
        if (dark.at(i).colour != plain.at(i).colour)
            faults << QStringLiteral("%1: %2 instead of %3")
                          .arg(dark.at(i).name, dark.at(i).colour.name(), plain.at(i).colour.name());
        else if (plain.at(i).readable && !dark.at(i).readable)
            faults << dark.at(i).name + QStringLiteral(" is unreadable");
    }
    return faults;
}

// Every visible button, box and list of the window against what lies
// behind its text; one line per fault.
QStringList unreadableTexts(QWidget *window)
{
    QStringList faults;
    auto check = [&](const QWidget *widget, const QColor &text, double behind) {
        const double ratio = contrast(luminance(text), behind);
        if (ratio < 4.5)
            faults << QStringLiteral("%1 %2: %3 on luminance %4, %5:1")
                          .arg(widget->metaObject()->className(), widget->objectName(), text.name())
                          .arg(behind, 0, 'f', 2)
                          .arg(ratio, 0, 'f', 2);
    };
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->isVisibleTo(window) && !button->text().isEmpty())
            check(button, button->palette().color(groupOf(button), QPalette::ButtonText),
                  fillLuminance(button->grab().toImage()));
    }
    for (QLineEdit *box : window->findChildren<QLineEdit *>()) {
        if (box->isVisibleTo(window))
            check(box, box->palette().color(groupOf(box), QPalette::Text), fillLuminance(box->grab().toImage()));
    }
    for (QAbstractScrollArea *area : window->findChildren<QAbstractScrollArea *>()) {
        // The document area holds windows, not text.
        if (area->isVisibleTo(window) && !qobject_cast<QAbstractItemView *>(area) && !qobject_cast<QMdiArea *>(area))
            check(area, area->viewport()->palette().color(groupOf(area), QPalette::Text),
                  fillLuminance(area->viewport()->grab().toImage()));
    }
    // The drop-down lists are windows of their own, drawn on their palette.
    for (QComboBox *combo : window->findChildren<QComboBox *>()) {
        if (!combo->isVisibleTo(window))
            continue;
        const QPalette list = combo->view()->palette();
        check(combo->view(), list.color(QPalette::Text), luminance(list.color(QPalette::Base)));
        check(combo->view(), list.color(QPalette::HighlightedText), luminance(list.color(QPalette::Highlight)));
    }
    return faults;
}

// A dark desktop palette as qt6ct writes its colour schemes: each group one
// list of colours in the order of QPalette's roles.
QPalette qt6ctScheme(const QString &path)
{
    QPalette palette;
    QSettings scheme(path, QSettings::IniFormat);
    const std::pair<const char *, QPalette::ColorGroup> groups[] = {
        {"active_colors", QPalette::Active}, {"inactive_colors", QPalette::Inactive}, {"disabled_colors", QPalette::Disabled}};
    for (const auto &[key, group] : groups) {
        const QStringList colours = scheme.value(QStringLiteral("ColorScheme/") + QLatin1String(key)).toStringList();
        for (int role = 0; role < colours.size() && role < QPalette::NColorRoles; ++role)
            palette.setColor(group, QPalette::ColorRole(role), QColor(colours.at(role).trimmed()));
    }
    return palette;
}

QPalette highContrast()
{
    QPalette palette(Qt::white, Qt::black);
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button, QPalette::AlternateBase, QPalette::ToolTipBase})
        palette.setColor(role, Qt::black);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
        palette.setColor(role, Qt::white);
    palette.setColor(QPalette::Highlight, QColor(0x00, 0xFF, 0xFF));
    palette.setColor(QPalette::HighlightedText, Qt::black);
    return palette;
}

// The window by name, built and shown as the program shows it.
QWidget *shownWindow(const QString &name)
{
    QWidget *window = nullptr;
    if (name == QLatin1String("frmver") || name == QLatin1String("frmver topics")) {
        Module1::portema = name.endsWith(QLatin1String("topics"));
        window = Forms::frmver();
    } else if (name == QLatin1String("frmnuevo")) {
        window = Forms::frmnuevo();
    } else if (name == QLatin1String("frmsalir")) {
        window = Forms::frmsalir();
    } else if (name == QLatin1String("user")) {
        window = Forms::user();
    } else if (name == QLatin1String("frmSplash")) {
        window = Forms::frmSplash();
    } else if (name.startsWith(QLatin1String("frmAbout"))) {
        window = Forms::frmAbout();
        if (name.endsWith(QLatin1String("panel")))
            Forms::frmAbout()->fra->show();
    } else if (name == QLatin1String("frmtemas")) {
        window = Forms::frmtemas();
    } else if (name == QLatin1String("frm")) {
        Forms::mdiinicio()->show();
        Forms::frm()->todos();
        window = Forms::frm()->widget();
    } else if (name == QLatin1String("mdiinicio")) {
        window = Forms::mdiinicio();
    }
    if (window)
        window->window()->show();
    return window;
}

} // namespace

// The shared look's building blocks where they carry behaviour.
class TestSkin : public QObject {
    Q_OBJECT

private slots:
    void twips_data();
    void twips();
    void enterOnButtons_data();
    void enterOnButtons();
    void titlePairKeepsBothTexts();
    void iconSlotKeepsTheIconsSize_data();
    void iconSlotKeepsTheIconsSize();
    void designColoursOnDarkDesktops_data();
    void designColoursOnDarkDesktops();
    void buttonsAreFlatCream_data();
    void buttonsAreFlatCream();
    void creamButtonsAndBoxes_data();
    void creamButtonsAndBoxes();
    void windowsCentredTextsFromTheTop_data();
    void windowsCentredTextsFromTheTop();
};

void TestSkin::twips_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("one pixel") << 15.0 << 1;
    QTest::newRow("rounds half up") << 7.5 << 1;
    QTest::newRow("rounds down") << 7.0 << 0;
    QTest::newRow("window width") << 5505.0 << 367;
    QTest::newRow("negative") << -400.0 << -27;
}

void TestSkin::twips()
{
    QFETCH(double, twips);
    QFETCH(int, pixels);
    QCOMPARE(Twips::px(twips), pixels);
}

void TestSkin::enterOnButtons_data()
{
    QTest::addColumn<bool>("answersEnter");
    QTest::addColumn<bool>("focusOnButton");
    QTest::addColumn<int>("presses");
    QTest::newRow("never default, focused: Enter presses it") << false << true << 1;
    QTest::newRow("never default, focus elsewhere: nothing") << false << false << 0;
    QTest::newRow("ordinary button, focused: Enter presses it") << true << true << 1;
}

void TestSkin::enterOnButtons()
{
    QFETCH(bool, answersEnter);
    QFETCH(bool, focusOnButton);
    QFETCH(int, presses);

    QDialog dialog;
    auto *edit = new QLineEdit(&dialog);
    QPushButton *button = Skin::button(&dialog, QStringLiteral("OKButton"), QStringLiteral("Aceptar"),
                                       Skin::comic(9, true), 0, 600, 1215, 375, answersEnter);
    int clicked = 0;
    connect(button, &QPushButton::clicked, this, [&clicked] { ++clicked; });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget *target = focusOnButton ? static_cast<QWidget *>(button) : edit;
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(clicked, presses);
    QCOMPARE(button->objectName(), QStringLiteral("OKButton"));
    QCOMPARE(button->geometry(), Twips::rect(0, 600, 1215, 375));
}

void TestSkin::titlePairKeepsBothTexts()
{
    QWidget parent;
    TitlePair::Style style;
    style.font = Skin::comic(12, true);
    style.front = Qt::black;
    style.shadow = QColor(0x80, 0x80, 0x80);
    TitlePair pair(&parent, QStringLiteral("lbltitulo"), QStringLiteral("lbltitulo1"), QPoint(840, 120),
                   QPoint(860, 150), QStringLiteral("Seleccione la letra del autor"), style);
    pair.setText(QStringLiteral("Seleccione el tema de las frases"));
    QCOMPARE(pair.shadow()->text(), pair.front()->text());
    QCOMPARE(pair.shadow()->pos() - pair.front()->pos(), Twips::point(20, 30));
    QCOMPARE(pair.shadow()->size(), pair.front()->size());
    // The shadow lies behind the front label.
    QVERIFY(parent.children().indexOf(pair.shadow()) < parent.children().indexOf(pair.front()));
}

// Icons are not stretched: a 32 x 32 icon keeps its size from the slot's top
// left corner, and the slot clips it.
void TestSkin::iconSlotKeepsTheIconsSize_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("slot"); // twips
    QTest::newRow("frmver") << "frmver" << 375;
    QTest::newRow("frmnuevo") << "frmnuevo" << 375;
    QTest::newRow("user") << "user" << 375;
    QTest::newRow("frmAbout") << "frmAbout" << 375;
    QTest::newRow("frmsalir") << "frmsalir" << 255;
}

void TestSkin::iconSlotKeepsTheIconsSize()
{
    QFETCH(QString, window);
    QFETCH(int, slot);
    GuiSession session;
    QWidget *dialog = shownWindow(window);
    QVERIFY(dialog);
    auto *imgico = dialog->findChild<PictureLabel *>(QStringLiteral("imgico"));
    QVERIFY(imgico);
    QCOMPARE(imgico->size(), Twips::size(slot, slot));
    QCOMPARE(imgico->pixmap().size(), QSize(32, 32));
    QVERIFY(!imgico->hasScaledContents());
    QCOMPARE(imgico->alignment(), Qt::AlignLeft | Qt::AlignTop);
}

void TestSkin::designColoursOnDarkDesktops_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QString>("window");
    const QStringList windows = {"frmver", "frmver topics", "frmnuevo", "frmsalir", "user", "frmSplash",
                                 "frmAbout", "frmAbout panel", "frmtemas", "frm", "mdiinicio", "message box"};
    for (const char *desktop : {"qt6ct darker", "high contrast", "Adwaita-Dark"})
        for (const QString &window : windows)
            QTest::newRow(qPrintable(QLatin1String(desktop) + QLatin1String(": ") + window)) << desktop << window;
}

void TestSkin::designColoursOnDarkDesktops()
{
    QFETCH(QString, desktop);
    QFETCH(QString, window);
    // The window on the desktop, its labels and its faults.
    const auto look = [&window](QList<TextLook> &labels, QStringList &faults) {
        std::unique_ptr<QMessageBox> box;
        QWidget *shown = nullptr;
        if (window == QLatin1String("message box")) {
            box = MessageBox::make(QStringLiteral("Debe ingresar el autor"), MessageBox::Icon::Critical, nullptr);
            box->show();
            shown = box.get();
        } else {
            shown = shownWindow(window);
        }
        QVERIFY(shown);
        QVERIFY(QTest::qWaitForWindowExposed(shown->window()));
        labels = labelLooks(shown);
        faults = unreadableTexts(shown);
    };
    QList<TextLook> plain;
    QStringList faults;
    {
        GuiSession session;
        look(plain, faults);
    }
    QVERIFY(!QTest::currentTestFailed());

    GuiSession session;
    const QPalette before = QApplication::palette();
    QStyle *style = nullptr;
    if (desktop == QLatin1String("qt6ct darker")) {
        const QString scheme = QStringLiteral("/usr/share/qt6ct/colors/darker.conf");
        QVERIFY2(QFile::exists(scheme), "qt6ct's colour schemes are missing: install the package qt6ct");
        QApplication::setPalette(qt6ctScheme(scheme));
    } else if (desktop == QLatin1String("high contrast")) {
        QApplication::setPalette(highContrast());
    } else {
        QVERIFY2(QStyleFactory::keys().contains(desktop), "the Adwaita styles are missing: install adwaita-qt6");
        style = QStyleFactory::create(desktop);
        QApplication::setStyle(style);
        QApplication::setPalette(style->standardPalette());
    }
    QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 100);

    QList<TextLook> dark;
    look(dark, faults);
    faults += changedLabels(plain, dark);
    if (style)
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(before);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1String("; "))));
}

void TestSkin::buttonsAreFlatCream_data()
{
    QTest::addColumn<QString>("style");
    // The styles Debian users meet with Qt 6: Qt's own, qt6ct's, Adwaita.
    for (const char *style : {"Fusion", "Windows", "qt6ct-style", "Adwaita", "Adwaita-Dark"})
        QTest::newRow(style) << style;
}

void TestSkin::buttonsAreFlatCream()
{
    QFETCH(QString, style);
    QVERIFY2(QStyleFactory::keys().contains(style, Qt::CaseInsensitive),
             qPrintable(style + QStringLiteral(" is not installed (qt6ct, adwaita-qt6)")));
    GuiSession session;
    QApplication::setStyle(QStyleFactory::create(style));
    User *user = Forms::user();
    user->show();
    user->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(user));

    QStringList faults;
    auto flat = [&](QPushButton *button, const QString &state) {
        const QImage image = button->grab().toImage();
        const int w = image.width();
        const int h = image.height();
        // Inside the border, away from the caption and the focus mark.
        for (const QPoint &at : {QPoint(w / 2, 2), QPoint(w / 2, h - 3), QPoint(2, h / 2), QPoint(w - 3, h / 2)})
            if (image.pixelColor(at) != Skin::Cream)
                faults << QStringLiteral("%1 %2 at %3,%4: %5")
                              .arg(button->objectName(), state)
                              .arg(at.x())
                              .arg(at.y())
                              .arg(image.pixelColor(at).name());
        if (image.pixelColor(w / 2, 0) == Skin::Cream)
            faults << button->objectName() + QStringLiteral(" has no border");
        return image;
    };
    user->OKButton->setFocus();
    QTRY_VERIFY(user->OKButton->hasFocus());
    const QImage focused = flat(user->OKButton, QStringLiteral("focused default"));
    const QImage plain = flat(user->CancelButton, QStringLiteral("plain"));
    user->CancelButton->setFocus();
    QTRY_VERIFY(user->CancelButton->hasFocus());
    if (flat(user->CancelButton, QStringLiteral("focused")) == plain)
        faults << QStringLiteral("the focus leaves no mark");
    user->CancelButton->setDown(true);
    flat(user->CancelButton, QStringLiteral("pressed"));
    user->CancelButton->setDown(false);
    user->CancelButton->setEnabled(false);
    flat(user->CancelButton, QStringLiteral("disabled"));
    if (contrast(luminance(user->CancelButton->palette().color(QPalette::Disabled, QPalette::ButtonText)),
                 luminance(Skin::Cream)) < 4.5)
        faults << QStringLiteral("a disabled caption is unreadable");
    Q_UNUSED(focused);

    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1String("; "))));
}

// Every button and box of the skinned dialogs is cream, in its palette and
// as drawn; the search dialog's topic box keeps the white of input boxes
// inside its cream frame.
void TestSkin::creamButtonsAndBoxes_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("cream");
    QTest::addColumn<QStringList>("white");

    const QStringList buttons{"OKButton", "CancelButton"};
    QTest::newRow("frmver") << "frmver topics" << buttons + QStringList{"fra1", "fra2"} << QStringList{"cbo1"};
    QTest::newRow("frmnuevo") << "frmnuevo" << buttons + QStringList{"txtautor", "txtfrace", "cbo1", "txtema"}
                              << QStringList();
    QTest::newRow("frmsalir") << "frmsalir" << buttons + QStringList{"cmdsi", "cmdno", "cmdaceptar", "cmdconec"}
                              << QStringList();
    QTest::newRow("user") << "user" << buttons + QStringList{"txtnombre"} << QStringList();
    QTest::newRow("frmAbout") << "frmAbout" << QStringList{"cmdOK", "cmdSysInfo", "picIcon", "fra"} << QStringList();
    QTest::newRow("frmtemas") << "frmtemas" << QStringList() << QStringList();
}

void TestSkin::creamButtonsAndBoxes()
{
    QFETCH(QString, window);
    QFETCH(QStringList, cream);
    QFETCH(QStringList, white);
    GuiSession session;
    QWidget *shown = shownWindow(window);
    QVERIFY(shown);
    QVERIFY(qobject_cast<SkinnedDialog *>(shown));
    QVERIFY(QTest::qWaitForWindowExposed(shown));

    QStringList faults;
    // What the user presses or types into: buttons, boxes, combo boxes.
    const auto pressedOrTyped = [](QWidget *control) {
        if (qobject_cast<QLineEdit *>(control))
            return !qobject_cast<QComboBox *>(control->parentWidget());
        if (auto *edit = qobject_cast<QTextEdit *>(control))
            return !edit->isReadOnly();
        return qobject_cast<QAbstractButton *>(control) || qobject_cast<QComboBox *>(control)
               || qobject_cast<QPlainTextEdit *>(control);
    };
    for (QWidget *control : shown->findChildren<QWidget *>()) {
        const QString name = control->objectName();
        if (pressedOrTyped(control) && !cream.contains(name) && !white.contains(name))
            faults << name + QStringLiteral(" is left out");
    }
    const QColor plain = Skin::palette().color(QPalette::Base);
    for (const QString &name : cream + white) {
        auto *control = shown->findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(name));
        const bool button = qobject_cast<QAbstractButton *>(control);
        const bool box = qobject_cast<QLineEdit *>(control) || qobject_cast<QComboBox *>(control)
                         || qobject_cast<QAbstractScrollArea *>(control);
        const QPalette::ColorRole role = button ? QPalette::Button : box ? QPalette::Base : QPalette::Window;
        const QColor wanted = cream.contains(name) ? Skin::Cream : plain;
        if (control->palette().color(role) != wanted)
            faults << QStringLiteral("%1: %2").arg(name, control->palette().color(role).name());
        if (!(button || box) || !control->isVisible())
            continue;
        // As drawn: the commonest colour of the control's pixels.
        const QImage image = control->grab().toImage();
        QHash<QRgb, int> counts;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ++counts[image.pixel(x, y)];
        const auto commonest = std::max_element(counts.cbegin(), counts.cend());
        if (QColor(commonest.key()) != wanted)
            faults << QStringLiteral("%1 drawn %2").arg(name, QColor(commonest.key()).name());
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1String("; "))));
}

void TestSkin::windowsCentredTextsFromTheTop_data()
{
    QTest::addColumn<QString>("window");
    for (const char *window : {"frmver", "frmnuevo", "frmsalir", "user", "frmSplash", "frmAbout", "frmtemas"})
        QTest::newRow(window) << window;
}

void TestSkin::windowsCentredTextsFromTheTop()
{
    QFETCH(QString, window);
    GuiSession session;
    QWidget *shown = shownWindow(window);
    QVERIFY(shown);
    QVERIFY(QTest::qWaitForWindowExposed(shown));

    // The window's margins on the screen's available area differ by at most
    // the odd pixel.
    const QRect screen = shown->screen()->availableGeometry();
    const QRect frame = shown->frameGeometry();
    QVERIFY2(qAbs((frame.left() - screen.left()) - (screen.right() - frame.right())) <= 1,
             qPrintable(QStringLiteral("%1,%2 on %3 x %4").arg(frame.x()).arg(frame.y()).arg(screen.width()).arg(screen.height())));
    QVERIFY2(qAbs((frame.top() - screen.top()) - (screen.bottom() - frame.bottom())) <= 1,
             qPrintable(QStringLiteral("%1,%2 on %3 x %4").arg(frame.x()).arg(frame.y()).arg(screen.width()).arg(screen.height())));

    for (QLabel *label : shown->findChildren<QLabel *>()) {
        if (label->pixmap().isNull())
            QVERIFY2(label->alignment() & Qt::AlignTop, qPrintable(label->objectName() + QStringLiteral(" is not drawn from its top")));
    }
}

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
