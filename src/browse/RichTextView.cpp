// SPDX-License-Identifier: GPL-3.0-or-later
#include "RichTextView.h"

#include "RichTextViewAccessible.h"

#include "skin/Skin.h"

#include <QAccessible>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

// Space between the frame and the text, as text boxes leave it.
constexpr int Margin = 4;
// Layouts kept for lines no longer on screen, at most.
constexpr size_t KeptLayouts = 1024;
// Characters of the old and the new text that a text change tells screen
// readers, at most. The accessibility bus copies them into a message for
// every listener: a listing of a hundred thousand quotations would cost
// hundreds of megabytes there. They read the text itself through the text
// interface, as far as they need it.
constexpr qsizetype AnnouncedCharacters = 100000;

} // namespace

RichTextView::RichTextView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    RichTextViewAccessible::install();
    setFont(Skin::comic(9.75, true));
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (m_settingBar)
            return;
        const Row last = lastTop();
        scrollToRow(value >= last.line ? last : Row{value, 0});
    });
    setScrollBars(Both);
    setText(QString());
}

RichTextView::~RichTextView() = default;

void RichTextView::setText(const QString &text)
{
    setText(text, LineIndex::of(text));
}

QString RichTextView::takeText()
{
    QString text = std::move(m_text);
    m_text = QString();
    setText(QString());
    return text;
}

void RichTextView::setText(const QString &text, LineIndex lines)
{
    const bool hadSelection = hasSelection();
    const QString previous = m_text;
    m_text = text;
    m_lines = std::move(lines);
    dropLayouts();
    m_anchor = m_position = 0;
    m_preferredX = -1;
    m_topLine = 0;
    m_topRow = 0;
    updateScrollBar();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, previous.left(AnnouncedCharacters),
                                         m_text.left(AnnouncedCharacters));
        event.setCursorPosition(0);
        QAccessible::updateAccessibility(&event);
    }
    if (hadSelection)
        emit selectionChanged();
}

QString RichTextView::selectedText() const
{
    return m_text.mid(selectionStart(), selectionEnd() - selectionStart());
}

void RichTextView::setSelection(qsizetype anchor, qsizetype position)
{
    const auto valid = [this](qsizetype p) {
        p = qBound<qsizetype>(0, p, m_text.size());
        // Never between the two characters of a CR LF pair.
        if (p > 0 && p < m_text.size() && m_text.at(p - 1) == u'\r' && m_text.at(p) == u'\n')
            ++p;
        return p;
    };
    m_anchor = valid(anchor);
    moveCaret(valid(position), true);
}

void RichTextView::selectAll()
{
    setSelection(0, m_text.size());
}

QString RichTextView::lineText(qsizetype line) const
{
    if (line < 0 || line >= lineCount())
        return QString();
    return m_text.mid(lineAt(line).start, lineAt(line).end - lineAt(line).start);
}

void RichTextView::setScrollBars(int value)
{
    m_scrollBars = value;
    // Long lines always wrap at the view's width, so no line reaches past
    // the right edge and a horizontal bar would have nothing to do.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const bool vertical = value == Vertical || value == Both;
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

QTextLayout *RichTextView::layout(qsizetype line) const
{
    auto found = m_layouts.find(line);
    if (found != m_layouts.end())
        return found->second.get();
    const Line span = lineAt(line);
    auto laid = std::make_unique<QTextLayout>(m_text.mid(span.start, span.end - span.start), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    laid->setTextOption(option);
    laid->setCacheEnabled(true);
    const qreal width = qMax(1, viewport()->width() - 2 * Margin);
    qreal y = 0;
    laid->beginLayout();
    for (QTextLine row = laid->createLine(); row.isValid(); row = laid->createLine()) {
        row.setLineWidth(width);
        row.setPosition(QPointF(0, y));
        y += row.height();
    }
    laid->endLayout();
    if (m_rowHeight <= 0 && laid->lineCount() > 0)
        m_rowHeight = laid->lineAt(0).height();
    QTextLayout *result = laid.get();
    m_layouts.emplace(line, std::move(laid));
    return result;
}

void RichTextView::dropLayouts()
{
    m_layouts.clear();
    m_layoutWidth = viewport()->width();
}

int RichTextView::rowCount(qsizetype line) const
{
    return qMax(1, layout(line)->lineCount());
}

qreal RichTextView::rowHeight() const
{
    if (m_rowHeight <= 0)
        layout(0);
    if (m_rowHeight <= 0)
        m_rowHeight = QFontMetricsF(font()).height();
    return m_rowHeight;
}

int RichTextView::visibleRows() const
{
    // Rows wholly inside the view, at least one.
    return qMax(1, int((viewport()->height() - 2 * Margin) / rowHeight()));
}

qsizetype RichTextView::lineOf(qsizetype position) const
{
    return m_lines.lineOf(m_text, position);
}

RichTextView::Row RichTextView::rowOf(qsizetype position) const
{
    const qsizetype line = lineOf(position);
    const Line span = lineAt(line);
    const int index = int(qBound<qsizetype>(0, position - span.start, span.end - span.start));
    QTextLayout *laid = layout(line);
    const QTextLine row = laid->lineForTextPosition(index);
    return {line, row.isValid() ? row.lineNumber() : qMax(0, laid->lineCount() - 1)};
}

qsizetype RichTextView::positionAt(const QPoint &point, bool onCharacter) const
{
    const qreal height = rowHeight();
    qreal y = qMax<qreal>(0, point.y() - Margin) + m_topRow * height;
    for (qsizetype line = m_topLine; line < lineCount(); ++line) {
        QTextLayout *laid = layout(line);
        const int rows = qMax(1, laid->lineCount());
        if (y < rows * height || line + 1 == lineCount()) {
            const int row = qBound(0, int(y / height), rows - 1);
            const QTextLine text = laid->lineAt(row);
            const int index = text.isValid()
                ? text.xToCursor(point.x() - Margin,
                                 onCharacter ? QTextLine::CursorOnCharacter : QTextLine::CursorBetweenCharacters)
                : 0;
            return lineAt(line).start + index;
        }
        y -= rows * height;
    }
    return m_text.size();
}

bool RichTextView::moveRows(Row *row, int rows) const
{
    while (rows > 0) {
        const int count = rowCount(row->line);
        if (row->row + rows < count) {
            row->row += rows;
            return true;
        }
        if (row->line + 1 >= lineCount()) {
            row->row = count - 1;
            return false;
        }
        rows -= count - row->row;
        ++row->line;
        row->row = 0;
    }
    while (rows < 0) {
        if (row->row + rows >= 0) {
            row->row += rows;
            return true;
        }
        if (row->line == 0) {
            row->row = 0;
            return false;
        }
        rows += row->row + 1;
        --row->line;
        row->row = rowCount(row->line) - 1;
    }
    return true;
}

RichTextView::Row RichTextView::lastTop() const
{
    // The top that shows the last row at the bottom of the view.
    Row top{lineCount() - 1, 0};
    top.row = rowCount(top.line) - 1;
    moveRows(&top, -(visibleRows() - 1));
    return top;
}

void RichTextView::scrollToRow(Row top)
{
    const Row last = lastTop();
    if (top.line > last.line || (top.line == last.line && top.row > last.row))
        top = last;
    if (top.line < 0)
        top = Row{};
    m_topLine = top.line;
    m_topRow = top.row;
    m_settingBar = true;
    verticalScrollBar()->setValue(int(m_topLine));
    m_settingBar = false;
    viewport()->update();
}

void RichTextView::scrollRows(int rows)
{
    Row top{m_topLine, m_topRow};
    moveRows(&top, rows);
    scrollToRow(top);
}

void RichTextView::updateScrollBar()
{
    const Row last = lastTop();
    m_settingBar = true;
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, int(last.line + (last.row > 0 ? 1 : 0)));
    bar->setPageStep(visibleRows());
    bar->setSingleStep(1);
    m_settingBar = false;
    scrollToRow(Row{m_topLine, m_topRow});
}

void RichTextView::ensureCaretVisible()
{
    ensureVisible(m_position);
}

void RichTextView::ensureVisible(qsizetype position)
{
    const Row caret = rowOf(position);
    const Row top{m_topLine, m_topRow};
    if (caret.line < top.line || (caret.line == top.line && caret.row < top.row)) {
        scrollToRow(caret);
        return;
    }
    Row bottom = top;
    moveRows(&bottom, visibleRows() - 1);
    if (caret.line > bottom.line || (caret.line == bottom.line && caret.row > bottom.row)) {
        Row newTop = caret;
        moveRows(&newTop, -(visibleRows() - 1));
        scrollToRow(newTop);
    }
}

void RichTextView::moveCaret(qsizetype position, bool keepAnchor)
{
    const qsizetype oldStart = selectionStart();
    const qsizetype oldEnd = selectionEnd();
    m_position = position;
    if (!keepAnchor)
        m_anchor = position;
    ensureCaretVisible();
    restartBlink();
    viewport()->update();
    // An empty selection that only follows the caret is no selection: the
    // caret moved, and nothing was selected or unselected.
    const bool selected = (oldStart != oldEnd || hasSelection())
        && (oldStart != selectionStart() || oldEnd != selectionEnd());
    if (QAccessible::isActive()) {
        // Screen readers read the line, the word or the character on the
        // caret's move; a changed selection they read as selected or
        // unselected text, after the move.
        QAccessibleTextCursorEvent moved(this, int(m_position));
        QAccessible::updateAccessibility(&moved);
        if (selected) {
            QAccessibleTextSelectionEvent event(this, int(selectionStart()), int(selectionEnd()));
            event.setCursorPosition(int(m_position));
            QAccessible::updateAccessibility(&event);
        }
    }
    if (selected)
        emit selectionChanged();
}

QRect RichTextView::characterRect(qsizetype position) const
{
    if (position < 0 || position > m_text.size())
        return {};
    const Row target = rowOf(position);
    if (target.line < m_topLine || (target.line == m_topLine && target.row < m_topRow))
        return {};
    const qreal height = rowHeight();
    qreal y = Margin - m_topRow * height;
    for (qsizetype line = m_topLine; line < target.line; ++line) {
        y += rowCount(line) * height;
        if (y >= viewport()->height())
            return {};
    }
    const Line span = lineAt(target.line);
    const QTextLine row = layout(target.line)->lineAt(target.row);
    if (!row.isValid())
        return QRectF(Margin, y, 1, height).toAlignedRect();
    y += row.y();
    if (y >= viewport()->height())
        return {};
    const int index = int(qBound<qsizetype>(0, position - span.start, span.end - span.start));
    const qreal left = row.cursorToX(index);
    // A break is as wide as a blank, as it shows when selected.
    const qreal right = index < row.textStart() + row.textLength() ? row.cursorToX(index + 1)
                                                                   : left + QFontMetricsF(font()).horizontalAdvance(u' ');
    return QRectF(Margin + left, y, qMax<qreal>(1, right - left), row.height()).toAlignedRect();
}

qsizetype RichTextView::nextPosition(qsizetype position, bool word) const
{
    const qsizetype line = lineOf(position);
    const Line span = lineAt(line);
    if (position >= span.end)
        return line + 1 < lineCount() ? lineAt(line + 1).start : position;
    const int index = int(position - span.start);
    return span.start +
           layout(line)->nextCursorPosition(index, word ? QTextLayout::SkipWords : QTextLayout::SkipCharacters);
}

qsizetype RichTextView::previousPosition(qsizetype position, bool word) const
{
    const qsizetype line = lineOf(position);
    const Line span = lineAt(line);
    if (position <= span.start)
        return line > 0 ? lineAt(line - 1).end : position;
    const int index = int(qMin(position, span.end) - span.start);
    return span.start +
           layout(line)->previousCursorPosition(index, word ? QTextLayout::SkipWords : QTextLayout::SkipCharacters);
}

qsizetype RichTextView::verticalPosition(int rows)
{
    Row row = rowOf(m_position);
    {
        const Line span = lineAt(row.line);
        const QTextLine text = layout(row.line)->lineAt(row.row);
        if (m_preferredX < 0 && text.isValid())
            m_preferredX =
                text.cursorToX(int(qBound<qsizetype>(0, m_position - span.start, span.end - span.start)));
    }
    // Past the first or the last row: to the start or the end of the text.
    if (!moveRows(&row, rows))
        return rows > 0 ? m_text.size() : 0;
    const QTextLine text = layout(row.line)->lineAt(row.row);
    return lineAt(row.line).start + (text.isValid() ? text.xToCursor(m_preferredX) : 0);
}

void RichTextView::copy() const
{
    if (!hasSelection())
        return;
    QString plain = selectedText();
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar &c : plain)
        if (LineIndex::isBreak(c.unicode()))
            c = u'\n';
    QGuiApplication::clipboard()->setText(plain);
}

void RichTextView::restartBlink()
{
    m_caretShown = hasFocus();
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_blinkTimer.start(flash / 2, this);
    else
        m_blinkTimer.stop();
}

void RichTextView::autoScroll()
{
    if (!m_selecting) {
        m_dragTimer.stop();
        return;
    }
    if (m_dragPoint.y() < 0)
        scrollRows(-1);
    else if (m_dragPoint.y() > viewport()->height())
        scrollRows(1);
    else {
        m_dragTimer.stop();
        return;
    }
    const QPoint inside(m_dragPoint.x(), qBound(0, m_dragPoint.y(), viewport()->height() - 1));
    moveCaret(positionAt(inside), true);
}

void RichTextView::paintEvent(QPaintEvent *)
{
    if (m_layouts.size() > KeptLayouts)
        m_layouts.clear();
    QPainter painter(viewport());
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    QTextCharFormat selected;
    selected.setBackground(palette().brush(group, QPalette::Highlight));
    selected.setForeground(palette().brush(group, QPalette::HighlightedText));
    painter.setPen(palette().color(group, QPalette::Text));
    const qreal breakWidth = QFontMetricsF(font()).horizontalAdvance(u' ');

    const qreal height = rowHeight();
    const qsizetype from = selectionStart();
    const qsizetype to = selectionEnd();
    const qsizetype caretLine = lineOf(m_position);
    qreal y = Margin - m_topRow * height;
    for (qsizetype line = m_topLine; line < lineCount() && y < viewport()->height(); ++line) {
        QTextLayout *laid = layout(line);
        const Line span = lineAt(line);
        QList<QTextLayout::FormatRange> ranges;
        if (from < to) {
            const qsizetype a = qMax(from, span.start);
            const qsizetype b = qMin(to, span.end);
            if (a < b)
                ranges.append({int(a - span.start), int(b - a), selected});
        }
        const QPointF origin(Margin, y);
        laid->draw(&painter, origin, ranges);
        // A selected line break shows as a blank's width after the line.
        if (from <= span.end && to > span.end && laid->lineCount() > 0) {
            const QTextLine last = laid->lineAt(laid->lineCount() - 1);
            painter.fillRect(QRectF(Margin + last.naturalTextWidth(), y + last.y(), breakWidth, last.height()),
                             selected.background());
        }
        if (m_caretShown && line == caretLine)
            laid->drawCursor(&painter, origin, int(qBound<qsizetype>(0, m_position - span.start, span.end - span.start)));
        y += qMax(1, laid->lineCount()) * height;
    }
}

void RichTextView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (viewport()->width() != m_layoutWidth)
        dropLayouts();
    updateScrollBar();
}

void RichTextView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_rowHeight = 0;
        dropLayouts();
        updateScrollBar();
    }
}

void RichTextView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void RichTextView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    restartBlink();
    viewport()->update();
}

void RichTextView::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    struct Move {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
    };
    enum What { Char, Word, RowStep, Page, RowEdge, DocEdge };
    struct Step {
        Move keys;
        What what;
        bool forward;
    };
    static const Step steps[] = {
        {{QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar}, Char, true},
        {{QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar}, Char, false},
        {{QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord}, Word, true},
        {{QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord}, Word, false},
        {{QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine}, RowStep, true},
        {{QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine}, RowStep, false},
        {{QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage}, Page, true},
        {{QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage}, Page, false},
        {{QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine}, RowEdge, true},
        {{QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine}, RowEdge, false},
        {{QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument}, DocEdge, true},
        {{QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument}, DocEdge, false},
    };
    for (const Step &step : steps) {
        const bool select = event == step.keys.select;
        if (!select && event != step.keys.move)
            continue;
        qsizetype target = m_position;
        bool vertical = false;
        switch (step.what) {
        case Char:
        case Word:
            // Without Shift, moving over a selection first collapses it.
            if (!select && hasSelection() && step.what == Char)
                target = step.forward ? selectionEnd() : selectionStart();
            else
                target = step.forward ? nextPosition(m_position, step.what == Word)
                                      : previousPosition(m_position, step.what == Word);
            break;
        case RowStep:
            target = verticalPosition(step.forward ? 1 : -1);
            vertical = true;
            break;
        case Page:
            target = verticalPosition(step.forward ? visibleRows() : -visibleRows());
            vertical = true;
            break;
        case RowEdge: {
            const Row row = rowOf(m_position);
            const QTextLine text = layout(row.line)->lineAt(row.row);
            const qsizetype start = lineAt(row.line).start;
            if (text.isValid()) {
                target = start + text.textStart();
                if (step.forward) {
                    target += text.textLength();
                    // A wrapped row ends before the blank it broke at.
                    if (target > start + text.textStart() && target < lineAt(row.line).end)
                        --target;
                }
            }
            break;
        }
        case DocEdge:
            target = step.forward ? m_text.size() : 0;
            break;
        }
        const qreal keepX = m_preferredX;
        moveCaret(target, select);
        m_preferredX = vertical ? keepX : -1;
        return;
    }
    event->ignore();
}

void RichTextView::mousePressEvent(QMouseEvent *event)
{
    emit mousePressed(event->button(), event->globalPosition().toPoint());
    event->accept();
    if (event->button() != Qt::LeftButton)
        // Other buttons leave the caret and the selection where they are:
        // the selection is what a print takes.
        return;
    setFocus(Qt::MouseFocusReason);
    m_preferredX = -1;
    m_selecting = true;
    m_dragPoint = event->position().toPoint();
    moveCaret(positionAt(m_dragPoint), event->modifiers() & Qt::ShiftModifier);
}

void RichTextView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    m_dragPoint = event->position().toPoint();
    if (m_dragPoint.y() < 0 || m_dragPoint.y() > viewport()->height()) {
        if (!m_dragTimer.isActive())
            m_dragTimer.start(50, this);
        autoScroll();
        return;
    }
    moveCaret(positionAt(m_dragPoint), true);
}

void RichTextView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_selecting = false;
        m_dragTimer.stop();
    }
    event->accept();
}

void RichTextView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    emit mousePressed(event->button(), event->globalPosition().toPoint());
    const qsizetype at = positionAt(event->position().toPoint());
    const Line span = lineAt(lineOf(at));
    const auto inWord = [this](qsizetype p) { return m_text.at(p).isLetterOrNumber(); };
    qsizetype from = at;
    qsizetype to = at;
    if (at < span.end && inWord(at)) {
        while (from > span.start && inWord(from - 1))
            --from;
        while (to < span.end && inWord(to))
            ++to;
    } else if (at > span.start && inWord(at - 1)) {
        while (from > span.start && inWord(from - 1))
            --from;
    } else if (at < span.end) {
        ++to;
    }
    m_anchor = from;
    moveCaret(to, true);
    m_selecting = false;
}

void RichTextView::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    // Three rows for each notch of the wheel.
    int rows = -delta / 40;
    if (rows == 0)
        rows = delta > 0 ? -1 : 1;
    scrollRows(rows);
    event->accept();
}

void RichTextView::contextMenuEvent(QContextMenuEvent *event)
{
    // The window shows its own menu on the press itself.
    event->accept();
}

void RichTextView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_blinkTimer.timerId()) {
        m_caretShown = !m_caretShown && hasFocus();
        viewport()->update();
    } else if (event->timerId() == m_dragTimer.timerId()) {
        autoScroll();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}
