// SPDX-License-Identifier: GPL-3.0-or-later
#include "browse/RichTextView.h"
#include "skin/Skin.h"

#include <QAccessible>
#include <QApplication>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QClipboard>
#include <QScrollBar>

namespace {
const QString CR(QChar(13));
const QString LF(QChar(10));
// Record blocks with lone CRs, and lines ended by CR LF pairs.
const QString Blocks = QStringLiteral("Uno") + CR + QStringLiteral("--A--") + CR + CR + QStringLiteral("Dos");
const QString Pairs = QStringLiteral("ab") + CR + LF + QStringLiteral("cd") + CR + LF + QStringLiteral("ef");

QStringList linesOf(const RichTextView &view)
{
    QStringList lines;
    for (qsizetype line = 0; line < view.lineCount(); ++line)
        lines << view.lineText(line);
    return lines;
}

// Shows VIEW with TEXT at SIZE; false if the window never showed.
bool shown(RichTextView &view, const QString &text, QSize size = QSize(300, 200))
{
    view.resize(size);
    view.setText(text);
    view.show();
    return QTest::qWaitForWindowExposed(&view);
}

// What the view told assistive tools, as "kind offset" (caret) and
// "kind start end" (selection).
QStringList &heardEvents()
{
    static QStringList events;
    return events;
}

void listen(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::TextCaretMoved)
        heardEvents() << QStringLiteral("caret %1").arg(static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition());
    else if (event->type() == QAccessible::TextSelectionChanged) {
        auto *selection = static_cast<QAccessibleTextSelectionEvent *>(event);
        heardEvents() << QStringLiteral("selection %1 %2").arg(selection->selectionStart()).arg(selection->selectionEnd());
    }
}
} // namespace

class TestRichTextView : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void selection_data();
    void selection();
    void keyboardSelection_data();
    void keyboardSelection();
    void mouseSelection();
    void longTextScrolls();
    void longLinesWrap();
    void look();
    void rightPressIsReportedWithoutMenu();
    void scrollBarsSetting();
};

void TestRichTextView::roundTrip_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << QString() << QStringList{QString()};
    QTest::newRow("one line") << QStringLiteral("hola") << QStringList{QStringLiteral("hola")};
    QTest::newRow("record blocks with lone CRs")
        << QStringLiteral("Uno") + CR + QStringLiteral("--A--") + CR + CR + QStringLiteral("Dos") + CR +
               QStringLiteral("--B--") + CR + CR
        << QStringList{QStringLiteral("Uno"), QStringLiteral("--A--"), QString(), QStringLiteral("Dos"),
                       QStringLiteral("--B--"), QString(), QString()};
    QTest::newRow("CR LF pair is one break") << QStringLiteral("a") + CR + LF + QStringLiteral("b")
                                             << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("LF CR is two breaks") << QStringLiteral("a") + LF + CR + QStringLiteral("b")
                                         << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    QTest::newRow("lone LF inside a quotation")
        << QStringLiteral("Texto con") + LF + QStringLiteral("salto") + CR + QStringLiteral("--Y--")
        << QStringList{QStringLiteral("Texto con"), QStringLiteral("salto"), QStringLiteral("--Y--")};
    QTest::newRow("leading and trailing CR") << CR + QStringLiteral("x") + CR
                                             << QStringList{QString(), QStringLiteral("x"), QString()};
    QTest::newRow("CR at the very end after a pair") << QStringLiteral("x") + CR + LF + CR
                                                     << QStringList{QStringLiteral("x"), QString(), QString()};
    QTest::newRow("accents and tabs") << QStringLiteral("Ñandú\tPérez") + CR + QStringLiteral("--ÉL--")
                                      << QStringList{QStringLiteral("Ñandú\tPérez"), QStringLiteral("--ÉL--")};
    QTest::newRow("line and paragraph separators")
        << QStringLiteral("a") + QChar(0x2028) + QStringLiteral("b") + QChar(0x2029) + QStringLiteral("c")
        << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    // Enough lines that most are found from a kept start some lines back,
    // with every kind of break on either side of the kept ones.
    const QStringList breaks{CR, CR + LF, LF, QString(QChar(0x2028)), CR, QString(QChar(0x2029)), LF + CR};
    QString many;
    QStringList manyLines;
    for (int i = 0; i < 70; ++i) {
        const QString line = i % 5 == 3 ? QString() : QStringLiteral("línea %1 — 가！").arg(i);
        many += line + breaks.at(i % breaks.size());
        manyLines << line;
        if (breaks.at(i % breaks.size()) == LF + CR)
            manyLines << QString();
    }
    manyLines << QString();
    QTest::newRow("seventy lines of every break") << many << manyLines;
}

void TestRichTextView::roundTrip()
{
    QFETCH(QString, given);
    QFETCH(QStringList, lines);

    RichTextView view;
    view.setText(QStringLiteral("something before"));
    view.selectAll();
    view.setText(given);

    QVERIFY(!view.hasSelection());
    QCOMPARE(view.text(), given);
    QCOMPARE(linesOf(view), lines);
    // A copy gives the lines with line feeds, whatever broke them.
    view.selectAll();
    QTest::keySequence(&view, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), lines.join(LF));

    // A listing indexes its lines as it grows, a piece at a time; a CR at
    // the end of one piece and an LF at the start of the next are a pair.
    QString grown;
    LineIndex pieces;
    for (const QChar c : given) {
        grown += c;
        pieces.append(grown, grown.size() - 1);
    }
    pieces.finish(grown.size());
    RichTextView built;
    built.setText(grown, std::move(pieces));
    QCOMPARE(linesOf(built), lines);

    // A screen reader reads the same text, character by character and line
    // by line, each line with its break; it takes only LF for a line end,
    // so every lone CR or separator reads as LF, offset for offset.
    QString heard = given;
    for (qsizetype i = 0; i < heard.size(); ++i) {
        if ((heard.at(i) == CR && (i + 1 == heard.size() || heard.at(i + 1) != LF)) || heard.at(i) == QChar(0x2028)
            || heard.at(i) == QChar(0x2029))
            heard[i] = LF.at(0);
    }
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&view);
    QVERIFY(iface && iface->textInterface());
    QCOMPARE(iface->role(), QAccessible::Document);
    QVERIFY(iface->state().readOnly);
    QAccessibleTextInterface *text = iface->textInterface();
    QCOMPARE(text->characterCount(), given.size());
    QCOMPARE(text->text(0, text->characterCount()), heard);
    int start = -1;
    int end = -1;
    for (int offset = 0; offset < given.size(); ++offset)
        QCOMPARE(text->textAtOffset(offset, QAccessible::CharBoundary, &start, &end), heard.mid(offset, 1));
    QStringList read;
    QString joined;
    int offset = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = text->textAtOffset(offset, QAccessible::LineBoundary, &start, &end);
        QCOMPARE(start, offset);
        joined += line;
        while (line.endsWith(CR) || line.endsWith(LF))
            line.chop(1);
        read << line;
        offset = end;
    }
    QCOMPARE(read, lines);
    QCOMPARE(joined, heard);
}

void TestRichTextView::selection_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");

    QTest::newRow("inside one line") << Blocks << 1 << 3 << QStringLiteral("no");
    QTest::newRow("over a lone CR") << Blocks << 2 << 7 << QStringLiteral("o") + CR + QStringLiteral("--A");
    QTest::newRow("everything") << Blocks << 0 << int(Blocks.size()) << Blocks;
    QTest::newRow("backwards") << Blocks << 7 << 2 << QStringLiteral("o") + CR + QStringLiteral("--A");

    QTest::newRow("pair inside") << Pairs << 1 << 5 << QStringLiteral("b") + CR + LF + QStringLiteral("c");
    QTest::newRow("ending on a pair") << Pairs << 4 << 8 << QStringLiteral("cd") + CR + LF;
    // A position between the CR and the LF of a pair is taken after it.
    QTest::newRow("between CR and LF") << Pairs << 3 << 8 << QStringLiteral("cd") + CR + LF;
    QTest::newRow("all of it") << Pairs << 0 << int(Pairs.size()) << Pairs;
    QTest::newRow("past the end") << Pairs << 6 << 99 << CR + LF + QStringLiteral("ef");
}

void TestRichTextView::selection()
{
    QFETCH(QString, given);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, expected);

    RichTextView view;
    view.setText(given);
    QVERIFY(!view.hasSelection());
    QCOMPARE(view.selectedText(), QString());

    view.setSelection(anchor, position);
    QVERIFY(view.hasSelection());
    QCOMPARE(view.selectedText(), expected);
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(&view)->textInterface();
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    QCOMPARE(view.text().mid(start, end - start), expected);
    QCOMPARE(text->text(start, end).size(), expected.size());
    // Reading leaves both the text and the selection alone.
    QCOMPARE(view.text(), given);
    QVERIFY(view.hasSelection());
}

void TestRichTextView::keyboardSelection_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QList<int>>("keys"); // key | modifiers
    QTest::addColumn<QString>("expected");
    // What assistive tools are told at the last key: the caret's move
    // always, the selection only when it changed.
    QTest::addColumn<QStringList>("events");

    const int shift = int(Qt::ShiftModifier);
    const int ctrl = int(Qt::ControlModifier);
    QTest::newRow("shift+right over a pair")
        << Pairs << QList<int>{int(Qt::Key_End), int(Qt::Key_Right) | shift, int(Qt::Key_Right) | shift}
        << CR + LF + QStringLiteral("c") << QStringList{"caret 5", "selection 2 5"};
    QTest::newRow("shift+down takes the break") << Pairs << QList<int>{int(Qt::Key_Down) | shift}
                                                << QStringLiteral("ab") + CR + LF
                                                << QStringList{"caret 4", "selection 0 4"};
    QTest::newRow("shift+end on the second line")
        << Pairs << QList<int>{int(Qt::Key_Down), int(Qt::Key_End) | shift} << QStringLiteral("cd")
        << QStringList{"caret 6", "selection 4 6"};
    QTest::newRow("down to the last line and to its end")
        << Blocks
        << QList<int>{int(Qt::Key_Down) | shift, int(Qt::Key_Down) | shift, int(Qt::Key_Down) | shift,
                      int(Qt::Key_End) | shift}
        << Blocks << QStringList{"caret 14", "selection 0 14"};
    QTest::newRow("shift+left back over a lone CR") << Blocks << QList<int>{int(Qt::Key_Down), int(Qt::Key_Left) | shift}
                                                    << CR << QStringList{"caret 3", "selection 3 4"};
    QTest::newRow("select all") << Blocks << QList<int>{int(Qt::Key_A) | ctrl} << Blocks
                                << QStringList{"caret 14", "selection 0 14"};
    QTest::newRow("down moves the caret only") << Blocks << QList<int>{int(Qt::Key_Down)} << QString()
                                               << QStringList{"caret 4"};
    QTest::newRow("right, one character") << Blocks << QList<int>{int(Qt::Key_Right)} << QString()
                                          << QStringList{"caret 1"};
    QTest::newRow("ctrl+end, the very end") << Blocks << QList<int>{int(Qt::Key_End) | ctrl} << QString()
                                            << QStringList{"caret 14"};
    QTest::newRow("ctrl+home back to the start")
        << Blocks << QList<int>{int(Qt::Key_Down), int(Qt::Key_Home) | ctrl} << QString() << QStringList{"caret 0"};
    QTest::newRow("a plain move ends a selection")
        << Blocks << QList<int>{int(Qt::Key_Right) | shift, int(Qt::Key_Right)} << QString()
        << QStringList{"caret 1", "selection 1 1"};
}

void TestRichTextView::keyboardSelection()
{
    QFETCH(QString, given);
    QFETCH(QList<int>, keys);
    QFETCH(QString, expected);
    QFETCH(QStringList, events);

    RichTextView view;
    QVERIFY(shown(view, given));
    // As when a screen reader listens: the events are made and sent.
    QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QAccessible::installUpdateHandler(listen);
    platform->setActive(true);
    for (int key : keys) {
        heardEvents().clear();
        QTest::keyClick(&view, Qt::Key(key & ~int(Qt::KeyboardModifierMask)),
                        Qt::KeyboardModifiers(key & int(Qt::KeyboardModifierMask)));
    }
    platform->setActive(false);
    QAccessible::installUpdateHandler(nullptr);
    QCOMPARE(heardEvents(), events);
    QCOMPARE(view.selectedText(), expected);
    QCOMPARE(view.text(), given);
}

void TestRichTextView::mouseSelection()
{
    RichTextView view;
    QVERIFY(shown(view, Blocks));

    // From the very start to far right of the second line.
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(1, 5));
    QMouseEvent drag(QEvent::MouseMove, QPointF(290, 5 + view.fontMetrics().lineSpacing()),
                     view.viewport()->mapToGlobal(QPointF(290, 5 + view.fontMetrics().lineSpacing())),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &drag);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(290, 5 + view.fontMetrics().lineSpacing()));
    QCOMPARE(view.selectedText(), QStringLiteral("Uno") + CR + QStringLiteral("--A--"));

    // A double click takes the word under the pointer.
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, QPoint(6, 5));
    QCOMPARE(view.selectedText(), QStringLiteral("Uno"));
}

void TestRichTextView::longTextScrolls()
{
    // Many short lines: the view shows the first ones and scrolls to the
    // caret as it moves to the end.
    QString text;
    for (int i = 0; i < 5000; ++i)
        text += QStringLiteral("Frase %1").arg(i) + CR + QStringLiteral("--Autor--") + CR + CR;
    RichTextView view;
    QVERIFY(shown(view, text));
    QCOMPARE(view.lineCount(), 15001);
    QCOMPARE(view.firstVisibleLine(), 0);
    QVERIFY(view.verticalScrollBar()->isVisible());
    QVERIFY(view.verticalScrollBar()->maximum() > 14900);

    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view.cursorPosition(), text.size());
    QVERIFY(view.firstVisibleLine() > 14900);
    QCOMPARE(view.verticalScrollBar()->value(), int(view.firstVisibleLine()));

    view.verticalScrollBar()->setValue(3000);
    QCOMPARE(view.firstVisibleLine(), 3000);
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(view.firstVisibleLine(), 0);
}

void TestRichTextView::look()
{
    // Painted in the shared cream, in the font the listing is printed in.
    RichTextView view;
    Skin::setCream(&view);
    QVERIFY(shown(view, QStringLiteral("Uno"), QSize(120, 60)));
    const QImage painted = view.viewport()->grab().toImage();
    QCOMPARE(painted.pixelColor(painted.width() - 2, painted.height() - 2), Skin::Cream);
    QCOMPARE(view.font(), Skin::comic(9.75, true));
    QCOMPARE(view.focusPolicy(), Qt::StrongFocus);
    // Typing changes nothing.
    QTest::keyClicks(&view, QStringLiteral("xyz"));
    QTest::keyClick(&view, Qt::Key_Backspace);
    QTest::keyClick(&view, Qt::Key_Delete);
    QCOMPARE(view.text(), QStringLiteral("Uno"));
}

void TestRichTextView::rightPressIsReportedWithoutMenu()
{
    RichTextView view;
    QVERIFY(shown(view, Blocks));
    view.selectAll();

    QSignalSpy presses(&view, &RichTextView::mousePressed);
    QTest::mousePress(view.viewport(), Qt::RightButton, {}, QPoint(20, 10));
    QCOMPARE(presses.count(), 1);
    QCOMPARE(presses.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, QPoint(20, 10));

    // The menu the window system asks for is not the text box's own.
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(20, 10), view.viewport()->mapToGlobal(QPoint(20, 10)));
    QApplication::sendEvent(view.viewport(), &request);
    QVERIFY(!QApplication::activePopupWidget());
    // A right press keeps the selection, which is what a print takes.
    QVERIFY(view.hasSelection());

    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(presses.count(), 2);
    QCOMPARE(presses.at(1).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
}

void TestRichTextView::scrollBarsSetting()
{
    RichTextView view;
    view.setScrollBars(RichTextView::Vertical);
    QCOMPARE(view.scrollBars(), 2);
    QCOMPARE(view.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QCOMPARE(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    view.setScrollBars(RichTextView::NoScrollBars);
    QCOMPARE(view.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void TestRichTextView::longLinesWrap()
{
    const QString line = QStringLiteral("palabra ").repeated(80);
    RichTextView view;
    QVERIFY(shown(view, line + CR + QStringLiteral("fin"), QSize(200, 300)));
    // A screen reader reads it row by row, and finds each character where
    // it is drawn.
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(&view)->textInterface();
    int start = -1;
    int end = -1;
    const QString row = text->textAtOffset(0, QAccessible::LineBoundary, &start, &end);
    QVERIFY(row.startsWith(QStringLiteral("palabra palabra")));
    QVERIFY(end < line.size());
    QCOMPARE(text->textAtOffset(end, QAccessible::LineBoundary, &start, &end).isEmpty(), false);
    QCOMPARE(text->textAtOffset(line.size() - 1, QAccessible::LineBoundary, &start, &end).right(9),
             QStringLiteral("palabra ") + LF);
    const QRect letter = text->characterRect(8);
    QVERIFY(view.viewport()->rect().contains(view.viewport()->mapFromGlobal(letter.center())));
    QCOMPARE(text->offsetAtPoint(letter.center()), 8);

    // Down from the start stays in the long line: it is shown over rows.
    QTest::keyClick(&view, Qt::Key_Down);
    QVERIFY(view.cursorPosition() > 0);
    QVERIFY(view.cursorPosition() < line.size());
    // End goes to the end of that row, not of the whole line.
    QTest::keyClick(&view, Qt::Key_End);
    QVERIFY(view.cursorPosition() < line.size());
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view.cursorPosition(), line.size() + 4);
}

QTEST_MAIN(TestRichTextView)
#include "tst_richtextview.moc"
