// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LineIndex.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QString>

#include <memory>
#include <unordered_map>
#include <vector>

class QTextLayout;

// The text box of the results window. It shows plain text in which a
// carriage return on its own ends a line, as the listings write it:
//   - a lone CR, a lone LF, the pair CR LF, and the Unicode line and
//     paragraph separators each end one shown line;
//   - reading the text gives back exactly what was given, every break as
//     it was;
//   - positions and the selection are counted in the given characters, so
//     a selection that takes in a break takes in its CR, its LF or both.
// Long lines wrap at the view's width. The user may place the caret,
// select (mouse or keyboard), copy and scroll, but not edit. A press of a
// mouse button is reported, and the right button opens no menu of its own,
// so that the window can offer its own.
//
// The view keeps the text as given and an index of where its lines start;
// only the lines on screen are laid out. Setting a listing of many
// thousands of quotations therefore costs about one pass over the text.
//
// Screen readers read the text through RichTextViewAccessible, which works
// on the same storage; a new text, a caret move and a new selection are
// announced to them.
class RichTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Which scroll bars the view shows, numbered as the designs number them.
    enum ScrollBars { NoScrollBars = 0, Horizontal = 1, Vertical = 2, Both = 3 };

    explicit RichTextView(QWidget *parent = nullptr);
    ~RichTextView() override;

    QString text() const { return m_text; }
    // Empties the view and hands back the text it showed.
    QString takeText();
    void setText(const QString &text);
    // The same, with the text's line index already built alongside it (a
    // listing indexes its lines as it grows), so the text is not read again.
    void setText(const QString &text, LineIndex lines);

    bool hasSelection() const { return m_anchor != m_position; }
    QString selectedText() const;
    qsizetype selectionStart() const { return qMin(m_anchor, m_position); }
    qsizetype selectionEnd() const { return qMax(m_anchor, m_position); }
    // Positions in the given text; the caret goes to position.
    void setSelection(qsizetype anchor, qsizetype position);
    void selectAll();
    qsizetype cursorPosition() const { return m_position; }

    // The lines as shown before wrapping.
    qsizetype lineCount() const { return m_lines.count(); }
    QString lineText(qsizetype line) const;
    // The line at the top of the view.
    qsizetype firstVisibleLine() const { return m_topLine; }

    void setScrollBars(int value);
    int scrollBars() const { return m_scrollBars; }

signals:
    void mousePressed(Qt::MouseButton button, const QPoint &globalPos);
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    friend class RichTextViewAccessible;

    using Line = LineIndex::Span;
    // A place on screen: a shown line and a row of its wrapped layout.
    struct Row {
        qsizetype line = 0;
        int row = 0;
    };

    QTextLayout *layout(qsizetype line) const;
    void dropLayouts();
    int rowCount(qsizetype line) const;
    qreal rowHeight() const;
    int visibleRows() const;
    qsizetype lineOf(qsizetype position) const;
    Line lineAt(qsizetype line) const { return m_lines.span(m_text, line); }
    Row rowOf(qsizetype position) const;
    // The caret position nearest to the point, or the character under it.
    qsizetype positionAt(const QPoint &point, bool onCharacter = false) const;
    bool moveRows(Row *row, int rows) const;
    Row lastTop() const;
    void scrollToRow(Row top);
    void scrollRows(int rows);
    void updateScrollBar();
    void ensureCaretVisible();
    void ensureVisible(qsizetype position);
    // Where the character at the position is drawn, in the viewport; null
    // when it lies outside the view.
    QRect characterRect(qsizetype position) const;
    void moveCaret(qsizetype position, bool keepAnchor);
    qsizetype nextPosition(qsizetype position, bool word) const;
    qsizetype previousPosition(qsizetype position, bool word) const;
    qsizetype verticalPosition(int rows);
    void copy() const;
    void restartBlink();
    void autoScroll();

    QString m_text;
    LineIndex m_lines;
    mutable std::unordered_map<qsizetype, std::unique_ptr<QTextLayout>> m_layouts;
    mutable qreal m_rowHeight = 0;
    int m_layoutWidth = -1;

    qsizetype m_anchor = 0;
    qsizetype m_position = 0;
    qreal m_preferredX = -1;

    qsizetype m_topLine = 0;
    int m_topRow = 0;
    bool m_settingBar = false;

    bool m_selecting = false;
    QPoint m_dragPoint;
    QBasicTimer m_dragTimer;
    QBasicTimer m_blinkTimer;
    bool m_caretShown = false;
    int m_scrollBars = Both;
};
