// SPDX-License-Identifier: GPL-3.0-or-later
// The user-name dialog: the name box, "Aceptar" (also by Enter) with and
// without a name, and the ways out that lead to the farewell.

#include "GuiSession.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/MessageLabel.h"
#include "dialogs/FrmSplash.h"
#include "dialogs/User.h"
#include "skin/PictureLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

int messageDialogs()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<FrmSalir *>(widget) && widget->testAttribute(Qt::WA_DeleteOnClose))
            ++count;
    }
    return count;
}

} // namespace

class TestUser : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyName_data();
    void emptyName();
    void nameConfirmed_data();
    void nameConfirmed();
    void longNameIsCut();
    void nameLimitCountsCharacters_data();
    void nameLimitCountsCharacters();
    void leaving_data();
    void leaving();
    void escapeDoesNothing();

private:
    std::unique_ptr<GuiSession> m_session;
};

void TestUser::init()
{
    m_session = std::make_unique<GuiSession>();
    Timings::setInterval(Timings::Timer::EndTimer, 3600 * 1000);
    Timings::setInterval(Timings::Timer::Splash, 3600 * 1000);
    Forms::user()->show();
    QVERIFY(QTest::qWaitForWindowExposed(Forms::user()));
}

void TestUser::cleanup()
{
    m_session.reset();
}

void TestUser::emptyName_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("Aceptar") << false;
    QTest::newRow("Enter") << true;
}

void TestUser::emptyName()
{
    QFETCH(bool, byEnter);
    User *user = Forms::user();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (byEnter)
            QTest::keyClick(user->txtnombre, Qt::Key_Return);
        else
            QTest::mouseClick(user->OKButton, Qt::LeftButton);
    }
    QApplication::processEvents();

    QCOMPARE(messageDialogs(), 1);
    FrmSalir *message = Forms::frmsalirLoaded();
    QVERIFY(message);
    QVERIFY(message->isVisible());
    QCOMPARE(message->mode(), FrmSalir::Mode::NameRequired);
    QCOMPARE(message->lblcuestion->message(), QStringLiteral("Debe ingresar un nombre porfavor"));
    QVERIFY(message->cmdaceptar->isVisible());
    QVERIFY(user->isVisible());
    QVERIFY(Module1::usuario.isEmpty());
    QVERIFY(!Forms::frmSplashLoaded());
}

void TestUser::nameConfirmed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("Enter") << "ana" << true;
    QTest::newRow("Aceptar") << "ana" << false;
    QTest::newRow("kept as typed") << QStringLiteral("  José Ñúñez ") << true;
    QTest::newRow("only blanks") << "   " << false;
}

void TestUser::nameConfirmed()
{
    QFETCH(QString, typed);
    QFETCH(bool, byEnter);
    User *user = Forms::user();
    // Typed key by key; letters beyond plain ASCII go in as a whole.
    const bool plain = std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.unicode() < 128; });
    if (plain)
        QTest::keyClicks(user->txtnombre, typed);
    else
        user->txtnombre->insert(typed);
    if (byEnter)
        QTest::keyClick(user->txtnombre, Qt::Key_Return);
    else
        QTest::mouseClick(user->OKButton, Qt::LeftButton);

    QCOMPARE(Module1::usuario, typed);
    QTRY_VERIFY(!Forms::userLoaded());
    QVERIFY(Forms::frmSplashLoaded());
    QCOMPARE(GuiSession::visibleWindows(), QStringList{QStringLiteral("frmSplash")});
    QVERIFY(!Forms::frmsalirLoaded());
}

void TestUser::longNameIsCut()
{
    User *user = Forms::user();
    const QString typed = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789");
    QTest::keyClicks(user->txtnombre, typed);
    QCOMPARE(user->txtnombre->text(), typed.left(30));
    // A 31st letter is refused whatever it is.
    QTest::keyClick(user->txtnombre, Qt::Key_End);
    user->txtnombre->insert(QStringLiteral("ñ"));
    QCOMPARE(user->txtnombre->text(), typed.left(30));
    QTest::keyClick(user->txtnombre, Qt::Key_Return);
    QCOMPARE(Module1::usuario, typed.left(30));
}

void TestUser::nameLimitCountsCharacters_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed"); // one key press
    QTest::addColumn<QString>("expected");

    const QString a28(28, QLatin1Char('a'));
    const QString a29(29, QLatin1Char('a'));
    const QString a30(30, QLatin1Char('a'));
    const QString emoji = QString::fromUtf8("😀");
    const QString accented = QString::fromUtf8("e\u0301");
    QTest::newRow("an emoji in the 30th place stays whole") << a29 << emoji << a29 + emoji;
    QTest::newRow("an emoji in the 31st place is refused") << a30 << emoji << a30;
    QTest::newRow("a letter and its accent in the 30th place go together") << a29 << accented << a29;
    QTest::newRow("a letter and its accent that fit stay") << a28 << accented << a28 + accented;
}

void TestUser::nameLimitCountsCharacters()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    User *user = Forms::user();
    user->txtnombre->setText(before);
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, typed);
    QApplication::sendEvent(user->txtnombre, &press);
    QCOMPARE(user->txtnombre->text(), expected);
    QTest::keyClick(user->txtnombre, Qt::Key_Return);
    QCOMPARE(Module1::usuario, expected);
}

void TestUser::leaving_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("overNameRequired"); // "Aceptar" pressed first, without a name
    QTest::newRow("Cancelar") << "CancelButton" << false;
    QTest::newRow("Enter on Cancelar") << "Enter" << false;
    QTest::newRow("close picture") << "Image4" << false;
    QTest::newRow("window close") << "window" << false;
    QTest::newRow("Cancelar over name required") << "CancelButton" << true;
}

void TestUser::leaving()
{
    QFETCH(QString, way);
    QFETCH(bool, overNameRequired);
    User *user = Forms::user();
    if (overNameRequired) {
        QTest::mouseClick(user->OKButton, Qt::LeftButton);
        QVERIFY(Forms::frmsalirLoaded());
    } else {
        QTest::keyClicks(user->txtnombre, QStringLiteral("ana"));
    }
    FrmSalir *open = Forms::frmsalirLoaded();
    if (way == QLatin1String("CancelButton")) {
        QTest::mouseClick(user->CancelButton, Qt::LeftButton);
    } else if (way == QLatin1String("Enter")) {
        user->CancelButton->setFocus();
        QTest::keyClick(user->CancelButton, Qt::Key_Return);
    }
    else if (way == QLatin1String("Image4"))
        QTest::mouseClick(user->Image4, Qt::LeftButton, {}, user->Image4->rect().center());
    else
        user->close();

    QTRY_VERIFY(!Forms::userLoaded());
    QVERIFY(Module1::usuario.isEmpty());
    QCOMPARE(GuiSession::visibleWindows(), QStringList{QStringLiteral("frmsalir")});
    FrmSalir *message = Forms::frmsalirLoaded();
    // An open message dialog is reused, and shows nothing of the message it
    // was: no "Aceptar" that could close the farewell.
    if (open)
        QCOMPARE(message, open);
    QVERIFY(message->inFarewell());
    QCOMPARE(message->lblcuestion->message(), QStringLiteral("Gracias por usar Sentalia, regresa pronto"));
    QVERIFY(message->imgicon1->isVisible());
    for (QWidget *gone : {static_cast<QWidget *>(message->OKButton), static_cast<QWidget *>(message->CancelButton),
                          static_cast<QWidget *>(message->cmdaceptar), static_cast<QWidget *>(message->imgicon2)})
        QVERIFY2(!gone->isVisible(), qPrintable(gone->objectName()));

    for (int i = 0; i < 20; ++i)
        message->Timer1_Timer();
    QCOMPARE(m_session->endRequests(), 0);
    message->Timer1_Timer();
    QCOMPARE(m_session->endRequests(), 1);
}

void TestUser::escapeDoesNothing()
{
    User *user = Forms::user();
    // The box has no caption: a screen reader names it, as the dialog, by
    // the title.
    QCOMPARE(QAccessible::queryAccessibleInterface(user)->text(QAccessible::Name), QStringLiteral("Ingrese nombre"));
    QCOMPARE(QAccessible::queryAccessibleInterface(user->txtnombre)->text(QAccessible::Name),
             QStringLiteral("Ingrese nombre"));
    QTest::keyClick(user->txtnombre, Qt::Key_Escape);
    QApplication::processEvents();
    QCOMPARE(Forms::userLoaded(), user);
    QVERIFY(user->isVisible());
    QVERIFY(!Forms::frmsalirLoaded());
}

QTEST_MAIN(TestUser)
#include "tst_user.moc"
