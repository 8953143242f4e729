#include "GuiSession.h"
#include "app/Forms.h"
#include "browse/FrmVer.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/User.h"
#include "entry/FrmNuevo.h"
#include "skin/PictureLabel.h"
#include "skin/Skin.h"
#include "skin/TitlePair.h"
#include "skin/Twips.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

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
    QWidget *dialog = nullptr;
    if (window == QLatin1String("frmver"))
        dialog = Forms::frmver();
    else if (window == QLatin1String("frmnuevo"))
        dialog = Forms::frmnuevo();
    else if (window == QLatin1String("user"))
        dialog = Forms::user();
    else if (window == QLatin1String("frmAbout"))
        dialog = Forms::frmAbout();
    else
        dialog = Forms::frmsalir();
    auto *imgico = dialog->findChild<PictureLabel *>(QStringLiteral("imgico"));
    QVERIFY(imgico);
    QCOMPARE(imgico->size(), Twips::size(slot, slot));
    QCOMPARE(imgico->pixmap().size(), QSize(32, 32));
    QVERIFY(!imgico->hasScaledContents());
    QCOMPARE(imgico->alignment(), Qt::AlignLeft | Qt::AlignTop);
}

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
