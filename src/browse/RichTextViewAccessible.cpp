// SPDX-License-Identifier: GPL-3.0-or-later
#include "RichTextViewAccessible.h"

#include "RichTextView.h"
#include "skin/AccessibleContainer.h"

#include <QTextBoundaryFinder>
#include <QTextLayout>

namespace {

QAccessibleInterface *factory(const QString &key, QObject *object)
{
    if (key == QLatin1String("RichTextView") && object->metaObject() == &RichTextView::staticMetaObject)
        return new RichTextViewAccessible(static_cast<RichTextView *>(object));
    return nullptr;
}

} // namespace

RichTextViewAccessible::RichTextViewAccessible(RichTextView *view)
    : QAccessibleWidget(view, QAccessible::Document)
{
}

void RichTextViewAccessible::install()
{
    AccessibleContainer::installOnce(factory);
}

RichTextView *RichTextViewAccessible::view() const
{
    return static_cast<RichTextView *>(widget());
}

void *RichTextViewAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessible::State RichTextViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString RichTextViewAccessible::text(QAccessible::Text t) const
{
    // The text itself is read through the text interface, never as a
    // value: that would copy the whole listing at every question.
    if (t == QAccessible::Value)
        return QString();
    return QAccessibleWidget::text(t);
}

void RichTextViewAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !view()->hasSelection())
        return;
    *startOffset = int(view()->selectionStart());
    *endOffset = int(view()->selectionEnd());
}

int RichTextViewAccessible::selectionCount() const
{
    return view()->hasSelection() ? 1 : 0;
}

void RichTextViewAccessible::addSelection(int startOffset, int endOffset)
{
    // The view holds one selection: a new one replaces it.
    view()->setSelection(startOffset, endOffset);
}

void RichTextViewAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        view()->setSelection(view()->cursorPosition(), view()->cursorPosition());
}

void RichTextViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->setSelection(startOffset, endOffset);
}

int RichTextViewAccessible::cursorPosition() const
{
    return int(view()->cursorPosition());
}

void RichTextViewAccessible::setCursorPosition(int position)
{
    view()->setSelection(position, position);
}

QString RichTextViewAccessible::text(int startOffset, int endOffset) const
{
    const qsizetype size = view()->m_text.size();
    const qsizetype from = qBound<qsizetype>(0, qsizetype(startOffset), size);
    const qsizetype to = endOffset < 0 ? size : qBound<qsizetype>(from, qsizetype(endOffset), size);
    return presented(from, to);
}

int RichTextViewAccessible::characterCount() const
{
    return int(view()->m_text.size());
}

int RichTextViewAccessible::atCaret(int offset) const
{
    // Assistive tools ask with -2 for the caret's place, as Qt's own text
    // boxes take it.
    return offset == -2 ? cursorPosition() : offset;
}

RichTextViewAccessible::Span RichTextViewAccessible::paragraphAt(qsizetype offset) const
{
    // A shown line with the break that ends it.
    const RichTextView *v = view();
    const qsizetype line = v->lineOf(offset);
    const qsizetype start = v->lineAt(line).start;
    const qsizetype end = line + 1 < v->lineCount() ? v->lineAt(line + 1).start : v->m_text.size();
    return {start, end};
}

RichTextViewAccessible::Span RichTextViewAccessible::spanAt(qsizetype offset,
                                                             QAccessible::TextBoundaryType boundaryType) const
{
    const RichTextView *v = view();
    const QString &text = v->m_text;
    const qsizetype size = text.size();
    switch (boundaryType) {
    case QAccessible::NoBoundary:
        return {0, size};
    case QAccessible::CharBoundary: {
        if (offset >= size)
            return {size, size};
        const bool pair = text.at(offset).isHighSurrogate() && offset + 1 < size && text.at(offset + 1).isLowSurrogate();
        return {offset, offset + (pair ? 2 : 1)};
    }
    case QAccessible::ParagraphBoundary:
        return paragraphAt(offset);
    case QAccessible::LineBoundary: {
        const Span paragraph = paragraphAt(offset);
        // The rows of a wrapped line, as shown; a view not shown yet has no
        // width to wrap at, and gives whole lines.
        if (!v->isVisible() || v->viewport()->width() <= 0)
            return paragraph;
        const qsizetype line = v->lineOf(offset);
        const RichTextView::Line shown = v->lineAt(line);
        QTextLayout *laid = v->layout(line);
        const int index = int(qBound<qsizetype>(0, offset - shown.start, shown.end - shown.start));
        const QTextLine row = laid->lineForTextPosition(index);
        if (!row.isValid() || row.lineNumber() + 1 >= laid->lineCount())
            return {row.isValid() ? shown.start + row.textStart() : paragraph.start, paragraph.end};
        return {shown.start + row.textStart(), shown.start + row.textStart() + row.textLength()};
    }
    case QAccessible::WordBoundary:
    case QAccessible::SentenceBoundary: {
        // Words and sentences never run over a line break: look at the
        // line alone.
        const Span paragraph = paragraphAt(offset);
        if (offset >= size)
            return {size, size};
        const QString local = text.mid(paragraph.start, paragraph.end - paragraph.start);
        QTextBoundaryFinder finder(boundaryType == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                                             : QTextBoundaryFinder::Sentence,
                                   local);
        finder.setPosition(offset - paragraph.start);
        const qsizetype start = finder.isAtBoundary() ? finder.position() : finder.toPreviousBoundary();
        qsizetype end = finder.toNextBoundary();
        if (end < 0)
            end = local.size();
        return {paragraph.start + qMax<qsizetype>(0, start), paragraph.start + end};
    }
    }
    return {offset, offset};
}

QString RichTextViewAccessible::answer(Span span, int *startOffset, int *endOffset) const
{
    *startOffset = int(span.start);
    *endOffset = int(span.end);
    return presented(span.start, span.end);
}

QString RichTextViewAccessible::presented(qsizetype start, qsizetype end) const
{
    // Screen readers take only LF for a line end: a lone CR and the line
    // and paragraph separators are read as LF, one character for one, so
    // every offset stays the view's. The CR of a CR LF pair stays as it is,
    // or the pair would read as two line ends.
    const QString &text = view()->m_text;
    QString piece = text.mid(start, end - start);
    char16_t *data = reinterpret_cast<char16_t *>(piece.data());
    for (qsizetype i = 0; i < piece.size(); ++i) {
        const char16_t c = data[i];
        if (c == u'\r') {
            const qsizetype next = start + i + 1;
            if (next >= text.size() || text.at(next) != u'\n')
                data[i] = u'\n';
        } else if (c == 0x2028 || c == 0x2029) {
            data[i] = u'\n';
        }
    }
    return piece;
}

QString RichTextViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int *startOffset, int *endOffset) const
{
    offset = atCaret(offset);
    if (offset < 0 || offset > characterCount()) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    return answer(spanAt(offset, boundaryType), startOffset, endOffset);
}

QString RichTextViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                                 int *startOffset, int *endOffset) const
{
    offset = atCaret(offset);
    if (offset < 0 || offset > characterCount()) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    const Span at = spanAt(offset, boundaryType);
    if (at.start <= 0)
        return answer({0, 0}, startOffset, endOffset);
    return answer(spanAt(at.start - 1, boundaryType), startOffset, endOffset);
}

QString RichTextViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                                int *startOffset, int *endOffset) const
{
    offset = atCaret(offset);
    const int size = characterCount();
    if (offset < 0 || offset > size) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    const Span at = spanAt(offset, boundaryType);
    if (at.end >= size)
        return answer({size, size}, startOffset, endOffset);
    return answer(spanAt(at.end, boundaryType), startOffset, endOffset);
}

QRect RichTextViewAccessible::characterRect(int offset) const
{
    const QRect rect = view()->characterRect(offset);
    if (rect.isNull())
        return QRect();
    return QRect(view()->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

int RichTextViewAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint inside = view()->viewport()->mapFromGlobal(point);
    if (!view()->viewport()->rect().contains(inside))
        return -1;
    return int(view()->positionAt(inside, true));
}

void RichTextViewAccessible::scrollToSubstring(int startIndex, int)
{
    view()->ensureVisible(qBound<qsizetype>(0, qsizetype(startIndex), view()->m_text.size()));
}

QString RichTextViewAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One font and one colour for the whole text: a single run.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}
