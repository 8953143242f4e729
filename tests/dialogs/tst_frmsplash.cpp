// SPDX-License-Identifier: GPL-3.0-or-later
// The splash screen: its texts, the progress that climbs by 2 per tick and
// the main window opened once, on the 51st tick.

#include "GuiSession.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "dialogs/FrmSplash.h"
#include "mainwin/MdiInicio.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

} // namespace

class TestFrmSplash : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void texts_data();
    void texts();
    void greetingKeepsItsSize();
    void progress();
    void runsByItself();
    void keysDoNotCloseIt();

private:
    std::unique_ptr<GuiSession> m_session;
};

void TestFrmSplash::init()
{
    m_session = std::make_unique<GuiSession>();
    Timings::setInterval(Timings::Timer::Splash, 3600 * 1000);
}

void TestFrmSplash::cleanup()
{
    m_session.reset();
}

void TestFrmSplash::texts_data()
{
    QTest::addColumn<QString>("usuario");
    QTest::addColumn<QString>("greeting");
    QTest::newRow("name") << "ana" << QStringLiteral("Bienvenid@ ana");
    QTest::newRow("blanks") << "  " << QStringLiteral("Bienvenid@   ");
    QTest::newRow("accents") << QStringLiteral("José Ñúñez") << QStringLiteral("Bienvenid@ José Ñúñez");
}

void TestFrmSplash::texts()
{
    QFETCH(QString, usuario);
    QFETCH(QString, greeting);
    Module1::usuario = usuario;
    FrmSplash *splash = Forms::frmSplash();
    splash->show();

    QCOMPARE(splash->lblLicenseTo->text(), greeting);
    QCOMPARE(splash->lblLicenseTo1->text(), greeting);
    QCOMPARE(splash->lblVersion->text(), QStringLiteral("Versión: 3.0.2004"));
    QCOMPARE(splash->lblProductName->text(), QStringLiteral("Sentalia"));
    QCOMPARE(splash->lblPlatform->text(), QStringLiteral("Windows® 98SE/2000/Me/XP"));
    QCOMPARE(splash->Label1->text(), QStringLiteral("Cargando, espere...."));
    QVERIFY(!splash->lblCompanyProduct->text().isEmpty());
    // Before the first tick: the bare "%" and an empty bar.
    QCOMPARE(splash->lblWarning->text(), QStringLiteral("%"));
    QCOMPARE(splash->pbr1->value(), 0);
    QCOMPARE(splash->pbr1->minimum(), 0);
    QCOMPARE(splash->pbr1->maximum(), 100);
    QVERIFY(splash->Timer1->isActive());
    QCOMPARE(splash->Timer1->interval(), 3600 * 1000);
}

void TestFrmSplash::greetingKeepsItsSize()
{
    // The longest name is cut at the greeting's place, not let out of it.
    Module1::usuario = QString(30, QLatin1Char('W'));
    FrmSplash *splash = Forms::frmSplash();
    for (QLabel *greeting : {splash->lblLicenseTo, splash->lblLicenseTo1}) {
        QCOMPARE(greeting->text(), QStringLiteral("Bienvenid@ ") + Module1::usuario);
        QVERIFY(splash->rect().contains(greeting->geometry()));
        QVERIFY(greeting->fontMetrics().horizontalAdvance(greeting->text()) > greeting->width());
        QVERIFY(greeting->fontMetrics().height() <= greeting->height());
    }
}

void TestFrmSplash::progress()
{
    Module1::usuario = QStringLiteral("ana");
    auto *counter = new ShowCounter;
    MdiInicio *main = Forms::mdiinicio();
    main->installEventFilter(counter);
    FrmSplash *splash = Forms::frmSplash();
    splash->show();

    QStringList seen;
    for (int tick = 1; tick <= 50; ++tick) {
        splash->Timer1_Timer();
        QCOMPARE(splash->pbr1->value(), 2 * tick);
        seen << splash->lblWarning->text();
        QVERIFY2(!main->isVisible(), qPrintable(QStringLiteral("main window shown on tick %1").arg(tick)));
    }
    QStringList expected;
    for (int value = 2; value <= 100; value += 2)
        expected << QString::number(value) + QLatin1Char('%');
    QCOMPARE(seen, expected);
    QVERIFY(splash->isVisible());

    splash->Timer1_Timer();
    QVERIFY(main->isVisible());
    QVERIFY(main->isMaximized());
    QCOMPARE(counter->shows, 1);
    QVERIFY(!splash->Timer1->isActive());
    QTRY_VERIFY(!Forms::frmSplashLoaded());
    QCOMPARE(counter->shows, 1);
    main->removeEventFilter(counter);
    delete counter;
}

void TestFrmSplash::runsByItself()
{
    Timings::setInterval(Timings::Timer::Splash, 1);
    Module1::usuario = QStringLiteral("ana");
    Forms::frmSplash()->show();
    QTRY_VERIFY(!Forms::frmSplashLoaded());
    QVERIFY(Forms::mdiinicio()->isVisible());
}

void TestFrmSplash::keysDoNotCloseIt()
{
    FrmSplash *splash = Forms::frmSplash();
    splash->show();
    QTest::keyClick(splash, Qt::Key_Escape);
    QVERIFY(!splash->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(Forms::frmSplashLoaded(), splash);
    QVERIFY(splash->isVisible());
    QVERIFY(splash->Timer1->isActive());
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
