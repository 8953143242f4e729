// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: it opens at the entry page beside the program, follows
// the pages' links inside its view, hands web and mail addresses to the
// desktop, and starts again at the entry page on every opening.

#include "GuiSession.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "dialogs/Desktop.h"
#include "dialogs/FrmTemas.h"
#include "skin/PictureLabel.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QtTest>

namespace {

const QString SourcePages = QStringLiteral(SENTALIA_SOURCE_DIR "/resources/Ayuda");

bool copyFolder(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    const QStringList files = QDir(from).entryList(QDir::Files);
    for (const QString &file : files) {
        if (!QFile::copy(from + u'/' + file, to + u'/' + file))
            return false;
    }
    return !files.isEmpty();
}

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(text.toUtf8()) > 0;
}

// Where the link with this address shows in the view, scrolled into sight.
QPoint linkPoint(QTextBrowser *web, const QString &href)
{
    for (QTextBlock block = web->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(web->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            web->setTextCursor(cursor);
            web->ensureCursorVisible();
            return web->cursorRect(cursor).center();
        }
    }
    return {-1, -1};
}

} // namespace

class TestFrmTemas : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensAtTheEntryPage();
    void startsAgainAtTheEntryPageAfterFollowingALink();
    void linksOpenInTheViewOrOnTheDesktop_data();
    void linksOpenInTheViewOrOnTheDesktop();
    void missingEntryPageIsSaidInTheView();
    void rootFolderAddressNamesAFile();
    void onlyTheClosePictureCloses_data();
    void onlyTheClosePictureCloses();
    void buildCopiesTheHelpPagesBesideTheProgram();

private:
    FrmTemas *openHelp();
    bool clickLink(FrmTemas *help, const QString &href);

    std::unique_ptr<GuiSession> m_session;
    QString m_pages;
    QList<QUrl> m_opened;
};

void TestFrmTemas::init()
{
    m_session = std::make_unique<GuiSession>(QStringLiteral("quotes.mdb"), false);
    m_pages = Module1::programFolder() + QStringLiteral("/Ayuda");
    m_opened.clear();
    Desktop::setOpenUrlHook([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
}

void TestFrmTemas::cleanup()
{
    m_session.reset();
    Desktop::setOpenUrlHook(nullptr);
}

FrmTemas *TestFrmTemas::openHelp()
{
    FrmTemas *help = Forms::frmtemas();
    help->show();
    if (!QTest::qWaitForWindowExposed(help))
        return nullptr;
    return help;
}

bool TestFrmTemas::clickLink(FrmTemas *help, const QString &href)
{
    const QPoint where = linkPoint(help->web, href);
    if (where.x() < 0)
        return false;
    QTest::mouseClick(help->web->viewport(), Qt::LeftButton, {}, where);
    return true;
}

void TestFrmTemas::opensAtTheEntryPage()
{
    QVERIFY(copyFolder(SourcePages, m_pages));
    FrmTemas *help = openHelp();
    QVERIFY(help);

    QCOMPARE(FrmTemas::entryAddress(), Module1::programFolder() + QStringLiteral("/Ayuda/default.htm"));
    QCOMPARE(help->web->source(), QUrl::fromLocalFile(m_pages + QStringLiteral("/default.htm")));
    QCOMPARE(help->web->documentTitle(), QStringLiteral("Ayuda de Sentalia"));
    QVERIFY(help->web->toPlainText().contains(QStringLiteral("Bienvenido a Sentalia")));

    // The view lies inside the window, under the title, the badge and the
    // close picture, and takes the clicks at its place.
    const QRect view = help->web->geometry();
    QVERIFY(help->rect().contains(view));
    for (const char *above : {"Label1", "Label2", "Image9", "Image15"}) {
        auto *label = help->findChild<QLabel *>(QLatin1String(above));
        QVERIFY2(label && label->geometry().bottom() < view.top(), above);
    }
    QVERIFY(help->web->isAncestorOf(help->childAt(view.center())));
    QCOMPARE(help->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("Temas de Ayuda"));
    QCOMPARE(help->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("Temas de Ayuda"));
    QCOMPARE(help->findChild<QLabel *>(QStringLiteral("Image9"))->toolTip(), QStringLiteral("Cerrar"));
}

void TestFrmTemas::startsAgainAtTheEntryPageAfterFollowingALink()
{
    QVERIFY(copyFolder(SourcePages, m_pages));
    FrmTemas *help = openHelp();
    QVERIFY(help);
    QVERIFY(clickLink(help, QStringLiteral("buscar_autor.htm")));
    QTRY_COMPARE(help->web->source().fileName(), QStringLiteral("buscar_autor.htm"));
    QVERIFY(clickLink(help, QStringLiteral("resultados.htm")));
    QTRY_COMPARE(help->web->source().fileName(), QStringLiteral("resultados.htm"));
    QVERIFY(m_opened.isEmpty());

    QPointer<FrmTemas> watch(help);
    QTest::mouseClick(help->findChild<PictureLabel *>(QStringLiteral("Image9")), Qt::LeftButton);
    QTRY_VERIFY(watch.isNull());
    QVERIFY(!Forms::frmtemasLoaded());

    help = openHelp();
    QVERIFY(help);
    QCOMPARE(help->web->source(), QUrl::fromLocalFile(m_pages + QStringLiteral("/default.htm")));
    QCOMPARE(help->web->documentTitle(), QStringLiteral("Ayuda de Sentalia"));
}

void TestFrmTemas::rootFolderAddressNamesAFile()
{
    // The address keeps its two separators; the view still reads a file of
    // this machine, not one on a host called "Ayuda".
    Module1::setProgramFolder(QStringLiteral("/"));
    QCOMPARE(FrmTemas::entryAddress(), QStringLiteral("//Ayuda/default.htm"));
    FrmTemas *help = openHelp();
    QVERIFY(help);
    const QUrl source = help->web->source();
    QVERIFY2(source.isLocalFile() && source.host().isEmpty(), qPrintable(source.toString()));
    QCOMPARE(source.toLocalFile(), QStringLiteral("/Ayuda/default.htm"));
}

void TestFrmTemas::onlyTheClosePictureCloses_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("closes");
    QTest::newRow("close picture") << QStringLiteral("Image9") << true;
    QTest::newRow("Esc in the view") << QStringLiteral("Esc") << false;
}

void TestFrmTemas::onlyTheClosePictureCloses()
{
    QFETCH(QString, way);
    QFETCH(bool, closes);

    QVERIFY(copyFolder(SourcePages, m_pages));
    FrmTemas *help = openHelp();
    QVERIFY(help);
    QPointer<FrmTemas> watch(help);
    if (way == QLatin1String("Esc")) {
        help->web->setFocus();
        QTest::keyClick(help->web, Qt::Key_Escape);
    } else {
        QTest::mouseClick(help->findChild<PictureLabel *>(way), Qt::LeftButton);
    }
    if (closes) {
        QTRY_VERIFY(watch.isNull());
    } else {
        QCoreApplication::processEvents();
        QVERIFY(!watch.isNull());
        QVERIFY(help->isVisible());
    }
}

void TestFrmTemas::linksOpenInTheViewOrOnTheDesktop_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("page");   // where the view goes; empty: it stays
    QTest::addColumn<QUrl>("desktop");   // what the desktop receives

    QTest::newRow("page beside") << QStringLiteral("otra.htm") << QStringLiteral("otra.htm") << QUrl();
    QTest::newRow("part of a page") << QStringLiteral("otra.htm#parte") << QStringLiteral("otra.htm#parte") << QUrl();
    QTest::newRow("web page") << QStringLiteral("http://sentalia.example.org/novedades.htm") << QString()
                              << QUrl(QStringLiteral("http://sentalia.example.org/novedades.htm"));
    QTest::newRow("secure web page") << QStringLiteral("https://sentalia.example.org/") << QString()
                                     << QUrl(QStringLiteral("https://sentalia.example.org/"));
    QTest::newRow("mail") << QStringLiteral("mailto:equipo@sentalia.example.org") << QString()
                          << QUrl(QStringLiteral("mailto:equipo@sentalia.example.org"));
}

void TestFrmTemas::linksOpenInTheViewOrOnTheDesktop()
{
    QFETCH(QString, href);
    QFETCH(QString, page);
    QFETCH(QUrl, desktop);

    QVERIFY(QDir().mkpath(m_pages));
    QVERIFY(writeFile(m_pages + QStringLiteral("/default.htm"),
                      QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Entrada</title></head><body>"
                                     "<p><a href=\"%1\">El enlace</a></p></body></html>")
                          .arg(href.toHtmlEscaped())));
    QString filler;
    for (int i = 0; i < 80; ++i)
        filler += QStringLiteral("<p>Relleno %1</p>").arg(i);
    QVERIFY(writeFile(m_pages + QStringLiteral("/otra.htm"),
                      QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Otra</title></head><body>%1"
                                     "<h2><a name=\"parte\">Parte</a></h2><p>Fin</p></body></html>")
                          .arg(filler)));

    FrmTemas *help = openHelp();
    QVERIFY(help);
    QCOMPARE(help->web->documentTitle(), QStringLiteral("Entrada"));
    QVERIFY(clickLink(help, href));

    if (page.isEmpty()) {
        QTRY_COMPARE(m_opened, QList<QUrl>{desktop});
        QCOMPARE(help->web->source().fileName(), QStringLiteral("default.htm"));
        QCOMPARE(help->web->documentTitle(), QStringLiteral("Entrada"));
    } else {
        const QUrl expected = QUrl::fromLocalFile(m_pages + u'/').resolved(QUrl(page));
        QTRY_COMPARE(help->web->source(), expected);
        QCOMPARE(help->web->documentTitle(), QStringLiteral("Otra"));
        QVERIFY(m_opened.isEmpty());
        if (expected.hasFragment()) // scrolled down to the part
            QVERIFY(help->web->verticalScrollBar()->value() > 0);
    }
    QVERIFY(help->isVisible());
}

void TestFrmTemas::missingEntryPageIsSaidInTheView()
{
    FrmTemas *help = openHelp();
    QVERIFY(help);
    const QString text = help->web->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("No se encontró la página de ayuda")), qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(m_pages + QStringLiteral("/default.htm"))), qPrintable(text));

    QPointer<FrmTemas> watch(help);
    QTest::mouseClick(help->findChild<PictureLabel *>(QStringLiteral("Image9")), Qt::LeftButton);
    QTRY_VERIFY(watch.isNull());
}

void TestFrmTemas::buildCopiesTheHelpPagesBesideTheProgram()
{
    const QString built = QStringLiteral(SENTALIA_BUILD_DIR "/Ayuda");
    const QStringList files = QDir(SourcePages).entryList(QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    QCOMPARE(QDir(built).entryList(QDir::Files, QDir::Name), files);
    for (const QString &file : files) {
        QFile a(SourcePages + u'/' + file), b(built + u'/' + file);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY2(a.readAll() == b.readAll(), qPrintable(file));
    }
}

QTEST_MAIN(TestFrmTemas)
#include "tst_frmtemas.moc"
