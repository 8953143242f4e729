// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: what a screen reader meets, the authors' panel and its
// clicks, the links, the system-information launcher (by click and by its
// access key) and the registry look-up behind it.

#include "GuiSession.h"
#include "MemoryRegistry.h"
#include "app/Forms.h"
#include "dialogs/Desktop.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/Registry.h"
#include "skin/Artwork.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"

#include <QAccessible>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QtTest>

namespace {

const QString Unavailable = QStringLiteral("La información del sistema no está disponible en este momento");
const QByteArray ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr quint32 HKLM = Registry::LocalMachine;

} // namespace

class TestFrmAbout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opening();
    void controls_data();
    void controls();
    void panelClicks_data();
    void panelClicks();
    void panelCoversTheAuthorLines();
    void everyWayOfClosingDestroys_data();
    void everyWayOfClosingDestroys();

    void getKeyValue_data();
    void getKeyValue();
    void startSysInfo_data();
    void startSysInfo();
    void systemRegistryOfThisPlatform();

private:
    FrmAbout *openBox();

    std::unique_ptr<GuiSession> m_session;
    MemoryRegistry m_registry;
    QList<QUrl> m_opened;
    QStringList m_started;
    QSet<QString> m_files;
};

void TestFrmAbout::init()
{
    m_session = std::make_unique<GuiSession>();
    m_registry = MemoryRegistry();
    Registry::setCurrent(&m_registry);
    m_opened.clear();
    m_started.clear();
    m_files.clear();
    Desktop::setOpenUrlHook([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
    // A program starts when its file is there, as on a real system.
    Desktop::setStartProgramHook([this](const QString &path) {
        m_started << path;
        return m_files.contains(path);
    });
    Desktop::setFileExistsHook([this](const QString &path) { return m_files.contains(path); });
}

void TestFrmAbout::cleanup()
{
    m_session.reset();
    Registry::setCurrent(nullptr);
    Desktop::setOpenUrlHook(nullptr);
    Desktop::setStartProgramHook(nullptr);
    Desktop::setFileExistsHook(nullptr);
}

FrmAbout *TestFrmAbout::openBox()
{
    FrmAbout *box = Forms::frmAbout();
    box->show();
    if (!QTest::qWaitForWindowExposed(box))
        return nullptr;
    return box;
}

void TestFrmAbout::opening()
{
    FrmAbout *box = openBox();
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Acerca de Sentalia"));
    QCOMPARE(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name), QStringLiteral("Acerca de Sentalia"));
    QVERIFY(!box->findChild<QLabel *>(QStringLiteral("lblDescription"))->text().isEmpty());
    QTRY_COMPARE(QApplication::focusWidget(), box->findChild<QPushButton *>(QStringLiteral("cmdOK")));

    // The panel is hidden at every opening, even after it was shown.
    auto *fra = box->findChild<QFrame *>(QStringLiteral("fra"));
    QVERIFY(!fra->isVisible());
    QTest::mouseClick(box->findChild<QLabel *>(QStringLiteral("Label5")), Qt::LeftButton);
    QVERIFY(fra->isVisible());
    box->close();
    QTRY_VERIFY(!Forms::frmAboutLoaded());
    box = openBox();
    QVERIFY(!box->findChild<QFrame *>(QStringLiteral("fra"))->isVisible());
}

// What the box shows as a screen reader meets it; the links look like
// links: underlined, with the hand pointer, and the addresses open on the
// desktop, the box staying as it was.
void TestFrmAbout::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("accessibleName");
    QTest::addColumn<QString>("accessKey");
    QTest::addColumn<QUrl>("opens"); // what a click hands to the desktop

    const int text = QAccessible::StaticText;
    const int button = QAccessible::Button;
    const int link = QAccessible::Link;
    const QUrl none;
    QTest::newRow("title") << "lbltitle2" << text << "Acerca de Sentalia" << "" << none;
    QTest::newRow("program") << "lblTitle" << text << "Sentalia" << "" << none;
    QTest::newRow("version") << "lblVersion" << text << QStringLiteral("Versión 3.0.2004") << "" << none;
    QTest::newRow("authors") << "lblDisclaimer" << text << "Autor: el equipo de Sentalia" << "" << none;
    QTest::newRow("Aceptar") << "cmdOK" << button << "Aceptar" << "Enter" << none; // the default button
    QTest::newRow("system information") << "cmdSysInfo" << button << "Info. del sistema..." << "Alt+I" << none;
    QTest::newRow("close picture") << "Image13" << button << "Cerrar" << "" << none;
    QTest::newRow("panel link") << "Label5" << link << "Equipo" << "" << none;
    QTest::newRow("web page") << "Label9" << link << FrmAbout::WebAddress << ""
                              << QUrl(QStringLiteral("https://sentalia.example.org/"));
    QTest::newRow("mail, on the panel") << "Label8" << link << FrmAbout::MailAddress << ""
                                        << QUrl(QStringLiteral("mailto:equipo@sentalia.example.org"));
}

void TestFrmAbout::controls()
{
    QFETCH(QString, name);
    QFETCH(int, role);
    QFETCH(QString, accessibleName);
    QFETCH(QString, accessKey);
    QFETCH(QUrl, opens);

    FrmAbout *box = openBox();
    QVERIFY(box);
    auto *control = box->findChild<QWidget *>(name);
    QVERIFY(control);
    const bool onPanel = box->fra->isAncestorOf(control);
    if (onPanel)
        QTest::mouseClick(box->Label5, Qt::LeftButton);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    QVERIFY(QAccessible::queryAccessibleInterface(control->parentWidget())->indexOfChild(iface) >= 0);
    QCOMPARE(int(iface->role()), role);
    QCOMPARE(iface->text(QAccessible::Name), accessibleName);
    QCOMPARE(iface->text(QAccessible::Accelerator), accessKey);
    if (role == QAccessible::Link) {
        QVERIFY(control->font().underline());
        QCOMPARE(control->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(control->cursor().hotSpot(), QPoint(Artwork::CursorHandHotX, Artwork::CursorHandHotY));
    }
    if (opens.isEmpty())
        return;
    QCOMPARE(qobject_cast<QLabel *>(control)->text(),
             opens.scheme() == QLatin1String("mailto") ? opens.path() : opens.toString());
    QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(m_opened, QList<QUrl>{opens});
    QVERIFY(Forms::frmAboutLoaded());
    QVERIFY(box->isVisible());
    QCOMPARE(box->fra->isVisible(), onPanel);
}

void TestFrmAbout::panelClicks_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("panelAfter");
    QTest::addColumn<bool>("boxOpenAfter");

    QTest::newRow("panel itself") << QStringLiteral("fra") << false << true;
    for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Label7", "Image1"})
        QTest::newRow(name) << QString::fromLatin1(name) << false << true;
    QTest::newRow("mail line") << QStringLiteral("Label8") << true << true;
    QTest::newRow("large picture") << QStringLiteral("Image14") << false << false;
}

void TestFrmAbout::panelClicks()
{
    QFETCH(QString, target);
    QFETCH(bool, panelAfter);
    QFETCH(bool, boxOpenAfter);

    FrmAbout *box = openBox();
    QVERIFY(box);
    auto *fra = box->findChild<QFrame *>(QStringLiteral("fra"));
    QTest::mouseClick(box->findChild<QLabel *>(QStringLiteral("Label5")), Qt::LeftButton);
    QVERIFY(fra->isVisible());

    QWidget *widget = target == QLatin1String("fra") ? fra : box->findChild<QWidget *>(target);
    QVERIFY(widget);
    QPoint where = widget->rect().center();
    if (widget == fra) {
        // A spot of the panel no label or picture covers.
        where = QPoint(fra->width() - 4, fra->height() - 4);
        QCOMPARE(fra->childAt(where), nullptr);
    } else {
        // The click lands on the control itself, not on something above it.
        QCOMPARE(fra->childAt(widget->mapTo(fra, where)), widget);
        // A screen reader meets a button (the mail line a link) with a name.
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(iface->role(), target == QLatin1String("Label8") ? QAccessible::Link : QAccessible::Button);
        QVERIFY(!iface->text(QAccessible::Name).isEmpty());
        QCOMPARE(iface->actionInterface()->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
    }
    QTest::mouseClick(widget, Qt::LeftButton, {}, where);

    if (boxOpenAfter) {
        QVERIFY(Forms::frmAboutLoaded());
        QCOMPARE(fra->isVisible(), panelAfter);
    } else {
        QTRY_VERIFY(!Forms::frmAboutLoaded());
    }
}

void TestFrmAbout::panelCoversTheAuthorLines()
{
    FrmAbout *box = openBox();
    QVERIFY(box);
    QTest::mouseClick(box->findChild<QLabel *>(QStringLiteral("Label5")), Qt::LeftButton);
    auto *fra = box->findChild<QFrame *>(QStringLiteral("fra"));
    QVERIFY(fra->isVisible());

    // Under the panel: what lies between the top of the icon and the web line.
    for (const char *name : {"picIcon", "lblTitle", "lblVersion", "lblDescription", "Label6", "lblDisclaimer", "Label5",
                             "Label9"}) {
        auto *covered = box->findChild<QWidget *>(QLatin1String(name));
        const QPoint centre = covered->mapTo(box, covered->rect().center());
        QWidget *top = box->childAt(centre);
        QVERIFY2(top == fra || fra->isAncestorOf(top), name);
        // A screen reader does not meet it, nor can it press it.
        QAccessibleInterface *boxIface = QAccessible::queryAccessibleInterface(box);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(covered);
        QVERIFY2(boxIface->indexOfChild(iface) == -1, name);
        if (qobject_cast<PictureLabel *>(covered)) {
            QVERIFY2(iface->state().invisible, name);
            QVERIFY2(iface->actionInterface()->actionNames().isEmpty(), name);
        }
    }
    // The panel shows its own texts.
    QVERIFY(QAccessible::queryAccessibleInterface(box)->indexOfChild(QAccessible::queryAccessibleInterface(fra)) >= 0);
    QVERIFY(QAccessible::queryAccessibleInterface(fra)->childCount() > 0);
    // Beside it: the buttons, the title and the close picture.
    for (const char *name : {"cmdOK", "cmdSysInfo", "lbltitle2", "Image13"}) {
        auto *beside = box->findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(!fra->geometry().intersects(beside->geometry()), name);
    }
    // In it: the author lines end before the picture's left edge, and the
    // wrapping note starts at its top, not centred in its box.
    const int pictureLeft = box->findChild<QWidget *>(QStringLiteral("Image1"))->geometry().left();
    for (const char *name : {"Label1", "Label2", "Label3", "Label4"}) {
        auto *line = box->findChild<QLabel *>(QLatin1String(name));
        QVERIFY2(line->geometry().right() < pictureLeft, qPrintable(line->text()));
    }
    auto *note = box->findChild<QLabel *>(QStringLiteral("Label7"));
    const int textHeight =
        note->fontMetrics().boundingRect(note->contentsRect(), Qt::TextWordWrap, note->text()).height();
    QVERIFY(note->height() - textHeight >= 8);
    const QImage shown = note->grab().toImage();
    int firstInk = -1;
    for (int y = 0; y < shown.height() && firstInk < 0; ++y)
        for (int x = 0; x < shown.width() && firstInk < 0; ++x)
            if (qAlpha(shown.pixel(x, y)) > 128 && qGray(shown.pixel(x, y)) < 100)
                firstInk = y;
    QVERIFY(firstInk >= 0);
    QVERIFY2(firstInk < (note->height() - textHeight) / 2, qPrintable(QString::number(firstInk)));
}

void TestFrmAbout::everyWayOfClosingDestroys_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Aceptar") << QStringLiteral("cmdOK");
    QTest::newRow("close picture") << QStringLiteral("Image13");
    QTest::newRow("Enter") << QStringLiteral("Enter");
    QTest::newRow("Esc") << QStringLiteral("Esc");
}

void TestFrmAbout::everyWayOfClosingDestroys()
{
    QFETCH(QString, way);
    FrmAbout *box = openBox();
    QVERIFY(box);
    QPointer<FrmAbout> watch(box);
    if (way == QLatin1String("Enter"))
        QTest::keyClick(box, Qt::Key_Return);
    else if (way == QLatin1String("Esc"))
        QTest::keyClick(box, Qt::Key_Escape);
    else
        QTest::mouseClick(box->findChild<QWidget *>(way), Qt::LeftButton);
    QTRY_VERIFY(watch.isNull());
    QVERIFY(!Forms::frmAboutLoaded());
    QVERIFY(MessageBox::recorded().isEmpty());
}

void TestFrmAbout::getKeyValue_data()
{
    QTest::addColumn<QByteArray>("data");   // empty with type 0: no such value
    QTest::addColumn<quint32>("type");
    QTest::addColumn<bool>("keyExists");
    QTest::addColumn<quint32>("allowed");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("value");

    const quint32 all = 0xFFFFFFFFu;
    const QString before = QStringLiteral("antes");
    auto sz = [](const QByteArray &text) { return text + QByteArray(1, '\0'); };

    QTest::newRow("string with its NUL") << sz("C:\\Archivos\\msinfo32.exe") << Registry::TypeString << true << all << true
                                         << QStringLiteral("C:\\Archivos\\msinfo32.exe");
    QTest::newRow("string without a NUL") << QByteArray("C:\\Herramientas") << Registry::TypeString << true << all << true
                                          << QStringLiteral("C:\\Herramientas");
    QTest::newRow("empty string") << sz("") << Registry::TypeString << true << all << true << QString();
    QTest::newRow("zero bytes") << QByteArray() << Registry::TypeString << true << all << true << QString();
    QTest::newRow("only the last NUL goes") << sz(QByteArray("uno\0dos", 7)) << Registry::TypeString << true << all << true
                                            << QString::fromLatin1("uno\0dos", 7);
    QTest::newRow("1023 characters fill the buffer") << sz(QByteArray(1023, 'x')) << Registry::TypeString << true << all
                                                     << true << QString(1023, u'x');
    QTest::newRow("1024 characters do not fit") << sz(QByteArray(1024, 'x')) << Registry::TypeString << true << all
                                                << false << QString();
    QTest::newRow("accented text") << sz(QByteArray("Informaci\xf3n")) << Registry::TypeString << true << all << true
                                   << QString::fromLocal8Bit(QByteArray("Informaci\xf3n"));
    QTest::newRow("number 1") << QByteArray("\x01\x00\x00\x00", 4) << Registry::TypeDword << true << all << true
                              << QStringLiteral("1");
    QTest::newRow("number 256") << QByteArray("\x00\x01\x00\x00", 4) << Registry::TypeDword << true << all << true
                                << QStringLiteral("256");
    QTest::newRow("number 0x12345678") << QByteArray("\x78\x56\x34\x12", 4) << Registry::TypeDword << true << all << true
                                       << QStringLiteral("305419896");
    QTest::newRow("number 0xFFFFFFFF") << QByteArray("\xff\xff\xff\xff", 4) << Registry::TypeDword << true << all << true
                                       << QStringLiteral("4294967295");
    QTest::newRow("expandable string kept out") << sz("%SystemRoot%") << Registry::TypeExpandString << true << all << true
                                                << before;
    QTest::newRow("binary kept out") << QByteArray("\x01\x02", 2) << Registry::TypeBinary << true << all << true << before;
    QTest::newRow("no such value") << QByteArray() << Registry::TypeNone << true << all << false << QString();
    QTest::newRow("no such key") << QByteArray() << Registry::TypeNone << false << all << false << QString();
    QTest::newRow("key refuses the rights asked") << sz("C:\\x") << Registry::TypeString << true
                                                  << (Registry::QueryValue | Registry::EnumerateSubKeys | Registry::Notify |
                                                      Registry::ReadControl)
                                                  << false << QString();
}

void TestFrmAbout::getKeyValue()
{
    QFETCH(QByteArray, data);
    QFETCH(quint32, type);
    QFETCH(bool, keyExists);
    QFETCH(quint32, allowed);
    QFETCH(bool, result);
    QFETCH(QString, value);

    const QByteArray key = "SOFTWARE\\Sentalia\\Prueba";
    if (keyExists) {
        m_registry.addKey(HKLM, key, allowed);
        if (type != Registry::TypeNone)
            m_registry.setValue(HKLM, key, "Valor", type, data);
    }

    FrmAbout *box = Forms::frmAbout();
    QString KeyVal = QStringLiteral("antes");
    QCOMPARE(box->GetKeyValue(HKLM, QString::fromLatin1(key), QStringLiteral("Valor"), KeyVal), result);
    QCOMPARE(KeyVal, value);
    QCOMPARE(m_registry.accessRequested(), QList<quint32>{0x2003F});
    QCOMPARE(m_registry.openKeys(), 0);
}

void TestFrmAbout::startSysInfo_data()
{
    QTest::addColumn<QByteArray>("toolPath");   // null: not registered
    QTest::addColumn<QByteArray>("folder");     // null: not registered
    QTest::addColumn<QStringList>("files");     // what exists on disk
    QTest::addColumn<QStringList>("started");   // start attempts
    QTest::addColumn<bool>("message");
    QTest::addColumn<int>("folderLookups");
    QTest::addColumn<bool>("accessKey"); // Alt+I instead of a click

    const QString tool = QStringLiteral("C:\\Archivos\\Microsoft Shared\\MSInfo\\msinfo32.exe");
    const QString inFolder = QStringLiteral("C:\\Herramientas\\MSINFO32.EXE");

    QTest::newRow("full path registered") << tool.toLatin1() << QByteArray() << QStringList{tool} << QStringList{tool}
                                          << false << 0 << false;
    QTest::newRow("full path wins over the folder") << tool.toLatin1() << QByteArray("C:\\Herramientas")
                                                    << QStringList{tool, inFolder} << QStringList{tool} << false << 0
                                                    << false;
    QTest::newRow("empty path: start fails, folder not tried") << QByteArray("") << QByteArray("C:\\Herramientas")
                                                               << QStringList{inFolder} << QStringList{QString()} << true
                                                               << 0 << false;
    QTest::newRow("registered tool will not start") << tool.toLatin1() << QByteArray() << QStringList{} << QStringList{tool}
                                                    << true << 0 << false;
    QTest::newRow("folder holds the tool") << QByteArray() << QByteArray("C:\\Herramientas") << QStringList{inFolder}
                                           << QStringList{inFolder} << false << 1 << false;
    QTest::newRow("folder lacks the tool") << QByteArray() << QByteArray("C:\\Vacia") << QStringList{inFolder}
                                           << QStringList{} << true << 1 << false;
    QTest::newRow("nothing registered") << QByteArray() << QByteArray() << QStringList{tool, inFolder} << QStringList{}
                                        << true << 1 << false;
    QTest::newRow("Alt+I presses the button") << tool.toLatin1() << QByteArray() << QStringList{tool}
                                              << QStringList{tool} << false << 0 << true;
}

void TestFrmAbout::startSysInfo()
{
    QFETCH(QByteArray, toolPath);
    QFETCH(QByteArray, folder);
    QFETCH(QStringList, files);
    QFETCH(QStringList, started);
    QFETCH(bool, message);
    QFETCH(int, folderLookups);
    QFETCH(bool, accessKey);

    if (!toolPath.isNull())
        m_registry.setString(HKLM, ToolKey, "PATH", toolPath);
    if (!folder.isNull())
        m_registry.setString(HKLM, FolderKey, "MSINFO", folder);
    m_files = QSet<QString>(files.begin(), files.end());

    FrmAbout *box = openBox();
    QVERIFY(box);
    auto *cmdSysInfo = box->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"));
    QSignalSpy pressed(cmdSysInfo, &QPushButton::clicked);
    if (accessKey) {
        box->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(box));
        QTest::keyClick(box, Qt::Key_I, Qt::AltModifier);
    } else {
        QTest::mouseClick(cmdSysInfo, Qt::LeftButton);
    }
    QTRY_COMPARE(pressed.count(), 1);

    QCOMPARE(m_started, started);
    const QList<MessageBox::Record> shown = MessageBox::recorded();
    QCOMPARE(shown.size(), message ? 1 : 0);
    if (message) {
        QCOMPARE(shown.first().text, Unavailable);
        QCOMPARE(shown.first().icon, MessageBox::Icon::NoIcon);
        QCOMPARE(shown.first().title, QStringLiteral("Sentalia"));
    }
    QCOMPARE(m_registry.keysRequested().count(FolderKey), folderLookups);
    QCOMPARE(m_registry.keysRequested().first(), ToolKey);
    QVERIFY(box->isVisible());
    QCOMPARE(m_registry.openKeys(), 0);
}

void TestFrmAbout::systemRegistryOfThisPlatform()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has a real registry");
#else
    // No registry here: the look-up fails and the user is told so.
    Registry::setCurrent(nullptr);
    FrmAbout *box = openBox();
    QVERIFY(box);
    QString KeyVal = QStringLiteral("antes");
    QVERIFY(!box->GetKeyValue(HKLM, QString::fromLatin1(ToolKey), QStringLiteral("PATH"), KeyVal));
    QCOMPARE(KeyVal, QString());
    box->StartSysInfo();
    QCOMPARE(MessageBox::recorded().size(), 1);
    QCOMPARE(MessageBox::recorded().first().text, Unavailable);
    QVERIFY(m_started.isEmpty());
#endif
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
