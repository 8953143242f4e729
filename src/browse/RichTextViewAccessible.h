// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class RichTextView;

// The listing as screen readers read it: a read-only document whose text
// is the view's own text, offset for offset, with every line end read as
// LF (the view's text itself keeps its breaks as they were given). Each question is
// answered from the view's storage and its line index, so that reading a
// line, a word or a range of a very long listing costs only what is read.
class RichTextViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit RichTextViewAccessible(RichTextView *view);

    // Makes the class known to Qt; the view calls it when it is built.
    static void install();

    void *interface_cast(QAccessible::InterfaceType t) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                             int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                            int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    struct Span {
        qsizetype start;
        qsizetype end;
    };

    RichTextView *view() const;
    int atCaret(int offset) const;
    // The piece of the given kind that holds the offset.
    Span spanAt(qsizetype offset, QAccessible::TextBoundaryType boundaryType) const;
    Span paragraphAt(qsizetype offset) const;
    QString answer(Span span, int *startOffset, int *endOffset) const;
    // The text between two offsets as screen readers read it.
    QString presented(qsizetype start, qsizetype end) const;
};
